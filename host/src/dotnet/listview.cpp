#include "dotnet/listview.h"

#include <algorithm>

namespace maxhost::dotnet {

namespace HitLocation {
constexpr int None = 1, Label = 4, BelowClientArea = 16, RightOfClientArea = 32,
              LeftOfClientArea = 64, AboveClientArea = 256, StateImage = 512;
}

int textWidth(const std::wstring& text) {
  return 6 * int(text.size()) + 12;
}

// ---- columns, sub-items, items

ColumnHeader::ColumnHeader() : Object(typeNamed(L"System.Windows.Forms.ColumnHeader")) {}

int ColumnHeader::index() const {
  auto lv = list.lock();
  if (!lv) return -1;
  for (size_t i = 0; i < lv->columns.size(); ++i)
    if (lv->columns[i].get() == this) return int(i);
  return -1;
}

int ColumnHeader::width() const {
  auto lv = list.lock();
  if (lv && lv->isHandleCreated() && lv->view == 1) return lv->columnWidth(index());
  return requestedWidth;
}

ListViewSubItem::ListViewSubItem()
    : Object(typeNamed(L"System.Windows.Forms.ListViewItem+ListViewSubItem")) {}

Rectangle ListViewSubItem::bounds() const {
  auto it = item.lock();
  if (!it) return {};
  ListView* lv = it->listView();
  if (!lv || !lv->isHandleCreated()) return {};
  int column = -1;
  for (size_t i = 0; i < it->subItems.size(); ++i)
    if (it->subItems[i].get() == this) column = int(i);
  Rectangle row = lv->rowBounds(it->index());
  // Sub-item 0 answers the bounds of the whole row, as the native control does.
  if (column <= 0) return row;
  if (column >= int(lv->columns.size())) return {};
  return {lv->columnLeft(column), row.y, lv->columnWidth(column), row.height};
}

void ListViewSubItem::forEachHeld(const std::function<void(const Value&)>& visit) const {
  visit(tag);
}

ListViewItem::ListViewItem() : Object(typeNamed(L"System.Windows.Forms.ListViewItem")) {
  subItems.push_back(std::make_shared<ListViewSubItem>());
}

std::shared_ptr<ListViewSubItem> ListViewItem::addSubItem(const std::wstring& text) {
  auto s = std::make_shared<ListViewSubItem>();
  s->text = text;
  s->item = std::static_pointer_cast<ListViewItem>(shared_from_this());
  subItems.push_back(s);
  return s;
}

void ListViewItem::setChecked(bool c) {
  if (c == checked_) return;
  auto lv = list_.lock();
  if (lv && lv->checkBoxes && lv->isHandleCreated())
    lv->changeCheck(*this, c);
  else
    checked_ = c;
}

void ListViewItem::setSelected(bool s) {
  if (s == selected_) return;
  auto lv = list_.lock();
  if (lv)
    lv->changeSelection(*this, s);
  else
    selected_ = s;
}

int ListViewItem::index() const {
  auto lv = list_.lock();
  if (!lv) return -1;
  for (size_t i = 0; i < lv->items.size(); ++i)
    if (lv->items[i].get() == this) return int(i);
  return -1;
}

Rectangle ListViewItem::bounds() const {
  auto lv = list_.lock();
  if (!lv || !lv->isHandleCreated()) return {};
  return lv->rowBounds(index());
}

std::shared_ptr<ListViewSubItem> ListViewItem::subItemAt(int x, int y) const {
  auto lv = list_.lock();
  if (!lv || !lv->isHandleCreated() || lv->view != 1) return nullptr;
  ListHit hit = lv->hitTest(x, y);
  if (hit.item.get() != this || hit.column < 0 || hit.column >= int(subItems.size()))
    return nullptr;
  return subItems[hit.column];
}

void ListViewItem::forEachHeld(const std::function<void(const Value&)>& visit) const {
  visit(tag);
  for (auto& s : subItems) visit(Value::object(s));
}

// ---- event arguments

ItemCheckEventArgs::ItemCheckEventArgs(int index, int newValue, int currentValue)
    : EventArgs(typeNamed(L"System.Windows.Forms.ItemCheckEventArgs")),
      index(index),
      newValue(newValue),
      currentValue(currentValue) {}

ItemCheckedEventArgs::ItemCheckedEventArgs(std::shared_ptr<ListViewItem> item)
    : EventArgs(typeNamed(L"System.Windows.Forms.ItemCheckedEventArgs")), item(std::move(item)) {}

ListViewHitTestInfo::ListViewHitTestInfo(ListHit hit)
    : Object(typeNamed(L"System.Windows.Forms.ListViewHitTestInfo")), hit(std::move(hit)) {}

std::shared_ptr<ListView> ListViewCollection::list() const {
  auto lv = list_.lock();
  if (!lv) throw DotNetError(L"System.ObjectDisposedException", L"The list view no longer exists");
  return lv;
}

SubItemCollection::SubItemCollection(std::weak_ptr<ListViewItem> item)
    : Object(typeNamed(L"System.Windows.Forms.ListViewItem+ListViewSubItemCollection")),
      item_(std::move(item)) {}

std::shared_ptr<ListViewItem> SubItemCollection::item() const {
  auto it = item_.lock();
  if (!it) throw DotNetError(L"System.ObjectDisposedException", L"The item no longer exists");
  return it;
}

// ---- ListView

ListView::ListView() : Control(typeNamed(L"System.Windows.Forms.ListView")) {
  setBackColor(Color::fromArgb(255, 255, 255, 255));
}

Size ListView::clientSize() {
  Rectangle r = rawBounds();
  return {std::max(0, r.width - 2 * kListBorder), std::max(0, r.height - 2 * kListBorder)};
}

// Geometry questions bring the layout up to date first: the list's size comes from docking.
int ListView::clientWidth() const {
  Application::instance().ensureLayout(const_cast<ListView&>(*this));
  return std::max(0, rawBounds().width - 2 * kListBorder);
}

void ListView::adopt(const std::shared_ptr<ListViewItem>& item) {
  if (!item) throwArgument(L"Value cannot be null.\nParameter name: item");
  if (item->list_.lock())
    throwArgument(L"Cannot add or insert the item '" + item->text() +
                  L"' in more than one place. You must first remove it from its current "
                  L"location or clone it.\nParameter name: item");
  item->list_ = std::static_pointer_cast<ListView>(shared_from_this());
  for (auto& s : item->subItems) s->item = item;
}

void ListView::addItems(const std::vector<std::shared_ptr<ListViewItem>>& add) {
  for (auto& it : add) {
    adopt(it);
    items.push_back(it);
  }
  if (!multiSelect) {
    // Only the last selected item stays selected.
    bool seen = false;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if ((*it)->selected_ && seen) (*it)->selected_ = false;
      seen = seen || (*it)->selected_;
    }
  }
}

void ListView::insertItem(int index, const std::shared_ptr<ListViewItem>& item) {
  if (index < 0 || index > int(items.size()))
    throwOutOfRange(L"InvalidArgument=Value of '" + std::to_wstring(index) +
                    L"' is not valid for 'index'.");
  adopt(item);
  items.insert(items.begin() + index, item);
}

void ListView::removeItemAt(int index) {
  if (index < 0 || index >= int(items.size()))
    throwOutOfRange(L"InvalidArgument=Value of '" + std::to_wstring(index) +
                    L"' is not valid for 'index'.");
  auto item = items[index];
  items.erase(items.begin() + index);
  item->list_.reset();
  bool wasSelected = item->selected_;
  item->selected_ = false;
  if (anchor_ >= int(items.size())) anchor_ = -1;
  if (wasSelected && isHandleCreated())
    raise(L"SelectedIndexChanged", std::make_shared<EventArgs>());
}

void ListView::clearItems() {
  bool anySelected = false;
  for (auto& it : items) {
    anySelected = anySelected || it->selected_;
    it->list_.reset();
    it->selected_ = false;
  }
  items.clear();
  anchor_ = -1;
  if (anySelected && isHandleCreated())
    raise(L"SelectedIndexChanged", std::make_shared<EventArgs>());
}

std::shared_ptr<ColumnHeader> ListView::addColumn(const std::wstring& text, int width) {
  auto c = std::make_shared<ColumnHeader>();
  c->text = text;
  c->requestedWidth = width;
  c->list = std::static_pointer_cast<ListView>(shared_from_this());
  columns.push_back(c);
  return c;
}

std::vector<int> ListView::selectedIndices() const {
  std::vector<int> out;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i]->selected_) out.push_back(int(i));
  return out;
}

void ListView::changeSelection(ListViewItem& item, bool selected) {
  bool changed = item.selected_ != selected;
  if (selected && !multiSelect)
    for (auto& other : items)
      if (other.get() != &item && other->selected_) {
        other->selected_ = false;
        changed = true;
      }
  item.selected_ = selected;
  if (changed && isHandleCreated()) raise(L"SelectedIndexChanged", std::make_shared<EventArgs>());
}

void ListView::selectOnly(int index) {
  bool changed = false;
  for (size_t i = 0; i < items.size(); ++i) {
    bool want = int(i) == index;
    if (items[i]->selected_ != want) {
      items[i]->selected_ = want;
      changed = true;
    }
  }
  if (changed && isHandleCreated()) raise(L"SelectedIndexChanged", std::make_shared<EventArgs>());
}

void ListView::changeCheck(ListViewItem& item, bool checked) {
  auto keep = item.shared_from_this();
  int current = item.checked_ ? CheckState::Checked : CheckState::Unchecked;
  auto args = std::make_shared<ItemCheckEventArgs>(
      item.index(), checked ? CheckState::Checked : CheckState::Unchecked, current);
  // Handlers see the item still holding its old state; NewValue decides the outcome.
  raise(L"ItemCheck", args);
  bool result = args->newValue != CheckState::Unchecked;
  if (result == item.checked_) return;
  item.checked_ = result;
  raise(L"ItemChecked",
        std::make_shared<ItemCheckedEventArgs>(std::static_pointer_cast<ListViewItem>(keep)));
}

int ListView::columnWidth(int column) const {
  if (column < 0 || column >= int(columns.size())) return 0;
  const ColumnHeader& c = *columns[column];
  if (c.requestedWidth == -2) {
    int fit = textWidth(c.text);
    if (column + 1 < int(columns.size())) return fit;
    int others = 0;
    for (int i = 0; i < column; ++i) others += columnWidth(i);
    return std::max(fit, clientWidth() - others);
  }
  if (c.requestedWidth == -1) {
    int fit = 0;
    for (auto& it : items)
      if (column < int(it->subItems.size()))
        fit = std::max(fit, textWidth(it->subItems[column]->text));
    return fit;
  }
  return std::max(0, c.requestedWidth);
}

int ListView::columnLeft(int column) const {
  int x = 0;
  for (int i = 0; i < column; ++i) x += columnWidth(i);
  return x;
}

Rectangle ListView::rowBounds(int index) const {
  if (index < 0 || index >= int(items.size())) return {};
  int total = columnLeft(int(columns.size()));
  int top = view == 1 ? kListHeaderHeight : 0;
  return {0, top + index * kListRowHeight, total, kListRowHeight};
}

Rectangle ListView::checkBoxBounds(int index) const {
  Rectangle row = rowBounds(index);
  if (!checkBoxes || row.height == 0) return {};
  return {kCheckBoxLeft, row.y, kCheckBoxWidth, row.height};
}

ListHit ListView::hitTest(int x, int y) const {
  ListHit hit;
  Application::instance().ensureLayout(const_cast<ListView&>(*this));
  Rectangle r = rawBounds();
  int w = std::max(0, r.width - 2 * kListBorder), h = std::max(0, r.height - 2 * kListBorder);
  if (y < 0)
    hit.location = HitLocation::AboveClientArea;
  else if (y >= h)
    hit.location = HitLocation::BelowClientArea;
  else if (x < 0)
    hit.location = HitLocation::LeftOfClientArea;
  else if (x >= w)
    hit.location = HitLocation::RightOfClientArea;
  if (hit.location != HitLocation::None) return hit;
  int top = view == 1 ? kListHeaderHeight : 0;
  if (y < top) return hit;
  int row = (y - top) / kListRowHeight;
  int total = columnLeft(int(columns.size()));
  if (row >= int(items.size()) || x >= total) return hit;
  hit.item = items[row];
  for (int c = 0; c < int(columns.size()); ++c)
    if (x < columnLeft(c + 1)) {
      hit.column = c;
      break;
    }
  if (hit.column >= 0 && hit.column < int(hit.item->subItems.size()))
    hit.subItem = hit.item->subItems[hit.column];
  bool onBox =
      checkBoxes && hit.column == 0 && x >= kCheckBoxLeft && x < kCheckBoxLeft + kCheckBoxWidth;
  hit.location = onBox ? HitLocation::StateImage : HitLocation::Label;
  return hit;
}

// The native list handles the press before .NET raises MouseDown: a press on a check box
// toggles it (ItemCheck, ItemChecked; a box of a selected row takes the other selected rows
// with it) and leaves the selection alone; any other press selects (Ctrl toggles, Shift
// extends from the anchor). Handlers of MouseDown and MouseUp so see the new check state.
void ListView::userMouseDown(int x, int y, int button) {
  if (!enabled() || isDisposed()) return;
  auto keep = shared_from_this();
  Application& app = Application::instance();
  if (canFocus()) app.setFocus(this);
  app.mouseButtons |= button;
  pressed_ = true;
  pressHit_ = hitTest(x, y);
  if (pressHit_.location == HitLocation::StateImage && button == MouseButtons::Left) {
    toggleBox(pressHit_.item);
    raiseMouse(L"MouseDown", button, 1, x, y);
    return;
  }
  selectOnPress(button);
  raiseMouse(L"MouseDown", button, 1, x, y);
}

void ListView::toggleBox(const std::shared_ptr<ListViewItem>& clicked) {
  if (!checkBoxes || !clicked || clicked->listView() != this) return;
  const bool check = !clicked->checked_;
  if (clicked->selected_) {
    std::vector<std::shared_ptr<ListViewItem>> others;
    for (auto& it : items)
      if (it != clicked && it->selected_) others.push_back(it);
    for (auto& it : others) it->setChecked(check);
  }
  clicked->setChecked(check);
}

void ListView::selectOnPress(int button) {
  Application& app = Application::instance();
  int index = pressHit_.item ? pressHit_.item->index() : -1;
  int mods = app.modifierKeys;
  bool ctrl = (mods & Keys::Control) && multiSelect;
  bool shift = (mods & Keys::Shift) && multiSelect;
  if (index < 0) {
    if (!ctrl && !shift && pressHit_.location == HitLocation::None) selectOnly(-1);
    return;
  }
  if (button == MouseButtons::Right && pressHit_.item->selected_) return;
  if (shift && anchor_ >= 0) {
    int lo = std::min(anchor_, index), hi = std::max(anchor_, index);
    bool changed = false;
    for (int i = 0; i < int(items.size()); ++i) {
      bool want = (i >= lo && i <= hi) || (ctrl && items[i]->selected_);
      changed = changed || items[i]->selected_ != want;
      items[i]->selected_ = want;
    }
    if (changed) raise(L"SelectedIndexChanged", std::make_shared<EventArgs>());
  } else if (ctrl) {
    changeSelection(*pressHit_.item, !pressHit_.item->selected_);
    anchor_ = index;
  } else {
    selectOnly(index);
    anchor_ = index;
  }
}

// On the release the native list reports the click: .NET raises Click and MouseClick (only
// over an item), then MouseUp.
void ListView::userMouseUp(int x, int y, int button) {
  if (!enabled() || isDisposed()) return;
  auto keep = shared_from_this();
  Application& app = Application::instance();
  app.mouseButtons &= ~button;
  bool wasPressed = pressed_;
  pressed_ = false;
  ListHit hit = pressHit_;
  pressHit_ = ListHit{};
  bool reportsClick = wasPressed && button != MouseButtons::Middle;
  if (reportsClick && hit.item) {
    raiseMouse(L"Click", button, 1, x, y);
    raiseMouse(L"MouseClick", button, 1, x, y);
  }
  raiseMouse(L"MouseUp", button, 1, x, y);
}

void ListView::forEachHeld(const std::function<void(const Value&)>& visit) const {
  Control::forEachHeld(visit);
  for (auto& c : columns) visit(Value::object(c));
  for (auto& it : items) visit(Value::object(it));
}

static ObjectPtr makeCollection(ObjectPtr& slot, const wchar_t* type, ListView& lv) {
  if (!slot)
    slot = std::make_shared<ListViewCollection>(
        typeNamed(type), std::static_pointer_cast<ListView>(lv.shared_from_this()));
  return slot;
}

ObjectPtr ListView::columnsCollection() {
  return makeCollection(columnsCollection_, L"System.Windows.Forms.ListView+ColumnHeaderCollection",
                        *this);
}
ObjectPtr ListView::itemsCollection() {
  return makeCollection(itemsCollection_, L"System.Windows.Forms.ListView+ListViewItemCollection",
                        *this);
}
ObjectPtr ListView::selectedIndicesCollection() {
  return makeCollection(selectedIndicesCollection_,
                        L"System.Windows.Forms.ListView+SelectedIndexCollection", *this);
}
ObjectPtr ListView::selectedItemsCollection() {
  return makeCollection(selectedItemsCollection_,
                        L"System.Windows.Forms.ListView+SelectedListViewItemCollection", *this);
}

}  // namespace maxhost::dotnet

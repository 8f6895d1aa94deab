// The list view in details mode: columns, items with sub-items and check boxes, selection,
// hit testing on fixed row and header heights, and the check events in .NET's order.
#pragma once

#include "dotnet/controls.h"

namespace maxhost::dotnet {

class ListView;
class ListViewItem;

// Fixed metrics at the 8-point UI font, so that every bound is deterministic.
constexpr int kListHeaderHeight = 24;
constexpr int kListRowHeight = 17;
constexpr int kListBorder = 2;    // Fixed3D border on each side
constexpr int kCheckBoxLeft = 2;  // the state image inside cell 0
constexpr int kCheckBoxWidth = 16;
int textWidth(const std::wstring& text);  // header fit: 6 pixels a character plus 12

class ColumnHeader : public Object {
 public:
  ColumnHeader();
  std::wstring text, name;
  int requestedWidth = 60;  // -1 fits the content, -2 the header (the last column fills)
  int index() const;
  int width() const;  // the requested width until the list is shown, then the real one
  std::weak_ptr<ListView> list;
};

class ListViewSubItem : public Object {
 public:
  ListViewSubItem();
  std::wstring text, name;
  Value tag;
  std::weak_ptr<ListViewItem> item;
  Rectangle bounds() const;
  void forEachHeld(const std::function<void(const Value&)>& visit) const override;
  std::wstring toString() const override { return L"ListViewSubItem: {" + text + L"}"; }
};

class ListViewItem : public Object {
 public:
  ListViewItem();
  std::vector<std::shared_ptr<ListViewSubItem>> subItems;  // never empty: 0 is the item text
  std::wstring text() const { return subItems[0]->text; }
  void setText(const std::wstring& t) { subItems[0]->text = t; }
  bool checked() const { return checked_; }
  // Through the list when it is shown: ItemCheck (cancellable) before, ItemChecked after.
  void setChecked(bool c);
  bool selected() const { return selected_; }
  void setSelected(bool s);
  int index() const;
  ListView* listView() const { return list_.lock().get(); }
  Rectangle bounds() const;
  std::shared_ptr<ListViewSubItem> subItemAt(int x, int y) const;
  std::shared_ptr<ListViewSubItem> addSubItem(const std::wstring& text);
  std::wstring name;
  Value tag;

  void forEachHeld(const std::function<void(const Value&)>& visit) const override;
  std::wstring toString() const override { return L"ListViewItem: {" + text() + L"}"; }

 private:
  friend class ListView;
  std::weak_ptr<ListView> list_;
  bool checked_ = false;
  bool selected_ = false;
};

struct ListHit {
  std::shared_ptr<ListViewItem> item;
  std::shared_ptr<ListViewSubItem> subItem;
  int column = -1;
  int location = 1;  // ListViewHitTestLocations: None 1, StateImage 512, Label 4, outside...
};

class ListView : public Control {
 public:
  ListView();
  Size defaultSize() const override { return {121, 97}; }
  Size clientSize() override;
  Point clientOrigin() const override { return {kListBorder, kListBorder}; }
  bool selectable() const override { return true; }

  int view = 0;  // LargeIcon 0, Details 1, SmallIcon 2, List 3, Tile 4
  bool checkBoxes = false, fullRowSelect = false, gridLines = false, multiSelect = true;
  bool hideSelection = true, labelEdit = false;

  std::vector<std::shared_ptr<ColumnHeader>> columns;
  std::vector<std::shared_ptr<ListViewItem>> items;

  // Items join with their check state and fire no check events.
  void addItems(const std::vector<std::shared_ptr<ListViewItem>>& add);
  void insertItem(int index, const std::shared_ptr<ListViewItem>& item);
  void removeItemAt(int index);
  void clearItems();
  std::shared_ptr<ColumnHeader> addColumn(const std::wstring& text, int width);
  std::vector<int> selectedIndices() const;  // ascending
  void selectOnly(int index);                // -1 clears the selection

  int columnLeft(int column) const;
  int columnWidth(int column) const;
  Rectangle rowBounds(int index) const;
  Rectangle checkBoxBounds(int index) const;
  ListHit hitTest(int x, int y) const;

  void userMouseDown(int x, int y, int button) override;
  void userMouseUp(int x, int y, int button) override;

 private:
  void toggleBox(const std::shared_ptr<ListViewItem>& clicked);
  void selectOnPress(int button);

 public:
  void forEachHeld(const std::function<void(const Value&)>& visit) const override;

  // Collections handed to scripts; created on first use.
  ObjectPtr columnsCollection();
  ObjectPtr itemsCollection();
  ObjectPtr selectedIndicesCollection();
  ObjectPtr selectedItemsCollection();

 private:
  friend class ListViewItem;
  void changeCheck(ListViewItem& item, bool checked);
  void changeSelection(ListViewItem& item, bool selected);
  void adopt(const std::shared_ptr<ListViewItem>& item);
  int clientWidth() const;
  ObjectPtr columnsCollection_, itemsCollection_, selectedIndicesCollection_,
      selectedItemsCollection_;
  int anchor_ = -1;  // where a shift-click range starts
  ListHit pressHit_;
};

// A collection object that forwards to a list view it does not own.
class ListViewCollection : public Object {
 public:
  ListViewCollection(const TypeInfo& type, std::weak_ptr<ListView> list)
      : Object(type), list_(std::move(list)) {}
  std::shared_ptr<ListView> list() const;

 private:
  std::weak_ptr<ListView> list_;
};

class SubItemCollection : public Object {
 public:
  explicit SubItemCollection(std::weak_ptr<ListViewItem> item);
  std::shared_ptr<ListViewItem> item() const;

 private:
  std::weak_ptr<ListViewItem> item_;
};

class ItemCheckEventArgs : public EventArgs {
 public:
  ItemCheckEventArgs(int index, int newValue, int currentValue);
  int index, newValue, currentValue;
};

class ItemCheckedEventArgs : public EventArgs {
 public:
  explicit ItemCheckedEventArgs(std::shared_ptr<ListViewItem> item);
  std::shared_ptr<ListViewItem> item;
};

class ListViewHitTestInfo : public Object {
 public:
  explicit ListViewHitTestInfo(ListHit hit);
  ListHit hit;
};

}  // namespace maxhost::dotnet

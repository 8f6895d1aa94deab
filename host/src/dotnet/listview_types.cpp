// Type tables of the list view, its items, sub-items, columns and collections.
#include "base/text.h"
#include "dotnet/listview.h"
#include "dotnet/reflect.h"

namespace maxhost::dotnet {

using namespace reflect;

namespace {

const std::wstring kForms = L"System.Windows.Forms.";

Value enumOf(const std::wstring& shortName, int64_t v) {
  return Value::enumValue(typeNamed(kForms + shortName), v);
}

std::shared_ptr<ListViewItem> newItem(const std::wstring& text) {
  auto item = std::make_shared<ListViewItem>();
  item->setText(text);
  item->subItems[0]->item = item;
  return item;
}

void checkIndex(int64_t i, size_t count) {
  if (i < 0 || i >= int64_t(count))
    throwOutOfRange(L"InvalidArgument=Value of '" + std::to_wstring(i) +
                    L"' is not valid for 'index'.\nParameter name: index");
}

void registerItems(TypeRegistry& reg) {
  TypeInfo& sub = reg.add(kForms + L"ListViewItem+ListViewSubItem");
  TypeInfo& item = reg.add(kForms + L"ListViewItem");
  TypeRef itemRef = TypeRef::classOf(item), subRef = TypeRef::classOf(sub);
  TypeRef rectRef = TypeRef::classOf(reg.get(L"System.Drawing.Rectangle"));

  sub.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<ListViewSubItem>()); });
  sub.constructor({itemRef, kString}, [](Object*, const Args& a) {
    auto s = std::make_shared<ListViewSubItem>();
    s->text = a[1].asString();
    return Value::object(s);
  });
  prop<ListViewSubItem>(
      sub, L"Text", kString, [](ListViewSubItem& s) { return str(s.text); },
      [](ListViewSubItem& s, const Value& v) { s.text = v.asString(); });
  prop<ListViewSubItem>(
      sub, L"Name", kString, [](ListViewSubItem& s) { return str(s.name); },
      [](ListViewSubItem& s, const Value& v) { s.name = v.asString(); });
  prop<ListViewSubItem>(
      sub, L"Tag", kAny, [](ListViewSubItem& s) { return s.tag; },
      [](ListViewSubItem& s, const Value& v) { s.tag = v; });
  prop<ListViewSubItem>(sub, L"Bounds", rectRef,
                        [](ListViewSubItem& s) { return box(s.bounds()); });

  item.constructor({}, [](Object*, const Args&) { return Value::object(newItem(L"")); });
  item.constructor({kString},
                   [](Object*, const Args& a) { return Value::object(newItem(a[0].asString())); });
  item.constructor({TypeRef::arrayOf(K::String)}, [](Object*, const Args& a) {
    auto arr = a[0].as<Array>();
    auto it = newItem(arr && !arr->items().empty() ? arr->items()[0].asString() : L"");
    if (arr)
      for (size_t i = 1; i < arr->items().size(); ++i) it->addSubItem(arr->items()[i].asString());
    return Value::object(it);
  });
  prop<ListViewItem>(
      item, L"Text", kString, [](ListViewItem& i) { return str(i.text()); },
      [](ListViewItem& i, const Value& v) { i.setText(v.asString()); });
  prop<ListViewItem>(
      item, L"Name", kString, [](ListViewItem& i) { return str(i.name); },
      [](ListViewItem& i, const Value& v) { i.name = v.asString(); });
  prop<ListViewItem>(
      item, L"Tag", kAny, [](ListViewItem& i) { return i.tag; },
      [](ListViewItem& i, const Value& v) { i.tag = v; });
  prop<ListViewItem>(
      item, L"Checked", kBool, [](ListViewItem& i) { return Value::boolean(i.checked()); },
      [](ListViewItem& i, const Value& v) { i.setChecked(v.asBool()); });
  prop<ListViewItem>(
      item, L"Selected", kBool, [](ListViewItem& i) { return Value::boolean(i.selected()); },
      [](ListViewItem& i, const Value& v) { i.setSelected(v.asBool()); });
  prop<ListViewItem>(item, L"Index", kInt, [](ListViewItem& i) { return integer(i.index()); });
  prop<ListViewItem>(item, L"Bounds", rectRef, [](ListViewItem& i) { return box(i.bounds()); });
  prop<ListViewItem>(item, L"ListView", kAny, [](ListViewItem& i) {
    return i.listView() ? Value::object(i.listView()->self()) : Value();
  });
  prop<ListViewItem>(item, L"SubItems", kAny, [](ListViewItem& i) {
    return Value::object(
        std::make_shared<SubItemCollection>(std::static_pointer_cast<ListViewItem>(i.self())));
  });
  method<ListViewItem>(item, L"GetSubItemAt", {kInt, kInt}, [](ListViewItem& i, const Args& a) {
    auto s = i.subItemAt(int(a[0].asInt()), int(a[1].asInt()));
    return s ? Value::object(s) : Value();
  });
  method<ListViewItem>(item, L"Remove", {}, [](ListViewItem& i, const Args&) {
    if (ListView* lv = i.listView()) lv->removeItemAt(i.index());
    return Value();
  });
  method<ListViewItem>(item, L"EnsureVisible", {},
                       [](ListViewItem&, const Args&) { return Value(); });

  TypeInfo& subs = reg.add(kForms + L"ListViewItem+ListViewSubItemCollection");
  method<SubItemCollection>(subs, L"Add", {kString}, [](SubItemCollection& c, const Args& a) {
    return Value::object(c.item()->addSubItem(a[0].asString()));
  });
  method<SubItemCollection>(subs, L"Add", {subRef}, [](SubItemCollection& c, const Args& a) {
    auto s = a[0].as<ListViewSubItem>();
    auto it = c.item();
    s->item = it;
    it->subItems.push_back(s);
    return Value::object(s);
  });
  method<SubItemCollection>(subs, L"AddRange", {TypeRef::arrayOf(K::String)},
                            [](SubItemCollection& c, const Args& a) {
                              if (auto arr = a[0].as<Array>())
                                for (auto& v : arr->items()) c.item()->addSubItem(v.asString());
                              return Value();
                            });
  method<SubItemCollection>(subs, L"RemoveAt", {kInt}, [](SubItemCollection& c, const Args& a) {
    auto it = c.item();
    checkIndex(a[0].asInt(), it->subItems.size());
    it->subItems.erase(it->subItems.begin() + a[0].asInt());
    if (it->subItems.empty()) it->subItems.push_back(std::make_shared<ListViewSubItem>());
    return Value();
  });
  prop<SubItemCollection>(subs, L"Count", kInt,
                          [](SubItemCollection& c) { return integer(c.item()->subItems.size()); });
  subs.indexer(
      {kInt},
      [](Object* o, const Args& a) {
        auto it = as<SubItemCollection>(o).item();
        checkIndex(a[0].asInt(), it->subItems.size());
        return Value::object(it->subItems[size_t(a[0].asInt())]);
      },
      [](Object* o, const Args& a, const Value& v) {
        auto it = as<SubItemCollection>(o).item();
        checkIndex(a.empty() ? -1 : a[0].asInt(), it->subItems.size());
        auto s = v.as<ListViewSubItem>();
        if (!s) throwArgument(L"A ListViewSubItem is expected");
        s->item = it;
        it->subItems[size_t(a[0].asInt())] = s;
      });
  subs.indexer({kString}, [](Object* o, const Args& a) {
    for (auto& s : as<SubItemCollection>(o).item()->subItems)
      if (EqualsNoCase(s->name, a[0].asString())) return Value::object(s);
    return Value();
  });
}

void registerCollections(TypeRegistry& reg) {
  TypeRef itemRef = TypeRef::classOf(reg.get(kForms + L"ListViewItem"));
  const TypeInfo& columnType = reg.get(kForms + L"ColumnHeader");
  TypeRef columnRef = TypeRef::classOf(columnType);
  auto lv = [](Object* o) { return as<ListViewCollection>(o).list(); };

  TypeInfo& cols = reg.add(kForms + L"ListView+ColumnHeaderCollection");
  auto addColumn = [lv](Object* o, const Args& a) {
    return Value::object(lv(o)->addColumn(a[0].asString(), a.size() > 1 ? int(a[1].asInt()) : 60));
  };
  cols.method(L"Add", {kString}, addColumn);
  cols.method(L"Add", {kString, kInt}, addColumn);
  cols.method(L"Add", {kString, kInt, TypeRef::classOf(reg.get(kForms + L"HorizontalAlignment"))},
              addColumn);
  cols.method(L"Add", {columnRef}, [lv](Object* o, const Args& a) {
    auto c = a[0].as<ColumnHeader>();
    auto list = lv(o);
    c->list = list;
    list->columns.push_back(c);
    return integer(list->columns.size() - 1);
  });
  cols.method(L"Clear", {}, [lv](Object* o, const Args&) {
    lv(o)->columns.clear();
    return Value();
  });
  cols.method(L"RemoveAt", {kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    checkIndex(a[0].asInt(), list->columns.size());
    list->columns.erase(list->columns.begin() + a[0].asInt());
    return Value();
  });
  cols.property(L"Count", kInt, [lv](Object* o) { return integer(lv(o)->columns.size()); });
  cols.indexer({kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    checkIndex(a[0].asInt(), list->columns.size());
    return Value::object(list->columns[size_t(a[0].asInt())]);
  });

  TypeInfo& items = reg.add(kForms + L"ListView+ListViewItemCollection");
  items.method(L"Add", {itemRef}, [lv](Object* o, const Args& a) {
    auto it = a[0].as<ListViewItem>();
    lv(o)->addItems({it});
    return a[0];
  });
  items.method(L"Add", {kString}, [lv](Object* o, const Args& a) {
    auto it = newItem(a[0].asString());
    lv(o)->addItems({it});
    return Value::object(it);
  });
  items.method(L"AddRange", {TypeRef::arrayOf(K::Class, &reg.get(kForms + L"ListViewItem"))},
               [lv](Object* o, const Args& a) {
                 std::vector<std::shared_ptr<ListViewItem>> add;
                 if (auto arr = a[0].as<Array>())
                   for (auto& v : arr->items()) add.push_back(v.as<ListViewItem>());
                 lv(o)->addItems(add);
                 return Value();
               });
  items.method(L"Insert", {kInt, itemRef}, [lv](Object* o, const Args& a) {
    lv(o)->insertItem(int(a[0].asInt()), a[1].as<ListViewItem>());
    return a[1];
  });
  items.method(L"Clear", {}, [lv](Object* o, const Args&) {
    lv(o)->clearItems();
    return Value();
  });
  items.method(L"RemoveAt", {kInt}, [lv](Object* o, const Args& a) {
    lv(o)->removeItemAt(int(a[0].asInt()));
    return Value();
  });
  items.method(L"Remove", {itemRef}, [lv](Object* o, const Args& a) {
    auto it = a[0].as<ListViewItem>();
    if (it && it->listView() == lv(o).get()) lv(o)->removeItemAt(it->index());
    return Value();
  });
  items.method(L"Contains", {itemRef}, [lv](Object* o, const Args& a) {
    auto it = a[0].as<ListViewItem>();
    return Value::boolean(it && it->listView() == lv(o).get());
  });
  items.method(L"IndexOf", {itemRef}, [lv](Object* o, const Args& a) {
    auto it = a[0].as<ListViewItem>();
    return integer(it && it->listView() == lv(o).get() ? it->index() : -1);
  });
  items.property(L"Count", kInt, [lv](Object* o) { return integer(lv(o)->items.size()); });
  items.indexer({kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    checkIndex(a[0].asInt(), list->items.size());
    return Value::object(list->items[size_t(a[0].asInt())]);
  });

  TypeInfo& indices = reg.add(kForms + L"ListView+SelectedIndexCollection");
  indices.property(L"Count", kInt,
                   [lv](Object* o) { return integer(lv(o)->selectedIndices().size()); });
  indices.indexer({kInt}, [lv](Object* o, const Args& a) {
    auto sel = lv(o)->selectedIndices();
    checkIndex(a[0].asInt(), sel.size());
    return integer(sel[size_t(a[0].asInt())]);
  });
  indices.method(L"Contains", {kInt}, [lv](Object* o, const Args& a) {
    auto sel = lv(o)->selectedIndices();
    return Value::boolean(std::find(sel.begin(), sel.end(), a[0].asInt()) != sel.end());
  });
  indices.method(L"IndexOf", {kInt}, [lv](Object* o, const Args& a) {
    auto sel = lv(o)->selectedIndices();
    auto it = std::find(sel.begin(), sel.end(), a[0].asInt());
    return integer(it == sel.end() ? -1 : it - sel.begin());
  });
  indices.method(L"Add", {kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    checkIndex(a[0].asInt(), list->items.size());
    list->items[size_t(a[0].asInt())]->setSelected(true);
    return integer(list->selectedIndices().size());
  });
  indices.method(L"Remove", {kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    checkIndex(a[0].asInt(), list->items.size());
    list->items[size_t(a[0].asInt())]->setSelected(false);
    return Value();
  });
  indices.method(L"Clear", {}, [lv](Object* o, const Args&) {
    lv(o)->selectOnly(-1);
    return Value();
  });

  TypeInfo& selected = reg.add(kForms + L"ListView+SelectedListViewItemCollection");
  selected.property(L"Count", kInt,
                    [lv](Object* o) { return integer(lv(o)->selectedIndices().size()); });
  selected.indexer({kInt}, [lv](Object* o, const Args& a) {
    auto list = lv(o);
    auto sel = list->selectedIndices();
    checkIndex(a[0].asInt(), sel.size());
    return Value::object(list->items[size_t(sel[size_t(a[0].asInt())])]);
  });
  selected.method(L"Clear", {}, [lv](Object* o, const Args&) {
    lv(o)->selectOnly(-1);
    return Value();
  });
  selected.method(L"Contains", {itemRef}, [lv](Object* o, const Args& a) {
    auto it = a[0].as<ListViewItem>();
    return Value::boolean(it && it->listView() == lv(o).get() && it->selected());
  });
}

void registerListView(TypeRegistry& reg) {
  TypeInfo& t = reg.add(kForms + L"ListView", kForms + L"Control");
  t.constructor({},
                [](Object*, const Args&) { return Value::object(std::make_shared<ListView>()); });
  auto flag = [&t](const wchar_t* name, bool ListView::*field) {
    prop<ListView>(
        t, name, kBool, [field](ListView& l) { return Value::boolean(l.*field); },
        [field](ListView& l, const Value& v) { l.*field = v.asBool(); });
  };
  flag(L"CheckBoxes", &ListView::checkBoxes);
  flag(L"FullRowSelect", &ListView::fullRowSelect);
  flag(L"GridLines", &ListView::gridLines);
  flag(L"MultiSelect", &ListView::multiSelect);
  flag(L"HideSelection", &ListView::hideSelection);
  flag(L"LabelEdit", &ListView::labelEdit);
  prop<ListView>(
      t, L"View", TypeRef::classOf(reg.get(kForms + L"View")),
      [](ListView& l) { return enumOf(L"View", l.view); },
      [](ListView& l, const Value& v) { l.view = int(v.asInt()); });
  for (auto [name, type] : std::initializer_list<std::pair<const wchar_t*, TypeRef>>{
           {L"BorderStyle", TypeRef::classOf(reg.get(kForms + L"BorderStyle"))},
           {L"HeaderStyle", TypeRef::classOf(reg.get(kForms + L"ColumnHeaderStyle"))},
           {L"AllowColumnReorder", kBool},
           {L"Sorting", kAny},
           {L"SmallImageList", kAny},
           {L"Scrollable", kBool}}) {
    std::wstring key = name;
    prop<ListView>(
        t, key, type,
        [key](ListView& l) {
          auto it = l.settings.find(key);
          return it == l.settings.end() ? Value() : it->second;
        },
        [key](ListView& l, const Value& v) { l.settings[key] = v; });
  }
  prop<ListView>(t, L"Columns", kAny,
                 [](ListView& l) { return Value::object(l.columnsCollection()); });
  prop<ListView>(t, L"Items", kAny, [](ListView& l) { return Value::object(l.itemsCollection()); });
  prop<ListView>(t, L"SelectedIndices", kAny,
                 [](ListView& l) { return Value::object(l.selectedIndicesCollection()); });
  prop<ListView>(t, L"SelectedItems", kAny,
                 [](ListView& l) { return Value::object(l.selectedItemsCollection()); });
  auto hitTest = [](ListView& l, int x, int y) {
    l.bounds();
    return Value::object(std::make_shared<ListViewHitTestInfo>(l.hitTest(x, y)));
  };
  method<ListView>(t, L"HitTest", {kInt, kInt}, [hitTest](ListView& l, const Args& a) {
    return hitTest(l, int(a[0].asInt()), int(a[1].asInt()));
  });
  method<ListView>(t, L"HitTest", {TypeRef::classOf(reg.get(L"System.Drawing.Point"))},
                   [hitTest](ListView& l, const Args& a) {
                     Point p = toPoint(a[0]);
                     return hitTest(l, p.x, p.y);
                   });
  method<ListView>(t, L"GetItemAt", {kInt, kInt}, [](ListView& l, const Args& a) {
    l.bounds();
    ListHit hit = l.hitTest(int(a[0].asInt()), int(a[1].asInt()));
    return hit.item ? Value::object(hit.item) : Value();
  });
  method<ListView>(t, L"Clear", {}, [](ListView& l, const Args&) {
    l.clearItems();
    l.columns.clear();
    return Value();
  });
  for (const wchar_t* name : {L"BeginUpdate", L"EndUpdate"})
    method<ListView>(t, name, {}, [](ListView&, const Args&) { return Value(); });
  for (const wchar_t* e : {L"ItemCheck", L"ItemChecked", L"SelectedIndexChanged", L"ColumnClick",
                           L"ItemSelectionChanged", L"ItemActivate"})
    t.event(e);

  TypeInfo& hit = reg.add(kForms + L"ListViewHitTestInfo");
  hit.property(L"Item", kAny, [](Object* o) {
    auto& h = as<ListViewHitTestInfo>(o).hit;
    return h.item ? Value::object(h.item) : Value();
  });
  hit.property(L"SubItem", kAny, [](Object* o) {
    auto& h = as<ListViewHitTestInfo>(o).hit;
    return h.subItem ? Value::object(h.subItem) : Value();
  });
  hit.property(
      L"Location", TypeRef::classOf(reg.get(kForms + L"ListViewHitTestLocations")), [](Object* o) {
        return enumOf(L"ListViewHitTestLocations", as<ListViewHitTestInfo>(o).hit.location);
      });

  TypeInfo& check = reg.add(kForms + L"ItemCheckEventArgs", L"System.EventArgs");
  TypeRef stateRef = TypeRef::classOf(reg.get(kForms + L"CheckState"));
  prop<ItemCheckEventArgs>(check, L"Index", kInt,
                           [](ItemCheckEventArgs& e) { return integer(e.index); });
  prop<ItemCheckEventArgs>(
      check, L"NewValue", stateRef,
      [](ItemCheckEventArgs& e) { return enumOf(L"CheckState", e.newValue); },
      [](ItemCheckEventArgs& e, const Value& v) { e.newValue = int(v.asInt()); });
  prop<ItemCheckEventArgs>(check, L"CurrentValue", stateRef, [](ItemCheckEventArgs& e) {
    return enumOf(L"CheckState", e.currentValue);
  });
  TypeInfo& checked = reg.add(kForms + L"ItemCheckedEventArgs", L"System.EventArgs");
  prop<ItemCheckedEventArgs>(checked, L"Item", kAny,
                             [](ItemCheckedEventArgs& e) { return Value::object(e.item); });
}

}  // namespace

void registerListViewTypes(TypeRegistry& reg) {
  TypeInfo& column = reg.add(kForms + L"ColumnHeader");
  column.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<ColumnHeader>()); });
  prop<ColumnHeader>(
      column, L"Text", kString, [](ColumnHeader& c) { return str(c.text); },
      [](ColumnHeader& c, const Value& v) { c.text = v.asString(); });
  prop<ColumnHeader>(
      column, L"Name", kString, [](ColumnHeader& c) { return str(c.name); },
      [](ColumnHeader& c, const Value& v) { c.name = v.asString(); });
  prop<ColumnHeader>(
      column, L"Width", kInt, [](ColumnHeader& c) { return integer(c.width()); },
      [](ColumnHeader& c, const Value& v) { c.requestedWidth = int(v.asInt()); });
  prop<ColumnHeader>(column, L"Index", kInt, [](ColumnHeader& c) { return integer(c.index()); });

  registerItems(reg);
  registerCollections(reg);
  registerListView(reg);
}

}  // namespace maxhost::dotnet

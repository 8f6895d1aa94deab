// Type tables of the list view, its items, sub-items, columns and collections.
#include "base/text.h"
#include "dotnet/listview.h"
#include "dotnet/reflect.h"
#include "dotnet/registration.h"
#include "dotnet/type_table.h"

namespace maxhost::dotnet {

using namespace reflect;

namespace {


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

// ---- columns

ColumnHeader& column(Object* o) {
  return as<ColumnHeader>(o);
}
const table::Constructor kColumnConstructors[] = {
    {L"",
     [](const TypeInfo&, const Args&) { return Value::object(std::make_shared<ColumnHeader>()); }},
};
const table::Property kColumnProperties[] = {
    {L"Text", L"string", [](Object* o) { return str(column(o).text); },
     [](Object* o, const Value& v) { column(o).text = v.asString(); }},
    {L"Name", L"string", [](Object* o) { return str(column(o).name); },
     [](Object* o, const Value& v) { column(o).name = v.asString(); }},
    {L"Width", L"int", [](Object* o) { return integer(column(o).width()); },
     [](Object* o, const Value& v) { column(o).requestedWidth = int(v.asInt()); }},
    {L"Index", L"int", [](Object* o) { return integer(column(o).index()); }},
};

// ---- items and sub-items

ListViewSubItem& sub(Object* o) {
  return as<ListViewSubItem>(o);
}
const table::Constructor kSubItemConstructors[] = {
    {L"", [](const TypeInfo&,
             const Args&) { return Value::object(std::make_shared<ListViewSubItem>()); }},
    {L"ListViewItem,string",
     [](const TypeInfo&, const Args& a) {
       auto s = std::make_shared<ListViewSubItem>();
       s->text = a[1].asString();
       return Value::object(s);
     }},
};
const table::Property kSubItemProperties[] = {
    {L"Text", L"string", [](Object* o) { return str(sub(o).text); },
     [](Object* o, const Value& v) { sub(o).text = v.asString(); }},
    {L"Name", L"string", [](Object* o) { return str(sub(o).name); },
     [](Object* o, const Value& v) { sub(o).name = v.asString(); }},
    {L"Tag", L"any", [](Object* o) { return sub(o).tag; },
     [](Object* o, const Value& v) { sub(o).tag = v; }},
    {L"Bounds", L"System.Drawing.Rectangle", [](Object* o) { return box(sub(o).bounds()); }},
};

ListViewItem& item(Object* o) {
  return as<ListViewItem>(o);
}
const table::Constructor kItemConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return Value::object(newItem(L"")); }},
    {L"string",
     [](const TypeInfo&, const Args& a) { return Value::object(newItem(a[0].asString())); }},
    {L"string[]",
     [](const TypeInfo&, const Args& a) {
       auto arr = a[0].as<Array>();
       auto it = newItem(arr && !arr->items().empty() ? arr->items()[0].asString() : L"");
       if (arr)
         for (size_t i = 1; i < arr->items().size(); ++i)
           it->addSubItem(arr->items()[i].asString());
       return Value::object(it);
     }},
};
const table::Property kItemProperties[] = {
    {L"Text", L"string", [](Object* o) { return str(item(o).text()); },
     [](Object* o, const Value& v) { item(o).setText(v.asString()); }},
    {L"Name", L"string", [](Object* o) { return str(item(o).name); },
     [](Object* o, const Value& v) { item(o).name = v.asString(); }},
    {L"Tag", L"any", [](Object* o) { return item(o).tag; },
     [](Object* o, const Value& v) { item(o).tag = v; }},
    {L"Checked", L"bool", [](Object* o) { return Value::boolean(item(o).checked()); },
     [](Object* o, const Value& v) { item(o).setChecked(v.asBool()); }},
    {L"Selected", L"bool", [](Object* o) { return Value::boolean(item(o).selected()); },
     [](Object* o, const Value& v) { item(o).setSelected(v.asBool()); }},
    {L"Index", L"int", [](Object* o) { return integer(item(o).index()); }},
    {L"Bounds", L"System.Drawing.Rectangle", [](Object* o) { return box(item(o).bounds()); }},
    {L"ListView", L"any",
     [](Object* o) {
       ListView* list = item(o).listView();
       return list ? Value::object(list->self()) : Value();
     }},
    {L"SubItems", L"any",
     [](Object* o) {
       auto self = std::static_pointer_cast<ListViewItem>(item(o).self());
       return Value::object(std::make_shared<SubItemCollection>(self));
     }},
};
const table::Method kItemMethods[] = {
    {L"GetSubItemAt", L"int,int",
     [](Object* o, const Args& a) {
       auto s = item(o).subItemAt(int(a[0].asInt()), int(a[1].asInt()));
       return s ? Value::object(s) : Value();
     }},
    {L"Remove", L"",
     [](Object* o, const Args&) {
       if (ListView* lv = item(o).listView()) lv->removeItemAt(item(o).index());
       return table::noValue();
     }},
    {L"EnsureVisible", L"", table::ignoreCall},
};

std::shared_ptr<ListViewItem> owner(Object* o) {
  return as<SubItemCollection>(o).item();
}
const table::Method kSubItemsMethods[] = {
    {L"Add", L"string",
     [](Object* o, const Args& a) { return Value::object(owner(o)->addSubItem(a[0].asString())); }},
    {L"Add", L"ListViewItem+ListViewSubItem",
     [](Object* o, const Args& a) {
       auto s = a[0].as<ListViewSubItem>();
       auto it = owner(o);
       s->item = it;
       it->subItems.push_back(s);
       return Value::object(s);
     }},
    {L"AddRange", L"string[]",
     [](Object* o, const Args& a) {
       if (auto arr = a[0].as<Array>())
         for (auto& v : arr->items()) owner(o)->addSubItem(v.asString());
       return table::noValue();
     }},
    {L"RemoveAt", L"int",
     [](Object* o, const Args& a) {
       auto it = owner(o);
       checkIndex(a[0].asInt(), it->subItems.size());
       it->subItems.erase(it->subItems.begin() + a[0].asInt());
       if (it->subItems.empty()) it->subItems.push_back(std::make_shared<ListViewSubItem>());
       return table::noValue();
     }},
};
const table::Property kSubItemsProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(owner(o)->subItems.size()); }},
};
const table::Indexer kSubItemsIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto it = owner(o);
       checkIndex(a[0].asInt(), it->subItems.size());
       return Value::object(it->subItems[size_t(a[0].asInt())]);
     },
     [](Object* o, const Args& a, const Value& v) {
       auto it = owner(o);
       checkIndex(a.empty() ? -1 : a[0].asInt(), it->subItems.size());
       auto s = v.as<ListViewSubItem>();
       if (!s) throwArgument(L"A ListViewSubItem is expected");
       s->item = it;
       it->subItems[size_t(a[0].asInt())] = s;
     }},
    {L"string",
     [](Object* o, const Args& a) {
       for (auto& s : owner(o)->subItems)
         if (EqualsNoCase(s->name, a[0].asString())) return Value::object(s);
       return table::noValue();
     }},
};

// ---- the list view's collections

std::shared_ptr<ListView> lv(Object* o) {
  return as<ListViewCollection>(o).list();
}

Value addColumn(Object* o, const Args& a) {
  return Value::object(lv(o)->addColumn(a[0].asString(), a.size() > 1 ? int(a[1].asInt()) : 60));
}
const table::Method kColumnsMethods[] = {
    {L"Add", L"string", addColumn},
    {L"Add", L"string,int", addColumn},
    {L"Add", L"string,int,HorizontalAlignment", addColumn},
    {L"Add", L"ColumnHeader",
     [](Object* o, const Args& a) {
       auto c = a[0].as<ColumnHeader>();
       auto list = lv(o);
       c->list = list;
       list->columns.push_back(c);
       return integer(list->columns.size() - 1);
     }},
    {L"Clear", L"",
     [](Object* o, const Args&) {
       lv(o)->columns.clear();
       return table::noValue();
     }},
    {L"RemoveAt", L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       checkIndex(a[0].asInt(), list->columns.size());
       list->columns.erase(list->columns.begin() + a[0].asInt());
       return table::noValue();
     }},
};
const table::Property kColumnsProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(lv(o)->columns.size()); }},
};
const table::Indexer kColumnsIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       checkIndex(a[0].asInt(), list->columns.size());
       return Value::object(list->columns[size_t(a[0].asInt())]);
     }},
};

bool inList(Object* o, const std::shared_ptr<ListViewItem>& it) {
  return it && it->listView() == lv(o).get();
}
const table::Method kItemsMethods[] = {
    {L"Add", L"ListViewItem",
     [](Object* o, const Args& a) {
       lv(o)->addItems({a[0].as<ListViewItem>()});
       return a[0];
     }},
    {L"Add", L"string",
     [](Object* o, const Args& a) {
       auto it = newItem(a[0].asString());
       lv(o)->addItems({it});
       return Value::object(it);
     }},
    {L"AddRange", L"ListViewItem[]",
     [](Object* o, const Args& a) {
       std::vector<std::shared_ptr<ListViewItem>> add;
       if (auto arr = a[0].as<Array>())
         for (auto& v : arr->items()) add.push_back(v.as<ListViewItem>());
       lv(o)->addItems(add);
       return table::noValue();
     }},
    {L"Insert", L"int,ListViewItem",
     [](Object* o, const Args& a) {
       lv(o)->insertItem(int(a[0].asInt()), a[1].as<ListViewItem>());
       return a[1];
     }},
    {L"Clear", L"",
     [](Object* o, const Args&) {
       lv(o)->clearItems();
       return table::noValue();
     }},
    {L"RemoveAt", L"int",
     [](Object* o, const Args& a) {
       lv(o)->removeItemAt(int(a[0].asInt()));
       return table::noValue();
     }},
    {L"Remove", L"ListViewItem",
     [](Object* o, const Args& a) {
       auto it = a[0].as<ListViewItem>();
       if (inList(o, it)) lv(o)->removeItemAt(it->index());
       return table::noValue();
     }},
    {L"Contains", L"ListViewItem",
     [](Object* o, const Args& a) { return Value::boolean(inList(o, a[0].as<ListViewItem>())); }},
    {L"IndexOf", L"ListViewItem",
     [](Object* o, const Args& a) {
       auto it = a[0].as<ListViewItem>();
       return integer(inList(o, it) ? it->index() : -1);
     }},
};
const table::Property kItemsProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(lv(o)->items.size()); }},
};
const table::Indexer kItemsIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       checkIndex(a[0].asInt(), list->items.size());
       return Value::object(list->items[size_t(a[0].asInt())]);
     }},
};

Value clearSelection(Object* o, const Args&) {
  lv(o)->selectOnly(-1);
  return table::noValue();
}
const table::Property kSelectionProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(lv(o)->selectedIndices().size()); }},
};
const table::Indexer kIndicesIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto sel = lv(o)->selectedIndices();
       checkIndex(a[0].asInt(), sel.size());
       return integer(sel[size_t(a[0].asInt())]);
     }},
};
const table::Method kIndicesMethods[] = {
    {L"Contains", L"int",
     [](Object* o, const Args& a) {
       auto sel = lv(o)->selectedIndices();
       return Value::boolean(std::find(sel.begin(), sel.end(), a[0].asInt()) != sel.end());
     }},
    {L"IndexOf", L"int",
     [](Object* o, const Args& a) {
       auto sel = lv(o)->selectedIndices();
       auto it = std::find(sel.begin(), sel.end(), a[0].asInt());
       return integer(it == sel.end() ? -1 : it - sel.begin());
     }},
    {L"Add", L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       checkIndex(a[0].asInt(), list->items.size());
       list->items[size_t(a[0].asInt())]->setSelected(true);
       return integer(list->selectedIndices().size());
     }},
    {L"Remove", L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       checkIndex(a[0].asInt(), list->items.size());
       list->items[size_t(a[0].asInt())]->setSelected(false);
       return table::noValue();
     }},
    {L"Clear", L"", clearSelection},
};
const table::Indexer kSelectedIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto list = lv(o);
       auto sel = list->selectedIndices();
       checkIndex(a[0].asInt(), sel.size());
       return Value::object(list->items[size_t(sel[size_t(a[0].asInt())])]);
     }},
};
const table::Method kSelectedMethods[] = {
    {L"Clear", L"", clearSelection},
    {L"Contains", L"ListViewItem",
     [](Object* o, const Args& a) {
       auto it = a[0].as<ListViewItem>();
       return Value::boolean(inList(o, it) && it->selected());
     }},
};

// ---- the list view

ListView& list(Object* o) {
  return as<ListView>(o);
}
Value hitTest(ListView& l, int x, int y) {
  l.bounds();
  return Value::object(std::make_shared<ListViewHitTestInfo>(l.hitTest(x, y)));
}
Value flag(Object* o, bool ListView::*field) {
  return Value::boolean(list(o).*field);
}
void setFlag(Object* o, bool ListView::*field, const Value& v) {
  list(o).*field = v.asBool();
}

const table::Constructor kListViewConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return Value::object(std::make_shared<ListView>()); }},
};
const table::Property kListViewProperties[] = {
    {L"CheckBoxes", L"bool", [](Object* o) { return flag(o, &ListView::checkBoxes); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::checkBoxes, v); }},
    {L"FullRowSelect", L"bool", [](Object* o) { return flag(o, &ListView::fullRowSelect); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::fullRowSelect, v); }},
    {L"GridLines", L"bool", [](Object* o) { return flag(o, &ListView::gridLines); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::gridLines, v); }},
    {L"MultiSelect", L"bool", [](Object* o) { return flag(o, &ListView::multiSelect); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::multiSelect, v); }},
    {L"HideSelection", L"bool", [](Object* o) { return flag(o, &ListView::hideSelection); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::hideSelection, v); }},
    {L"LabelEdit", L"bool", [](Object* o) { return flag(o, &ListView::labelEdit); },
     [](Object* o, const Value& v) { setFlag(o, &ListView::labelEdit, v); }},
    {L"View", L"View", [](Object* o) { return table::formsEnum(L"View", list(o).view); },
     [](Object* o, const Value& v) { list(o).view = int(v.asInt()); }},
    {L"Columns", L"any", [](Object* o) { return Value::object(list(o).columnsCollection()); }},
    {L"Items", L"any", [](Object* o) { return Value::object(list(o).itemsCollection()); }},
    {L"SelectedIndices", L"any",
     [](Object* o) { return Value::object(list(o).selectedIndicesCollection()); }},
    {L"SelectedItems", L"any",
     [](Object* o) { return Value::object(list(o).selectedItemsCollection()); }},
};
const table::Setting kListViewSettings[] = {
    {L"BorderStyle", L"BorderStyle"}, {L"HeaderStyle", L"ColumnHeaderStyle"},
    {L"AllowColumnReorder", L"bool"}, {L"Sorting", L"any"},
    {L"SmallImageList", L"any"},      {L"Scrollable", L"bool"},
};
const table::Method kListViewMethods[] = {
    {L"HitTest", L"int,int",
     [](Object* o, const Args& a) {
       return hitTest(list(o), int(a[0].asInt()), int(a[1].asInt()));
     }},
    {L"HitTest", L"System.Drawing.Point",
     [](Object* o, const Args& a) {
       Point p = toPoint(a[0]);
       return hitTest(list(o), p.x, p.y);
     }},
    {L"GetItemAt", L"int,int",
     [](Object* o, const Args& a) {
       ListView& l = list(o);
       l.bounds();
       ListHit hit = l.hitTest(int(a[0].asInt()), int(a[1].asInt()));
       return hit.item ? Value::object(hit.item) : Value();
     }},
    {L"Clear", L"",
     [](Object* o, const Args&) {
       list(o).clearItems();
       list(o).columns.clear();
       return table::noValue();
     }},
    {L"BeginUpdate", L"", table::ignoreCall},
    {L"EndUpdate", L"", table::ignoreCall},
};
const wchar_t* const kListViewEvents[] = {
    L"ItemCheck",   L"ItemChecked",          L"SelectedIndexChanged",
    L"ColumnClick", L"ItemSelectionChanged", L"ItemActivate"};

const ListHit& hit(Object* o) {
  return as<ListViewHitTestInfo>(o).hit;
}
const table::Property kHitProperties[] = {
    {L"Item", L"any", [](Object* o) { return hit(o).item ? Value::object(hit(o).item) : Value(); }},
    {L"SubItem", L"any",
     [](Object* o) { return hit(o).subItem ? Value::object(hit(o).subItem) : Value(); }},
    {L"Location", L"ListViewHitTestLocations",
     [](Object* o) { return table::formsEnum(L"ListViewHitTestLocations", hit(o).location); }},
};

ItemCheckEventArgs& check(Object* o) {
  return as<ItemCheckEventArgs>(o);
}
const table::Property kItemCheckProperties[] = {
    {L"Index", L"int", [](Object* o) { return integer(check(o).index); }},
    {L"NewValue", L"CheckState", [](Object* o) { return table::formsEnum(L"CheckState", check(o).newValue); },
     [](Object* o, const Value& v) { check(o).newValue = int(v.asInt()); }},
    {L"CurrentValue", L"CheckState",
     [](Object* o) { return table::formsEnum(L"CheckState", check(o).currentValue); }},
};
const table::Property kItemCheckedProperties[] = {
    {L"Item", L"any", [](Object* o) { return Value::object(as<ItemCheckedEventArgs>(o).item); }},
};

const table::Class kClasses[] = {
    {.name = L"ColumnHeader", .constructors = kColumnConstructors, .properties = kColumnProperties},
    {.name = L"ListViewItem",
     .constructors = kItemConstructors,
     .properties = kItemProperties,
     .methods = kItemMethods},
    {.name = L"ListViewItem+ListViewSubItem",
     .constructors = kSubItemConstructors,
     .properties = kSubItemProperties},
    {.name = L"ListViewItem+ListViewSubItemCollection",
     .properties = kSubItemsProperties,
     .methods = kSubItemsMethods,
     .indexers = kSubItemsIndexers},
    {.name = L"ListView+ColumnHeaderCollection",
     .properties = kColumnsProperties,
     .methods = kColumnsMethods,
     .indexers = kColumnsIndexers},
    {.name = L"ListView+ListViewItemCollection",
     .properties = kItemsProperties,
     .methods = kItemsMethods,
     .indexers = kItemsIndexers},
    {.name = L"ListView+SelectedIndexCollection",
     .properties = kSelectionProperties,
     .methods = kIndicesMethods,
     .indexers = kIndicesIndexers},
    {.name = L"ListView+SelectedListViewItemCollection",
     .properties = kSelectionProperties,
     .methods = kSelectedMethods,
     .indexers = kSelectedIndexers},
    {.name = L"ListView",
     .base = L"Control",
     .constructors = kListViewConstructors,
     .properties = kListViewProperties,
     .settings = kListViewSettings,
     .methods = kListViewMethods,
     .events = kListViewEvents},
    {.name = L"ListViewHitTestInfo", .properties = kHitProperties},
    {.name = L"ItemCheckEventArgs",
     .base = L"System.EventArgs",
     .properties = kItemCheckProperties},
    {.name = L"ItemCheckedEventArgs",
     .base = L"System.EventArgs",
     .properties = kItemCheckedProperties},
};

}  // namespace

void registerListViewTypes(TypeRegistry& reg) {
  table::registerClasses(reg, table::kFormsNamespace, kClasses);
}

}  // namespace maxhost::dotnet

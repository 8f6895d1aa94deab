// Type tables of System.Windows.Forms: enums, event arguments, controls and dialogs.
#include "dotnet/controls.h"
#include "dotnet/listview.h"
#include "dotnet/reflect.h"
#include "dotnet/registration.h"
#include "dotnet/type_table.h"

namespace maxhost::dotnet {

using namespace reflect;

namespace {


// ---- enums

// clang-format off
const table::EnumValue kDockStyle[] = {
    {L"None", 0}, {L"Top", 1}, {L"Bottom", 2}, {L"Left", 3}, {L"Right", 4}, {L"Fill", 5}};
const table::EnumValue kAnchorStyles[] = {
    {L"None", 0}, {L"Top", 1}, {L"Bottom", 2}, {L"Left", 4}, {L"Right", 8}};
const table::EnumValue kSizeType[] = {{L"AutoSize", 0}, {L"Absolute", 1}, {L"Percent", 2}};
const table::EnumValue kFlowDirection[] = {
    {L"LeftToRight", 0}, {L"TopDown", 1}, {L"RightToLeft", 2}, {L"BottomUp", 3}};
const table::EnumValue kView[] = {
    {L"LargeIcon", 0}, {L"Details", 1}, {L"SmallIcon", 2}, {L"List", 3}, {L"Tile", 4}};
const table::EnumValue kDialogResult[] = {
    {L"None", 0}, {L"OK", 1}, {L"Cancel", 2}, {L"Abort", 3},
    {L"Retry", 4}, {L"Ignore", 5}, {L"Yes", 6}, {L"No", 7}};
const table::EnumValue kMouseButtons[] = {
    {L"None", 0}, {L"Left", MouseButtons::Left}, {L"Right", MouseButtons::Right},
    {L"Middle", MouseButtons::Middle}, {L"XButton1", 0x800000}, {L"XButton2", 0x1000000}};
const table::EnumValue kKeys[] = {
    {L"None", 0}, {L"Back", 8}, {L"Tab", 9}, {L"Enter", 13}, {L"ShiftKey", 16},
    {L"ControlKey", 17}, {L"Menu", 18}, {L"Escape", 27}, {L"Space", 32}, {L"Delete", 46},
    {L"Shift", Keys::Shift}, {L"Control", Keys::Control}, {L"Alt", Keys::Alt},
    {L"Modifiers", -65536}};
const table::EnumValue kCheckState[] = {{L"Unchecked", 0}, {L"Checked", 1}, {L"Indeterminate", 2}};
const table::EnumValue kBorderStyle[] = {{L"None", 0}, {L"FixedSingle", 1}, {L"Fixed3D", 2}};
const table::EnumValue kFormBorderStyle[] = {
    {L"None", 0}, {L"FixedSingle", 1}, {L"Fixed3D", 2}, {L"FixedDialog", 3},
    {L"Sizable", 4}, {L"FixedToolWindow", 5}, {L"SizableToolWindow", 6}};
const table::EnumValue kFormStartPosition[] = {
    {L"Manual", 0}, {L"CenterScreen", 1}, {L"WindowsDefaultLocation", 2},
    {L"WindowsDefaultBounds", 3}, {L"CenterParent", 4}};
const table::EnumValue kCloseReason[] = {
    {L"None", 0}, {L"WindowsShutDown", 1}, {L"MdiFormClosing", 2}, {L"UserClosing", 3},
    {L"TaskManagerClosing", 4}, {L"FormOwnerClosing", 5}, {L"ApplicationExitCall", 6}};
const table::EnumValue kHorizontalAlignment[] = {{L"Left", 0}, {L"Right", 1}, {L"Center", 2}};
const table::EnumValue kColumnHeaderStyle[] = {
    {L"None", 0}, {L"Nonclickable", 1}, {L"Clickable", 2}};
const table::EnumValue kListViewHitTestLocations[] = {
    {L"None", 1}, {L"Image", 2}, {L"Label", 4}, {L"BelowClientArea", 16},
    {L"RightOfClientArea", 32}, {L"LeftOfClientArea", 64}, {L"AboveClientArea", 256},
    {L"StateImage", 512}};
const table::EnumValue kMessageBoxButtons[] = {
    {L"OK", 0}, {L"OKCancel", 1}, {L"AbortRetryIgnore", 2}, {L"YesNoCancel", 3},
    {L"YesNo", 4}, {L"RetryCancel", 5}};
const table::EnumValue kMessageBoxIcon[] = {
    {L"None", 0}, {L"Hand", 16}, {L"Error", 16}, {L"Stop", 16}, {L"Question", 32},
    {L"Exclamation", 48}, {L"Warning", 48}, {L"Asterisk", 64}, {L"Information", 64}};
const table::EnumValue kFlatStyle[] = {{L"Flat", 0}, {L"Popup", 1}, {L"Standard", 2}, {L"System", 3}};
const table::EnumValue kCellBorderStyle[] = {
    {L"None", 0}, {L"Single", 1}, {L"Inset", 2}, {L"InsetDouble", 3}, {L"Outset", 4},
    {L"OutsetDouble", 5}, {L"OutsetPartial", 6}};

const table::Enum kEnums[] = {
    {L"DockStyle", kDockStyle},
    {L"AnchorStyles", kAnchorStyles, true},
    {L"SizeType", kSizeType},
    {L"FlowDirection", kFlowDirection},
    {L"View", kView},
    {L"DialogResult", kDialogResult},
    {L"MouseButtons", kMouseButtons, true},
    {L"Keys", kKeys, true},
    {L"CheckState", kCheckState},
    {L"BorderStyle", kBorderStyle},
    {L"FormBorderStyle", kFormBorderStyle},
    {L"FormStartPosition", kFormStartPosition},
    {L"CloseReason", kCloseReason},
    {L"HorizontalAlignment", kHorizontalAlignment},
    {L"ColumnHeaderStyle", kColumnHeaderStyle},
    {L"ListViewHitTestLocations", kListViewHitTestLocations, true},
    {L"MessageBoxButtons", kMessageBoxButtons},
    {L"MessageBoxIcon", kMessageBoxIcon},
    {L"FlatStyle", kFlatStyle},
    {L"TableLayoutPanelCellBorderStyle", kCellBorderStyle},
};
// clang-format on

// ---- event arguments

MouseEventArgs& mouse(Object* o) {
  return as<MouseEventArgs>(o);
}

const table::Property kMouseEventProperties[] = {
    {L"Button", L"MouseButtons",
     [](Object* o) { return table::formsEnum(L"MouseButtons", mouse(o).button); }},
    {L"X", L"int", [](Object* o) { return integer(mouse(o).x); }},
    {L"Y", L"int", [](Object* o) { return integer(mouse(o).y); }},
    {L"Clicks", L"int", [](Object* o) { return integer(mouse(o).clicks); }},
    {L"Delta", L"int", [](Object* o) { return integer(mouse(o).delta); }},
    {L"Location", L"System.Drawing.Point",
     [](Object* o) {
       return box(Point{mouse(o).x, mouse(o).y});
     }},
};
// The stand-in closes forms only as a user does.
const table::Property kCloseReasonProperties[] = {
    {L"CloseReason", L"CloseReason", [](Object*) { return table::formsEnum(L"CloseReason", 3); }},
};

// ---- Control

Control& ctl(Object* o) {
  return as<Control>(o);
}
void setEdge(Object* o, int Rectangle::*field, const Value& v) {
  Rectangle r = ctl(o).bounds();
  r.*field = int(v.asInt());
  ctl(o).setBounds(r);
}

const table::Constructor kControlConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return Value::object(std::make_shared<Control>()); }},
};

const table::Property kControlProperties[] = {
    {L"Name", L"string", [](Object* o) { return str(ctl(o).name()); },
     [](Object* o, const Value& v) { ctl(o).setName(v.asString()); }},
    {L"Text", L"string", [](Object* o) { return str(ctl(o).text()); },
     [](Object* o, const Value& v) { ctl(o).setText(v.asString()); }},
    {L"Left", L"int", [](Object* o) { return integer(ctl(o).bounds().x); },
     [](Object* o, const Value& v) { setEdge(o, &Rectangle::x, v); }},
    {L"Top", L"int", [](Object* o) { return integer(ctl(o).bounds().y); },
     [](Object* o, const Value& v) { setEdge(o, &Rectangle::y, v); }},
    {L"Width", L"int", [](Object* o) { return integer(ctl(o).bounds().width); },
     [](Object* o, const Value& v) { setEdge(o, &Rectangle::width, v); }},
    {L"Height", L"int", [](Object* o) { return integer(ctl(o).bounds().height); },
     [](Object* o, const Value& v) { setEdge(o, &Rectangle::height, v); }},
    {L"Right", L"int", [](Object* o) { return integer(ctl(o).bounds().right()); }},
    {L"Bottom", L"int", [](Object* o) { return integer(ctl(o).bounds().bottom()); }},
    {L"Bounds", L"System.Drawing.Rectangle", [](Object* o) { return box(ctl(o).bounds()); },
     [](Object* o, const Value& v) { ctl(o).setBounds(toRectangle(v)); }},
    {L"Location", L"System.Drawing.Point",
     [](Object* o) {
       Rectangle r = ctl(o).bounds();
       return box(Point{r.x, r.y});
     },
     [](Object* o, const Value& v) {
       Point p = toPoint(v);
       ctl(o).setLocation(p.x, p.y);
     }},
    {L"Size", L"System.Drawing.Size",
     [](Object* o) {
       Rectangle r = ctl(o).bounds();
       return box(Size{r.width, r.height});
     },
     [](Object* o, const Value& v) {
       Size s = toSize(v);
       ctl(o).setSize(s.width, s.height);
     }},
    {L"ClientSize", L"System.Drawing.Size",
     [](Object* o) {
       ctl(o).bounds();
       return box(ctl(o).clientSize());
     }},
    {L"Visible", L"bool", [](Object* o) { return Value::boolean(ctl(o).visible()); },
     [](Object* o, const Value& v) { ctl(o).setVisible(v.asBool()); }},
    {L"Enabled", L"bool", [](Object* o) { return Value::boolean(ctl(o).enabled()); },
     [](Object* o, const Value& v) { ctl(o).setEnabled(v.asBool()); }},
    {L"Dock", L"DockStyle", [](Object* o) { return table::formsEnum(L"DockStyle", int(ctl(o).dock())); },
     [](Object* o, const Value& v) { ctl(o).setDock(DockStyle(v.asInt())); }},
    {L"BackColor", L"System.Drawing.Color", [](Object* o) { return box(ctl(o).backColor()); },
     [](Object* o, const Value& v) { ctl(o).setBackColor(toColor(v)); }},
    {L"ForeColor", L"System.Drawing.Color", [](Object* o) { return box(ctl(o).foreColor()); },
     [](Object* o, const Value& v) { ctl(o).setForeColor(toColor(v)); }},
    {L"Tag", L"any", [](Object* o) { return ctl(o).tag(); },
     [](Object* o, const Value& v) { ctl(o).setTag(v); }},
    {L"Parent", L"Control",
     [](Object* o) { return ctl(o).parent() ? Value::object(ctl(o).parent()->self()) : Value(); },
     [](Object* o, const Value& v) {
       auto keep = std::static_pointer_cast<Control>(ctl(o).self());
       if (Control* p = ctl(o).parent()) p->controls().remove(keep);
       if (auto np = v.as<Control>()) np->controls().add(keep);
     }},
    {L"TopLevelControl", L"Control",
     [](Object* o) { return Value::object(ctl(o).topLevelControl()->self()); }},
    {L"Controls", L"any", [](Object* o) { return Value::object(ctl(o).controlsPtr()); }},
    {L"HasChildren", L"bool", [](Object* o) { return Value::boolean(!ctl(o).children().empty()); }},
    {L"Focused", L"bool", [](Object* o) { return Value::boolean(ctl(o).focused()); }},
    {L"CanFocus", L"bool", [](Object* o) { return Value::boolean(ctl(o).canFocus()); }},
    {L"IsDisposed", L"bool", [](Object* o) { return Value::boolean(ctl(o).isDisposed()); }},
    {L"IsHandleCreated", L"bool",
     [](Object* o) { return Value::boolean(ctl(o).isHandleCreated()); }},
    {L"Margin", L"any",
     [](Object* o) {
       Padding m = ctl(o).margin();
       return box(Rectangle{m.left, m.top, m.right, m.bottom});
     }},
};

const table::Setting kControlSettings[] = {
    {L"TabIndex", L"int"},   {L"TabStop", L"bool"},
    {L"AutoSize", L"bool"},  {L"Anchor", L"AnchorStyles"},
    {L"Font", L"any"},       {L"Cursor", L"any"},
    {L"AllowDrop", L"bool"}, {L"CausesValidation", L"bool"},
};

void bringToFront(Control& c) {
  Control* p = c.parent();
  if (!p) return;
  auto keep = std::static_pointer_cast<Control>(c.self());
  auto& kids = const_cast<std::vector<ControlPtr>&>(p->children());
  kids.erase(std::find(kids.begin(), kids.end(), keep));
  kids.insert(kids.begin(), keep);
  Application::instance().invalidateLayout();
}

const table::Method kControlMethods[] = {
    {L"Show", L"",
     [](Object* o, const Args&) {
       ctl(o).setVisible(true);
       return table::noValue();
     }},
    {L"Hide", L"",
     [](Object* o, const Args&) {
       ctl(o).setVisible(false);
       return table::noValue();
     }},
    {L"Focus", L"", [](Object* o, const Args&) { return Value::boolean(ctl(o).focus()); }},
    {L"Select", L"",
     [](Object* o, const Args&) {
       ctl(o).focus();
       return table::noValue();
     }},
    {L"FindForm", L"",
     [](Object* o, const Args&) {
       Form* f = ctl(o).findForm();
       return f ? Value::object(f->self()) : Value();
     }},
    {L"Dispose", L"",
     [](Object* o, const Args&) {
       ctl(o).dispose();
       return table::noValue();
     }},
    {L"SetBounds", L"int,int,int,int",
     [](Object* o, const Args& a) {
       ctl(o).setBounds(
           {int(a[0].asInt()), int(a[1].asInt()), int(a[2].asInt()), int(a[3].asInt())});
       return table::noValue();
     }},
    {L"BringToFront", L"",
     [](Object* o, const Args&) {
       bringToFront(ctl(o));
       return table::noValue();
     }},
    {L"Refresh", L"", table::ignoreCall},
    {L"Invalidate", L"", table::ignoreCall},
    {L"Update", L"", table::ignoreCall},
    {L"SuspendLayout", L"", table::ignoreCall},
    {L"ResumeLayout", L"", table::ignoreCall},
    {L"PerformLayout", L"", table::ignoreCall},
    {L"CreateControl", L"", table::ignoreCall},
    {L"ResumeLayout", L"bool", table::ignoreCall},
};

const table::StaticProperty kControlStatics[] = {
    {L"ModifierKeys", L"Keys",
     [] { return table::formsEnum(L"Keys", Application::instance().modifierKeys); }},
    {L"MouseButtons", L"MouseButtons",
     [] { return table::formsEnum(L"MouseButtons", Application::instance().mouseButtons); }},
};

const wchar_t* const kControlEvents[] = {
    L"Click",       L"DoubleClick",    L"MouseClick", L"MouseDoubleClick",
    L"MouseDown",   L"MouseUp",        L"MouseMove",  L"MouseEnter",
    L"MouseLeave",  L"MouseWheel",     L"Enter",      L"Leave",
    L"GotFocus",    L"LostFocus",      L"Validating", L"Validated",
    L"TextChanged", L"VisibleChanged", L"Resize",     L"SizeChanged",
    L"KeyDown",     L"KeyUp",          L"KeyPress",   L"Paint",
    L"Disposed"};

// ---- Control.ControlCollection and the table panel's collection

ControlCollection& coll(Object* o) {
  return as<ControlCollection>(o);
}
Value addControl(Object* o, const Args& a) {
  coll(o).add(a[0].as<Control>());
  return table::noValue();
}

const table::Method kCollectionMethods[] = {
    {L"Add", L"Control", addControl},
    {L"AddRange", L"Control[]",
     [](Object* o, const Args& a) {
       if (auto arr = a[0].as<Array>())
         for (const Value& v : arr->items()) coll(o).add(v.as<Control>());
       return table::noValue();
     }},
    {L"Remove", L"Control",
     [](Object* o, const Args& a) {
       coll(o).remove(a[0].as<Control>());
       return table::noValue();
     }},
    {L"RemoveAt", L"int",
     [](Object* o, const Args& a) {
       coll(o).remove(coll(o).at(int(a[0].asInt())));
       return table::noValue();
     }},
    {L"Clear", L"",
     [](Object* o, const Args&) {
       coll(o).clear();
       return table::noValue();
     }},
    {L"Contains", L"Control",
     [](Object* o, const Args& a) {
       return Value::boolean(coll(o).indexOf(a[0].as<Control>().get()) >= 0);
     }},
    {L"IndexOf", L"Control",
     [](Object* o, const Args& a) { return integer(coll(o).indexOf(a[0].as<Control>().get())); }},
};
const table::Property kCollectionProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(coll(o).count()); }},
};
const table::Indexer kCollectionIndexers[] = {
    {L"int", [](Object* o, const Args& a) { return Value::object(coll(o).at(int(a[0].asInt()))); }},
    {L"string",
     [](Object* o, const Args& a) { return Value::object(coll(o).byName(a[0].asString())); }},
};
const table::Method kTableCollectionMethods[] = {
    {L"Add", L"Control,int,int",
     [](Object* o, const Args& a) {
       auto child = a[0].as<Control>();
       coll(o).add(child);
       if (auto* panel = dynamic_cast<TableLayoutPanel*>(coll(o).owner().get()))
         panel->setCellPosition(child.get(), int(a[1].asInt()), int(a[2].asInt()));
       return table::noValue();
     }},
    // Re-declared so that both overloads live on the derived type.
    {L"Add", L"Control", addControl},
};

// ---- forms

Form& form(Object* o) {
  return as<Form>(o);
}
Value showForm(Object* o, const Args&) {
  form(o).show();
  return table::noValue();
}

const table::Constructor kFormConstructors[] = {
    {L"", [](const TypeInfo& t, const Args&) { return Value::object(std::make_shared<Form>(t)); }},
};
const table::Method kFormMethods[] = {
    {L"Show", L"", showForm},
    {L"Show", L"any", showForm},  // the owner window only parents it
    {L"Close", L"",
     [](Object* o, const Args&) {
       form(o).close();
       return table::noValue();
     }},
    {L"Activate", L"", table::ignoreCall},
};
const table::Setting kFormSettings[] = {
    {L"TopMost", L"bool"},
    {L"ShowInTaskbar", L"bool"},
    {L"MaximizeBox", L"bool"},
    {L"MinimizeBox", L"bool"},
    {L"ShowIcon", L"bool"},
    {L"KeyPreview", L"bool"},
    {L"Opacity", L"double"},
    {L"FormBorderStyle", L"FormBorderStyle"},
    {L"StartPosition", L"FormStartPosition"},
};
const wchar_t* const kFormEvents[] = {L"Closing", L"FormClosing", L"FormClosed", L"Closed",
                                      L"Load",    L"Shown",       L"Activated",  L"Deactivate"};
// Shown modeless as a child of the host window.
const table::Method kMaxFormMethods[] = {
    {L"ShowModeless", L"", showForm},
};

// ---- buttons and panels

const table::Setting kButtonBaseSettings[] = {
    {L"FlatStyle", L"FlatStyle"},
    {L"Image", L"any"},
    {L"TextAlign", L"any"},
    {L"UseVisualStyleBackColor", L"bool"},
};
const table::Constructor kButtonConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return Value::object(std::make_shared<Button>()); }},
};
const table::Method kButtonMethods[] = {
    {L"PerformClick", L"",
     [](Object* o, const Args&) {
       as<Button>(o).performClick();
       return table::noValue();
     }},
};

TableLayoutStyle& style(Object* o) {
  return as<TableLayoutStyle>(o);
}
const table::Property kStyleBaseProperties[] = {
    {L"SizeType", L"SizeType", [](Object* o) { return table::formsEnum(L"SizeType", style(o).sizeType); },
     [](Object* o, const Value& v) {
       style(o).sizeType = int(v.asInt());
       Application::instance().invalidateLayout();
     }},
};
const table::Constructor kStyleConstructors[] = {
    {L"", [](const TypeInfo& t,
             const Args&) { return Value::object(std::make_shared<TableLayoutStyle>(t, 0, 0.f)); }},
    {L"SizeType",
     [](const TypeInfo& t, const Args& a) {
       return Value::object(std::make_shared<TableLayoutStyle>(t, int(a[0].asInt()), 0.f));
     }},
    {L"SizeType,single",
     [](const TypeInfo& t, const Args& a) {
       return Value::object(
           std::make_shared<TableLayoutStyle>(t, int(a[0].asInt()), float(a[1].asDouble())));
     }},
};
Value styleSize(Object* o) {
  return Value::single(style(o).size);
}
void setStyleSize(Object* o, const Value& v) {
  style(o).size = float(v.asDouble());
  Application::instance().invalidateLayout();
}
const table::Property kColumnStyleProperties[] = {{L"Width", L"single", styleSize, setStyleSize}};
const table::Property kRowStyleProperties[] = {{L"Height", L"single", styleSize, setStyleSize}};

TableLayoutStyleCollection& styles(Object* o) {
  return as<TableLayoutStyleCollection>(o);
}
const table::Method kStylesMethods[] = {
    {L"Add", L"TableLayoutStyle",
     [](Object* o, const Args& a) {
       styles(o).styles.push_back(a[0].as<TableLayoutStyle>());
       Application::instance().invalidateLayout();
       return integer(styles(o).styles.size() - 1);
     }},
    {L"Clear", L"",
     [](Object* o, const Args&) {
       styles(o).styles.clear();
       Application::instance().invalidateLayout();
       return table::noValue();
     }},
};
const table::Property kStylesProperties[] = {
    {L"Count", L"int", [](Object* o) { return integer(styles(o).styles.size()); }},
};
const table::Indexer kStylesIndexers[] = {
    {L"int",
     [](Object* o, const Args& a) {
       auto& c = styles(o);
       int64_t i = a[0].asInt();
       if (i < 0 || i >= int64_t(c.styles.size())) throwOutOfRange(L"Index is out of range.");
       return Value::object(c.styles[size_t(i)]);
     }},
};

TableLayoutPanel& panel(Object* o) {
  return as<TableLayoutPanel>(o);
}
void setCount(Object* o, int TableLayoutPanel::*field, const Value& v) {
  if (v.asInt() < 0) throwOutOfRange(L"Count must not be negative");
  panel(o).*field = int(v.asInt());
  Application::instance().invalidateLayout();
}
const table::Constructor kTableConstructors[] = {
    {L"", [](const TypeInfo&,
             const Args&) { return Value::object(std::make_shared<TableLayoutPanel>()); }},
};
const table::Property kTableProperties[] = {
    {L"ColumnCount", L"int", [](Object* o) { return integer(panel(o).columnCount); },
     [](Object* o, const Value& v) { setCount(o, &TableLayoutPanel::columnCount, v); }},
    {L"RowCount", L"int", [](Object* o) { return integer(panel(o).rowCount); },
     [](Object* o, const Value& v) { setCount(o, &TableLayoutPanel::rowCount, v); }},
    {L"ColumnStyles", L"any", [](Object* o) { return Value::object(panel(o).columnStyles); }},
    {L"RowStyles", L"any", [](Object* o) { return Value::object(panel(o).rowStyles); }},
};
const table::Setting kTableSettings[] = {
    {L"CellBorderStyle", L"TableLayoutPanelCellBorderStyle", true},
};
const table::Method kTableMethods[] = {
    {L"SetColumn", L"Control,int",
     [](Object* o, const Args& a) {
       auto c = a[0].as<Control>();
       TableLayoutPanel& p = panel(o);
       p.setCellPosition(c.get(), int(a[1].asInt()), std::max(0, p.cellPosition(c.get()).second));
       return table::noValue();
     }},
    {L"SetRow", L"Control,int",
     [](Object* o, const Args& a) {
       auto c = a[0].as<Control>();
       TableLayoutPanel& p = panel(o);
       p.setCellPosition(c.get(), std::max(0, p.cellPosition(c.get()).first), int(a[1].asInt()));
       return table::noValue();
     }},
};

FlowLayoutPanel& flow(Object* o) {
  return as<FlowLayoutPanel>(o);
}
const table::Constructor kFlowConstructors[] = {
    {L"", [](const TypeInfo&,
             const Args&) { return Value::object(std::make_shared<FlowLayoutPanel>()); }},
};
const table::Property kFlowProperties[] = {
    {L"FlowDirection", L"FlowDirection",
     [](Object* o) { return table::formsEnum(L"FlowDirection", flow(o).flowDirection); },
     [](Object* o, const Value& v) {
       flow(o).flowDirection = int(v.asInt());
       Application::instance().invalidateLayout();
     }},
    {L"WrapContents", L"bool", [](Object* o) { return Value::boolean(flow(o).wrapContents); },
     [](Object* o, const Value& v) {
       flow(o).wrapContents = v.asBool();
       Application::instance().invalidateLayout();
     }},
};

// ---- NumericUpDown

NumericUpDown& updown(Object* o) {
  return as<NumericUpDown>(o);
}
const table::Constructor kUpDownConstructors[] = {
    {L"",
     [](const TypeInfo&, const Args&) { return Value::object(std::make_shared<NumericUpDown>()); }},
};
const table::Property kUpDownProperties[] = {
    {L"Value", L"decimal", [](Object* o) { return Value::decimal(updown(o).value()); },
     [](Object* o, const Value& v) { updown(o).setValue(v.asDouble()); }},
    {L"Minimum", L"decimal", [](Object* o) { return Value::decimal(updown(o).minimum()); },
     [](Object* o, const Value& v) { updown(o).setMinimum(v.asDouble()); }},
    {L"Maximum", L"decimal", [](Object* o) { return Value::decimal(updown(o).maximum()); },
     [](Object* o, const Value& v) { updown(o).setMaximum(v.asDouble()); }},
    {L"Increment", L"decimal", [](Object* o) { return Value::decimal(updown(o).increment); },
     [](Object* o, const Value& v) {
       if (v.asDouble() < 0) throwOutOfRange(L"Increment must not be negative");
       updown(o).increment = v.asDouble();
     }},
    {L"DecimalPlaces", L"int", [](Object* o) { return integer(updown(o).decimalPlaces()); },
     [](Object* o, const Value& v) { updown(o).setDecimalPlaces(int(v.asInt())); }},
};
const table::Method kUpDownMethods[] = {
    {L"UpButton", L"",
     [](Object* o, const Args&) {
       updown(o).upButton();
       return table::noValue();
     }},
    {L"DownButton", L"",
     [](Object* o, const Args&) {
       updown(o).downButton();
       return table::noValue();
     }},
};
const wchar_t* const kUpDownEvents[] = {L"ValueChanged"};

// ---- dialogs

OpenFileDialog& dialog(Object* o) {
  return as<OpenFileDialog>(o);
}
Value showDialog(Object* o, const Args&) {
  return table::formsEnum(L"DialogResult", dialog(o).showDialog());
}
const table::Constructor kFileDialogConstructors[] = {
    {L"", [](const TypeInfo&,
             const Args&) { return Value::object(std::make_shared<OpenFileDialog>()); }},
};
const table::Property kFileDialogProperties[] = {
    {L"Filter", L"string", [](Object* o) { return str(dialog(o).filter); },
     [](Object* o, const Value& v) { dialog(o).filter = v.asString(); }},
    {L"Title", L"string", [](Object* o) { return str(dialog(o).title); },
     [](Object* o, const Value& v) { dialog(o).title = v.asString(); }},
    {L"InitialDirectory", L"string", [](Object* o) { return str(dialog(o).initialDirectory); },
     [](Object* o, const Value& v) { dialog(o).initialDirectory = v.asString(); }},
    {L"FilterIndex", L"int", [](Object* o) { return integer(dialog(o).filterIndex); },
     [](Object* o, const Value& v) { dialog(o).filterIndex = int(v.asInt()); }},
    {L"Multiselect", L"bool", [](Object* o) { return Value::boolean(dialog(o).multiselect); },
     [](Object* o, const Value& v) { dialog(o).multiselect = v.asBool(); }},
    // Accepted and ignored: the stand-in's dialog has no folders to restore or check.
    {L"RestoreDirectory", L"bool", [](Object*) { return Value::boolean(true); },
     [](Object*, const Value&) {}},
    {L"CheckFileExists", L"bool", [](Object*) { return Value::boolean(true); },
     [](Object*, const Value&) {}},
    {L"CheckPathExists", L"bool", [](Object*) { return Value::boolean(true); },
     [](Object*, const Value&) {}},
    {L"FileName", L"string",
     [](Object* o) {
       const auto& names = dialog(o).fileNames;
       return str(names.empty() ? L"" : names.front());
     },
     [](Object* o, const Value& v) { dialog(o).fileNames = {v.asString()}; }},
    {L"FileNames", L"any",
     [](Object* o) {
       std::vector<Value> names;
       for (auto& n : dialog(o).fileNames) names.push_back(str(n));
       return Value::object(std::make_shared<Array>(kString, std::move(names)));
     }},
};
const table::Method kFileDialogMethods[] = {
    {L"ShowDialog", L"", showDialog},
    {L"ShowDialog", L"any", showDialog},
    {L"Dispose", L"", table::ignoreCall},
};

Value showMessage(const Args& a) {
  return table::formsEnum(L"DialogResult",
                showMessageBox(a[0].asString(), a.size() > 1 ? a[1].asString() : L""));
}
const table::StaticMethod kMessageBoxStatics[] = {
    {L"Show", L"string", showMessage},
    {L"Show", L"string,string", showMessage},
    {L"Show", L"string,string,MessageBoxButtons", showMessage},
    {L"Show", L"string,string,MessageBoxButtons,MessageBoxIcon", showMessage},
};

// ---- the classes, bases before the types derived from them

const table::Class kClasses[] = {
    {.name = L"MouseEventArgs", .base = L"System.EventArgs", .properties = kMouseEventProperties},
    {.name = L"FormClosingEventArgs",
     .base = L"System.ComponentModel.CancelEventArgs",
     .properties = kCloseReasonProperties},
    {.name = L"FormClosedEventArgs",
     .base = L"System.EventArgs",
     .properties = kCloseReasonProperties},
    {.name = L"Control",
     .constructors = kControlConstructors,
     .properties = kControlProperties,
     .settings = kControlSettings,
     .methods = kControlMethods,
     .staticProperties = kControlStatics,
     .events = kControlEvents},
    {.name = L"Control+ControlCollection",
     .properties = kCollectionProperties,
     .methods = kCollectionMethods,
     .indexers = kCollectionIndexers},
    {.name = L"TableLayoutControlCollection",
     .base = L"Control+ControlCollection",
     .methods = kTableCollectionMethods},
    {.name = L"ScrollableControl", .base = L"Control"},
    {.name = L"ContainerControl", .base = L"ScrollableControl"},
    {.name = L"Form",
     .base = L"ContainerControl",
     .constructors = kFormConstructors,
     .settings = kFormSettings,
     .methods = kFormMethods,
     .events = kFormEvents},
    {.name = L"MaxCustomControls.MaxForm",
     .base = L"Form",
     .constructors = kFormConstructors,
     .methods = kMaxFormMethods},
    {.name = L"ButtonBase", .base = L"Control", .settings = kButtonBaseSettings},
    {.name = L"Button",
     .base = L"ButtonBase",
     .constructors = kButtonConstructors,
     .methods = kButtonMethods},
    {.name = L"Panel", .base = L"ScrollableControl"},
    {.name = L"TableLayoutStyle", .properties = kStyleBaseProperties},
    {.name = L"ColumnStyle",
     .base = L"TableLayoutStyle",
     .constructors = kStyleConstructors,
     .properties = kColumnStyleProperties},
    {.name = L"RowStyle",
     .base = L"TableLayoutStyle",
     .constructors = kStyleConstructors,
     .properties = kRowStyleProperties},
    {.name = L"TableLayoutStyleCollection",
     .properties = kStylesProperties,
     .methods = kStylesMethods,
     .indexers = kStylesIndexers},
    {.name = L"TableLayoutColumnStyleCollection", .base = L"TableLayoutStyleCollection"},
    {.name = L"TableLayoutRowStyleCollection", .base = L"TableLayoutStyleCollection"},
    {.name = L"TableLayoutPanel",
     .base = L"Panel",
     .constructors = kTableConstructors,
     .properties = kTableProperties,
     .settings = kTableSettings,
     .methods = kTableMethods},
    {.name = L"FlowLayoutPanel",
     .base = L"Panel",
     .constructors = kFlowConstructors,
     .properties = kFlowProperties},
    {.name = L"UpDownBase", .base = L"ContainerControl"},
    {.name = L"NumericUpDown",
     .base = L"UpDownBase",
     .constructors = kUpDownConstructors,
     .properties = kUpDownProperties,
     .methods = kUpDownMethods,
     .events = kUpDownEvents},
    {.name = L"OpenFileDialog",
     .constructors = kFileDialogConstructors,
     .properties = kFileDialogProperties,
     .methods = kFileDialogMethods},
    {.name = L"MessageBox", .staticMethods = kMessageBoxStatics},
};

}  // namespace

void registerFormsTypes(TypeRegistry& reg) {
  table::registerEnums(reg, table::kFormsNamespace, kEnums);
  table::registerClasses(reg, table::kFormsNamespace, kClasses);
  registerListViewTypes(reg);
}

}  // namespace maxhost::dotnet

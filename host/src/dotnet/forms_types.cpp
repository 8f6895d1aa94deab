// Type tables of System.Windows.Forms: enums, event arguments, controls and dialogs.
#include "dotnet/controls.h"
#include "dotnet/listview.h"
#include "dotnet/reflect.h"
#include "dotnet/registration.h"

namespace maxhost::dotnet {

void registerListViewTypes(TypeRegistry& reg);

using namespace reflect;

namespace {

const std::wstring kForms = L"System.Windows.Forms.";

void registerEnums(TypeRegistry& reg) {
  enumType(reg, kForms + L"DockStyle",
           {{L"None", 0}, {L"Top", 1}, {L"Bottom", 2}, {L"Left", 3}, {L"Right", 4}, {L"Fill", 5}});
  enumType(reg, kForms + L"AnchorStyles",
           {{L"None", 0}, {L"Top", 1}, {L"Bottom", 2}, {L"Left", 4}, {L"Right", 8}}, true);
  enumType(reg, kForms + L"SizeType", {{L"AutoSize", 0}, {L"Absolute", 1}, {L"Percent", 2}});
  enumType(reg, kForms + L"FlowDirection",
           {{L"LeftToRight", 0}, {L"TopDown", 1}, {L"RightToLeft", 2}, {L"BottomUp", 3}});
  enumType(reg, kForms + L"View",
           {{L"LargeIcon", 0}, {L"Details", 1}, {L"SmallIcon", 2}, {L"List", 3}, {L"Tile", 4}});
  enumType(reg, kForms + L"DialogResult",
           {{L"None", 0},
            {L"OK", 1},
            {L"Cancel", 2},
            {L"Abort", 3},
            {L"Retry", 4},
            {L"Ignore", 5},
            {L"Yes", 6},
            {L"No", 7}});
  enumType(reg, kForms + L"MouseButtons",
           {{L"None", 0},
            {L"Left", MouseButtons::Left},
            {L"Right", MouseButtons::Right},
            {L"Middle", MouseButtons::Middle},
            {L"XButton1", 0x800000},
            {L"XButton2", 0x1000000}},
           true);
  enumType(reg, kForms + L"Keys",
           {{L"None", 0},
            {L"Back", 8},
            {L"Tab", 9},
            {L"Enter", 13},
            {L"ShiftKey", 16},
            {L"ControlKey", 17},
            {L"Menu", 18},
            {L"Escape", 27},
            {L"Space", 32},
            {L"Delete", 46},
            {L"Shift", Keys::Shift},
            {L"Control", Keys::Control},
            {L"Alt", Keys::Alt},
            {L"Modifiers", -65536}},
           true);
  enumType(reg, kForms + L"CheckState",
           {{L"Unchecked", 0}, {L"Checked", 1}, {L"Indeterminate", 2}});
  enumType(reg, kForms + L"BorderStyle", {{L"None", 0}, {L"FixedSingle", 1}, {L"Fixed3D", 2}});
  enumType(reg, kForms + L"FormBorderStyle",
           {{L"None", 0},
            {L"FixedSingle", 1},
            {L"Fixed3D", 2},
            {L"FixedDialog", 3},
            {L"Sizable", 4},
            {L"FixedToolWindow", 5},
            {L"SizableToolWindow", 6}});
  enumType(reg, kForms + L"FormStartPosition",
           {{L"Manual", 0},
            {L"CenterScreen", 1},
            {L"WindowsDefaultLocation", 2},
            {L"WindowsDefaultBounds", 3},
            {L"CenterParent", 4}});
  enumType(reg, kForms + L"CloseReason",
           {{L"None", 0},
            {L"WindowsShutDown", 1},
            {L"MdiFormClosing", 2},
            {L"UserClosing", 3},
            {L"TaskManagerClosing", 4},
            {L"FormOwnerClosing", 5},
            {L"ApplicationExitCall", 6}});
  enumType(reg, kForms + L"HorizontalAlignment", {{L"Left", 0}, {L"Right", 1}, {L"Center", 2}});
  enumType(reg, kForms + L"ColumnHeaderStyle",
           {{L"None", 0}, {L"Nonclickable", 1}, {L"Clickable", 2}});
  enumType(reg, kForms + L"ListViewHitTestLocations",
           {{L"None", 1},
            {L"Image", 2},
            {L"Label", 4},
            {L"BelowClientArea", 16},
            {L"RightOfClientArea", 32},
            {L"LeftOfClientArea", 64},
            {L"AboveClientArea", 256},
            {L"StateImage", 512}},
           true);
  enumType(reg, kForms + L"MessageBoxButtons",
           {{L"OK", 0},
            {L"OKCancel", 1},
            {L"AbortRetryIgnore", 2},
            {L"YesNoCancel", 3},
            {L"YesNo", 4},
            {L"RetryCancel", 5}});
  enumType(reg, kForms + L"MessageBoxIcon",
           {{L"None", 0},
            {L"Hand", 16},
            {L"Error", 16},
            {L"Stop", 16},
            {L"Question", 32},
            {L"Exclamation", 48},
            {L"Warning", 48},
            {L"Asterisk", 64},
            {L"Information", 64}});
  enumType(reg, kForms + L"FlatStyle",
           {{L"Flat", 0}, {L"Popup", 1}, {L"Standard", 2}, {L"System", 3}});
  enumType(reg, kForms + L"TableLayoutPanelCellBorderStyle",
           {{L"None", 0},
            {L"Single", 1},
            {L"Inset", 2},
            {L"InsetDouble", 3},
            {L"Outset", 4},
            {L"OutsetDouble", 5},
            {L"OutsetPartial", 6}});
}

Value enumOf(const std::wstring& shortName, int64_t v) {
  return Value::enumValue(typeNamed(kForms + shortName), v);
}
TypeRef enumRef(TypeRegistry& reg, const std::wstring& shortName) {
  return TypeRef::classOf(reg.get(kForms + shortName));
}

void registerEventArgs(TypeRegistry& reg) {
  TypeInfo& mouse = reg.add(kForms + L"MouseEventArgs", L"System.EventArgs");
  TypeRef buttons = enumRef(reg, L"MouseButtons");
  prop<MouseEventArgs>(mouse, L"Button", buttons,
                       [](MouseEventArgs& e) { return enumOf(L"MouseButtons", e.button); });
  prop<MouseEventArgs>(mouse, L"X", kInt, [](MouseEventArgs& e) { return integer(e.x); });
  prop<MouseEventArgs>(mouse, L"Y", kInt, [](MouseEventArgs& e) { return integer(e.y); });
  prop<MouseEventArgs>(mouse, L"Clicks", kInt, [](MouseEventArgs& e) { return integer(e.clicks); });
  prop<MouseEventArgs>(mouse, L"Delta", kInt, [](MouseEventArgs& e) { return integer(e.delta); });
  prop<MouseEventArgs>(mouse, L"Location", TypeRef::classOf(reg.get(L"System.Drawing.Point")),
                       [](MouseEventArgs& e) {
                         return box(Point{e.x, e.y});
                       });

  TypeInfo& closing =
      reg.add(kForms + L"FormClosingEventArgs", L"System.ComponentModel.CancelEventArgs");
  closing.property(L"CloseReason", enumRef(reg, L"CloseReason"),
                   [](Object*) { return enumOf(L"CloseReason", 3); });
  TypeInfo& closed = reg.add(kForms + L"FormClosedEventArgs", L"System.EventArgs");
  closed.property(L"CloseReason", enumRef(reg, L"CloseReason"),
                  [](Object*) { return enumOf(L"CloseReason", 3); });
}

void registerControl(TypeRegistry& reg) {
  TypeInfo& t = reg.add(kForms + L"Control");
  TypeRef rectRef = TypeRef::classOf(reg.get(L"System.Drawing.Rectangle"));
  TypeRef pointRef = TypeRef::classOf(reg.get(L"System.Drawing.Point"));
  TypeRef sizeRef = TypeRef::classOf(reg.get(L"System.Drawing.Size"));
  TypeRef colorRef = TypeRef::classOf(reg.get(L"System.Drawing.Color"));
  TypeRef controlRef = TypeRef::classOf(t);

  t.constructor({},
                [](Object*, const Args&) { return Value::object(std::make_shared<Control>()); });
  prop<Control>(
      t, L"Name", kString, [](Control& c) { return str(c.name()); },
      [](Control& c, const Value& v) { c.setName(v.asString()); });
  prop<Control>(
      t, L"Text", kString, [](Control& c) { return str(c.text()); },
      [](Control& c, const Value& v) { c.setText(v.asString()); });
  auto edge = [&t](const wchar_t* name, int Rectangle::*field) {
    prop<Control>(
        t, name, kInt, [field](Control& c) { return integer(c.bounds().*field); },
        [field](Control& c, const Value& v) {
          Rectangle r = c.bounds();
          r.*field = int(v.asInt());
          c.setBounds(r);
        });
  };
  edge(L"Left", &Rectangle::x);
  edge(L"Top", &Rectangle::y);
  edge(L"Width", &Rectangle::width);
  edge(L"Height", &Rectangle::height);
  prop<Control>(t, L"Right", kInt, [](Control& c) { return integer(c.bounds().right()); });
  prop<Control>(t, L"Bottom", kInt, [](Control& c) { return integer(c.bounds().bottom()); });
  prop<Control>(
      t, L"Bounds", rectRef, [](Control& c) { return box(c.bounds()); },
      [](Control& c, const Value& v) { c.setBounds(toRectangle(v)); });
  prop<Control>(
      t, L"Location", pointRef,
      [](Control& c) {
        Rectangle r = c.bounds();
        return box(Point{r.x, r.y});
      },
      [](Control& c, const Value& v) {
        Point p = toPoint(v);
        c.setLocation(p.x, p.y);
      });
  prop<Control>(
      t, L"Size", sizeRef,
      [](Control& c) {
        Rectangle r = c.bounds();
        return box(Size{r.width, r.height});
      },
      [](Control& c, const Value& v) {
        Size s = toSize(v);
        c.setSize(s.width, s.height);
      });
  prop<Control>(t, L"ClientSize", sizeRef, [](Control& c) {
    c.bounds();
    return box(c.clientSize());
  });
  prop<Control>(
      t, L"Visible", kBool, [](Control& c) { return Value::boolean(c.visible()); },
      [](Control& c, const Value& v) { c.setVisible(v.asBool()); });
  prop<Control>(
      t, L"Enabled", kBool, [](Control& c) { return Value::boolean(c.enabled()); },
      [](Control& c, const Value& v) { c.setEnabled(v.asBool()); });
  prop<Control>(
      t, L"Dock", enumRef(reg, L"DockStyle"),
      [](Control& c) { return enumOf(L"DockStyle", int(c.dock())); },
      [](Control& c, const Value& v) { c.setDock(DockStyle(v.asInt())); });
  prop<Control>(
      t, L"BackColor", colorRef, [](Control& c) { return box(c.backColor()); },
      [](Control& c, const Value& v) { c.setBackColor(toColor(v)); });
  prop<Control>(
      t, L"ForeColor", colorRef, [](Control& c) { return box(c.foreColor()); },
      [](Control& c, const Value& v) { c.setForeColor(toColor(v)); });
  prop<Control>(
      t, L"Tag", kAny, [](Control& c) { return c.tag(); },
      [](Control& c, const Value& v) { c.setTag(v); });
  prop<Control>(
      t, L"Parent", controlRef,
      [](Control& c) { return c.parent() ? Value::object(c.parent()->self()) : Value(); },
      [](Control& c, const Value& v) {
        auto keep = std::static_pointer_cast<Control>(c.self());
        if (Control* p = c.parent()) p->controls().remove(keep);
        if (auto np = v.as<Control>()) np->controls().add(keep);
      });
  prop<Control>(t, L"TopLevelControl", controlRef,
                [](Control& c) { return Value::object(c.topLevelControl()->self()); });
  prop<Control>(t, L"Controls", TypeRef::any(),
                [](Control& c) { return Value::object(c.controlsPtr()); });
  prop<Control>(t, L"HasChildren", kBool,
                [](Control& c) { return Value::boolean(!c.children().empty()); });
  prop<Control>(t, L"Focused", kBool, [](Control& c) { return Value::boolean(c.focused()); });
  prop<Control>(t, L"CanFocus", kBool, [](Control& c) { return Value::boolean(c.canFocus()); });
  prop<Control>(t, L"IsDisposed", kBool, [](Control& c) { return Value::boolean(c.isDisposed()); });
  prop<Control>(t, L"IsHandleCreated", kBool,
                [](Control& c) { return Value::boolean(c.isHandleCreated()); });
  prop<Control>(t, L"Margin", TypeRef::any(), [](Control& c) {
    Padding m = c.margin();
    return box(Rectangle{m.left, m.top, m.right, m.bottom});
  });
  // Settings the stand-in keeps without acting on them.
  for (auto [name, type] : std::initializer_list<std::pair<const wchar_t*, TypeRef>>{
           {L"TabIndex", kInt},
           {L"TabStop", kBool},
           {L"AutoSize", kBool},
           {L"Anchor", enumRef(reg, L"AnchorStyles")},
           {L"Font", kAny},
           {L"Cursor", kAny},
           {L"AllowDrop", kBool},
           {L"CausesValidation", kBool}}) {
    std::wstring key = name;
    prop<Control>(
        t, key, type,
        [key](Control& c) {
          auto it = c.settings.find(key);
          return it == c.settings.end() ? Value() : it->second;
        },
        [key](Control& c, const Value& v) { c.settings[key] = v; });
  }

  auto none = [](std::function<void(Control&)> f) {
    return [f](Control& c, const Args&) {
      f(c);
      return Value();
    };
  };
  method<Control>(t, L"Show", {}, none([](Control& c) { c.setVisible(true); }));
  method<Control>(t, L"Hide", {}, none([](Control& c) { c.setVisible(false); }));
  method<Control>(t, L"Focus", {},
                  [](Control& c, const Args&) { return Value::boolean(c.focus()); });
  method<Control>(t, L"Select", {}, none([](Control& c) { c.focus(); }));
  method<Control>(t, L"FindForm", {}, [](Control& c, const Args&) {
    Form* f = c.findForm();
    return f ? Value::object(f->self()) : Value();
  });
  method<Control>(t, L"Dispose", {}, none([](Control& c) { c.dispose(); }));
  method<Control>(t, L"SetBounds", {kInt, kInt, kInt, kInt}, [](Control& c, const Args& a) {
    c.setBounds({int(a[0].asInt()), int(a[1].asInt()), int(a[2].asInt()), int(a[3].asInt())});
    return Value();
  });
  method<Control>(t, L"BringToFront", {}, none([](Control& c) {
                    if (Control* p = c.parent()) {
                      auto keep = std::static_pointer_cast<Control>(c.self());
                      auto& kids = const_cast<std::vector<ControlPtr>&>(p->children());
                      kids.erase(std::find(kids.begin(), kids.end(), keep));
                      kids.insert(kids.begin(), keep);
                      Application::instance().invalidateLayout();
                    }
                  }));
  for (const wchar_t* name : {L"Refresh", L"Invalidate", L"Update", L"SuspendLayout",
                              L"ResumeLayout", L"PerformLayout", L"CreateControl"})
    method<Control>(t, name, {}, [](Control&, const Args&) { return Value(); });
  method<Control>(t, L"ResumeLayout", {kBool}, [](Control&, const Args&) { return Value(); });

  t.staticProperty(L"ModifierKeys", enumRef(reg, L"Keys"),
                   [] { return enumOf(L"Keys", Application::instance().modifierKeys); });
  t.staticProperty(L"MouseButtons", enumRef(reg, L"MouseButtons"),
                   [] { return enumOf(L"MouseButtons", Application::instance().mouseButtons); });

  for (const wchar_t* e : {L"Click",       L"DoubleClick",    L"MouseClick", L"MouseDoubleClick",
                           L"MouseDown",   L"MouseUp",        L"MouseMove",  L"MouseEnter",
                           L"MouseLeave",  L"MouseWheel",     L"Enter",      L"Leave",
                           L"GotFocus",    L"LostFocus",      L"Validating", L"Validated",
                           L"TextChanged", L"VisibleChanged", L"Resize",     L"SizeChanged",
                           L"KeyDown",     L"KeyUp",          L"KeyPress",   L"Paint",
                           L"Disposed"})
    t.event(e);

  // Control.ControlCollection and the table panel's collection.
  TypeInfo& cc = reg.add(kForms + L"Control+ControlCollection");
  auto coll = [](ControlCollection& c) -> ControlCollection& { return c; };
  (void)coll;
  method<ControlCollection>(cc, L"Add", {controlRef}, [](ControlCollection& c, const Args& a) {
    c.add(a[0].as<Control>());
    return Value();
  });
  method<ControlCollection>(cc, L"AddRange", {TypeRef::arrayOf(K::Class, &t)},
                            [](ControlCollection& c, const Args& a) {
                              if (auto arr = a[0].as<Array>())
                                for (const Value& v : arr->items()) c.add(v.as<Control>());
                              return Value();
                            });
  method<ControlCollection>(cc, L"Remove", {controlRef}, [](ControlCollection& c, const Args& a) {
    c.remove(a[0].as<Control>());
    return Value();
  });
  method<ControlCollection>(cc, L"RemoveAt", {kInt}, [](ControlCollection& c, const Args& a) {
    c.remove(c.at(int(a[0].asInt())));
    return Value();
  });
  method<ControlCollection>(cc, L"Clear", {}, [](ControlCollection& c, const Args&) {
    c.clear();
    return Value();
  });
  method<ControlCollection>(cc, L"Contains", {controlRef}, [](ControlCollection& c, const Args& a) {
    return Value::boolean(c.indexOf(a[0].as<Control>().get()) >= 0);
  });
  method<ControlCollection>(cc, L"IndexOf", {controlRef}, [](ControlCollection& c, const Args& a) {
    return integer(c.indexOf(a[0].as<Control>().get()));
  });
  prop<ControlCollection>(cc, L"Count", kInt,
                          [](ControlCollection& c) { return integer(c.count()); });
  cc.indexer({kInt}, [](Object* o, const Args& a) {
    return Value::object(as<ControlCollection>(o).at(int(a[0].asInt())));
  });
  cc.indexer({kString}, [](Object* o, const Args& a) {
    return Value::object(as<ControlCollection>(o).byName(a[0].asString()));
  });

  TypeInfo& tcc = reg.add(kForms + L"TableLayoutControlCollection", cc.fullName());
  method<ControlCollection>(
      tcc, L"Add", {controlRef, kInt, kInt}, [](ControlCollection& c, const Args& a) {
        auto child = a[0].as<Control>();
        c.add(child);
        if (auto* panel = dynamic_cast<TableLayoutPanel*>(c.owner().get()))
          panel->setCellPosition(child.get(), int(a[1].asInt()), int(a[2].asInt()));
        return Value();
      });
  // Re-declare the one-argument Add so both overloads live on the derived type.
  method<ControlCollection>(tcc, L"Add", {controlRef}, [](ControlCollection& c, const Args& a) {
    c.add(a[0].as<Control>());
    return Value();
  });
}

void registerForms(TypeRegistry& reg) {
  reg.add(kForms + L"ScrollableControl", kForms + L"Control");
  reg.add(kForms + L"ContainerControl", kForms + L"ScrollableControl");
  TypeInfo& form = reg.add(kForms + L"Form", kForms + L"ContainerControl");
  form.constructor({},
                   [](Object*, const Args&) { return Value::object(std::make_shared<Form>()); });
  auto show = [](Form& f, const Args&) {
    f.show();
    return Value();
  };
  method<Form>(form, L"Show", {}, show);
  method<Form>(form, L"Show", {kAny}, show);  // the owner window only parents it
  method<Form>(form, L"Close", {}, [](Form& f, const Args&) {
    f.close();
    return Value();
  });
  method<Form>(form, L"Activate", {}, [](Form&, const Args&) { return Value(); });
  for (auto [name, type] : std::initializer_list<std::pair<const wchar_t*, TypeRef>>{
           {L"TopMost", kBool},
           {L"ShowInTaskbar", kBool},
           {L"MaximizeBox", kBool},
           {L"MinimizeBox", kBool},
           {L"ShowIcon", kBool},
           {L"KeyPreview", kBool},
           {L"Opacity", TypeRef::of(K::Double)},
           {L"FormBorderStyle", enumRef(reg, L"FormBorderStyle")},
           {L"StartPosition", enumRef(reg, L"FormStartPosition")}}) {
    std::wstring key = name;
    prop<Form>(
        form, key, type,
        [key](Form& f) {
          auto it = f.settings.find(key);
          return it == f.settings.end() ? Value() : it->second;
        },
        [key](Form& f, const Value& v) { f.settings[key] = v; });
  }
  for (const wchar_t* e : {L"Closing", L"FormClosing", L"FormClosed", L"Closed", L"Load", L"Shown",
                           L"Activated", L"Deactivate"})
    form.event(e);

  TypeInfo& maxForm = reg.add(L"MaxCustomControls.MaxForm", form.fullName());
  maxForm.constructor({}, [&maxForm](Object*, const Args&) {
    return Value::object(std::make_shared<Form>(maxForm));
  });
  // Shown modeless as a child of the host window.
  method<Form>(maxForm, L"ShowModeless", {}, show);
}

void registerButtonsAndPanels(TypeRegistry& reg) {
  TypeInfo& buttonBase = reg.add(kForms + L"ButtonBase", kForms + L"Control");
  for (auto [name, type] : std::initializer_list<std::pair<const wchar_t*, TypeRef>>{
           {L"FlatStyle", enumRef(reg, L"FlatStyle")},
           {L"Image", kAny},
           {L"TextAlign", kAny},
           {L"UseVisualStyleBackColor", kBool}}) {
    std::wstring key = name;
    prop<Control>(
        buttonBase, key, type,
        [key](Control& c) {
          auto it = c.settings.find(key);
          return it == c.settings.end() ? Value() : it->second;
        },
        [key](Control& c, const Value& v) { c.settings[key] = v; });
  }
  TypeInfo& button = reg.add(kForms + L"Button", buttonBase.fullName());
  button.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<Button>()); });
  method<Button>(button, L"PerformClick", {}, [](Button& b, const Args&) {
    b.performClick();
    return Value();
  });

  reg.add(kForms + L"Panel", kForms + L"ScrollableControl");
  TypeRef sizeType = enumRef(reg, L"SizeType");
  auto style = [&](const wchar_t* name, const wchar_t* sizeName) {
    TypeInfo& s = reg.add(kForms + name, kForms + L"TableLayoutStyle");
    const TypeInfo* st = &s;
    s.constructor({}, [st](Object*, const Args&) {
      return Value::object(std::make_shared<TableLayoutStyle>(*st, 0, 0.f));
    });
    s.constructor({sizeType}, [st](Object*, const Args& a) {
      return Value::object(std::make_shared<TableLayoutStyle>(*st, int(a[0].asInt()), 0.f));
    });
    s.constructor({sizeType, kSingle}, [st](Object*, const Args& a) {
      return Value::object(
          std::make_shared<TableLayoutStyle>(*st, int(a[0].asInt()), float(a[1].asDouble())));
    });
    prop<TableLayoutStyle>(
        s, sizeName, kSingle, [](TableLayoutStyle& x) { return Value::single(x.size); },
        [](TableLayoutStyle& x, const Value& v) {
          x.size = float(v.asDouble());
          Application::instance().invalidateLayout();
        });
  };
  TypeInfo& styleBase = reg.add(kForms + L"TableLayoutStyle");
  prop<TableLayoutStyle>(
      styleBase, L"SizeType", sizeType,
      [](TableLayoutStyle& x) { return enumOf(L"SizeType", x.sizeType); },
      [](TableLayoutStyle& x, const Value& v) {
        x.sizeType = int(v.asInt());
        Application::instance().invalidateLayout();
      });
  style(L"ColumnStyle", L"Width");
  style(L"RowStyle", L"Height");

  TypeInfo& styles = reg.add(kForms + L"TableLayoutStyleCollection");
  method<TableLayoutStyleCollection>(styles, L"Add", {TypeRef::classOf(styleBase)},
                                     [](TableLayoutStyleCollection& c, const Args& a) {
                                       c.styles.push_back(a[0].as<TableLayoutStyle>());
                                       Application::instance().invalidateLayout();
                                       return integer(c.styles.size() - 1);
                                     });
  method<TableLayoutStyleCollection>(styles, L"Clear", {},
                                     [](TableLayoutStyleCollection& c, const Args&) {
                                       c.styles.clear();
                                       Application::instance().invalidateLayout();
                                       return Value();
                                     });
  prop<TableLayoutStyleCollection>(styles, L"Count", kInt, [](TableLayoutStyleCollection& c) {
    return integer(c.styles.size());
  });
  styles.indexer({kInt}, [](Object* o, const Args& a) {
    auto& c = as<TableLayoutStyleCollection>(o);
    int64_t i = a[0].asInt();
    if (i < 0 || i >= int64_t(c.styles.size())) throwOutOfRange(L"Index is out of range.");
    return Value::object(c.styles[size_t(i)]);
  });
  reg.add(kForms + L"TableLayoutColumnStyleCollection", styles.fullName());
  reg.add(kForms + L"TableLayoutRowStyleCollection", styles.fullName());

  TypeInfo& table = reg.add(kForms + L"TableLayoutPanel", kForms + L"Panel");
  table.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<TableLayoutPanel>()); });
  auto count = [&table](const wchar_t* name, int TableLayoutPanel::*field) {
    prop<TableLayoutPanel>(
        table, name, kInt, [field](TableLayoutPanel& p) { return integer(p.*field); },
        [field](TableLayoutPanel& p, const Value& v) {
          if (v.asInt() < 0) throwOutOfRange(L"Count must not be negative");
          p.*field = int(v.asInt());
          Application::instance().invalidateLayout();
        });
  };
  count(L"ColumnCount", &TableLayoutPanel::columnCount);
  count(L"RowCount", &TableLayoutPanel::rowCount);
  prop<TableLayoutPanel>(table, L"ColumnStyles", kAny,
                         [](TableLayoutPanel& p) { return Value::object(p.columnStyles); });
  prop<TableLayoutPanel>(table, L"RowStyles", kAny,
                         [](TableLayoutPanel& p) { return Value::object(p.rowStyles); });
  TypeRef controlRef = TypeRef::classOf(reg.get(kForms + L"Control"));
  method<TableLayoutPanel>(
      table, L"SetColumn", {controlRef, kInt}, [](TableLayoutPanel& p, const Args& a) {
        auto c = a[0].as<Control>();
        p.setCellPosition(c.get(), int(a[1].asInt()), std::max(0, p.cellPosition(c.get()).second));
        return Value();
      });
  method<TableLayoutPanel>(
      table, L"SetRow", {controlRef, kInt}, [](TableLayoutPanel& p, const Args& a) {
        auto c = a[0].as<Control>();
        p.setCellPosition(c.get(), std::max(0, p.cellPosition(c.get()).first), int(a[1].asInt()));
        return Value();
      });
  table.property(
      L"CellBorderStyle", enumRef(reg, L"TableLayoutPanelCellBorderStyle"),
      [](Object* o) {
        auto& c = as<Control>(o);
        auto it = c.settings.find(L"CellBorderStyle");
        return it == c.settings.end() ? enumOf(L"TableLayoutPanelCellBorderStyle", 0) : it->second;
      },
      [](Object* o, const Value& v) { as<Control>(o).settings[L"CellBorderStyle"] = v; });

  TypeInfo& flow = reg.add(kForms + L"FlowLayoutPanel", kForms + L"Panel");
  flow.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<FlowLayoutPanel>()); });
  prop<FlowLayoutPanel>(
      flow, L"FlowDirection", enumRef(reg, L"FlowDirection"),
      [](FlowLayoutPanel& p) { return enumOf(L"FlowDirection", p.flowDirection); },
      [](FlowLayoutPanel& p, const Value& v) {
        p.flowDirection = int(v.asInt());
        Application::instance().invalidateLayout();
      });
  prop<FlowLayoutPanel>(
      flow, L"WrapContents", kBool,
      [](FlowLayoutPanel& p) { return Value::boolean(p.wrapContents); },
      [](FlowLayoutPanel& p, const Value& v) {
        p.wrapContents = v.asBool();
        Application::instance().invalidateLayout();
      });
}

void registerNumericUpDown(TypeRegistry& reg) {
  reg.add(kForms + L"UpDownBase", kForms + L"ContainerControl");
  TypeInfo& t = reg.add(kForms + L"NumericUpDown", kForms + L"UpDownBase");
  t.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<NumericUpDown>()); });
  prop<NumericUpDown>(
      t, L"Value", kDecimal, [](NumericUpDown& n) { return Value::decimal(n.value()); },
      [](NumericUpDown& n, const Value& v) { n.setValue(v.asDouble()); });
  prop<NumericUpDown>(
      t, L"Minimum", kDecimal, [](NumericUpDown& n) { return Value::decimal(n.minimum()); },
      [](NumericUpDown& n, const Value& v) { n.setMinimum(v.asDouble()); });
  prop<NumericUpDown>(
      t, L"Maximum", kDecimal, [](NumericUpDown& n) { return Value::decimal(n.maximum()); },
      [](NumericUpDown& n, const Value& v) { n.setMaximum(v.asDouble()); });
  prop<NumericUpDown>(
      t, L"Increment", kDecimal, [](NumericUpDown& n) { return Value::decimal(n.increment); },
      [](NumericUpDown& n, const Value& v) {
        if (v.asDouble() < 0) throwOutOfRange(L"Increment must not be negative");
        n.increment = v.asDouble();
      });
  prop<NumericUpDown>(
      t, L"DecimalPlaces", kInt, [](NumericUpDown& n) { return integer(n.decimalPlaces()); },
      [](NumericUpDown& n, const Value& v) { n.setDecimalPlaces(int(v.asInt())); });
  method<NumericUpDown>(t, L"UpButton", {}, [](NumericUpDown& n, const Args&) {
    n.upButton();
    return Value();
  });
  method<NumericUpDown>(t, L"DownButton", {}, [](NumericUpDown& n, const Args&) {
    n.downButton();
    return Value();
  });
  t.event(L"ValueChanged");
}

void registerDialogs(TypeRegistry& reg) {
  TypeRef dialogResult = enumRef(reg, L"DialogResult");
  TypeInfo& ofd = reg.add(kForms + L"OpenFileDialog");
  ofd.constructor(
      {}, [](Object*, const Args&) { return Value::object(std::make_shared<OpenFileDialog>()); });
  auto text = [&ofd](const wchar_t* name, std::wstring OpenFileDialog::*field) {
    prop<OpenFileDialog>(
        ofd, name, kString, [field](OpenFileDialog& d) { return str(d.*field); },
        [field](OpenFileDialog& d, const Value& v) { d.*field = v.asString(); });
  };
  text(L"Filter", &OpenFileDialog::filter);
  text(L"Title", &OpenFileDialog::title);
  text(L"InitialDirectory", &OpenFileDialog::initialDirectory);
  prop<OpenFileDialog>(
      ofd, L"FilterIndex", kInt, [](OpenFileDialog& d) { return integer(d.filterIndex); },
      [](OpenFileDialog& d, const Value& v) { d.filterIndex = int(v.asInt()); });
  prop<OpenFileDialog>(
      ofd, L"Multiselect", kBool, [](OpenFileDialog& d) { return Value::boolean(d.multiselect); },
      [](OpenFileDialog& d, const Value& v) { d.multiselect = v.asBool(); });
  for (const wchar_t* ignored : {L"RestoreDirectory", L"CheckFileExists", L"CheckPathExists"})
    ofd.property(
        ignored, kBool, [](Object*) { return Value::boolean(true); }, [](Object*, const Value&) {});
  prop<OpenFileDialog>(
      ofd, L"FileName", kString,
      [](OpenFileDialog& d) { return str(d.fileNames.empty() ? L"" : d.fileNames.front()); },
      [](OpenFileDialog& d, const Value& v) { d.fileNames = {v.asString()}; });
  prop<OpenFileDialog>(ofd, L"FileNames", kAny, [](OpenFileDialog& d) {
    std::vector<Value> names;
    for (auto& n : d.fileNames) names.push_back(str(n));
    return Value::object(std::make_shared<Array>(kString, std::move(names)));
  });
  auto showDialog = [](OpenFileDialog& d, const Args&) {
    return enumOf(L"DialogResult", d.showDialog());
  };
  method<OpenFileDialog>(ofd, L"ShowDialog", {}, showDialog);
  method<OpenFileDialog>(ofd, L"ShowDialog", {kAny}, showDialog);
  method<OpenFileDialog>(ofd, L"Dispose", {}, [](OpenFileDialog&, const Args&) { return Value(); });
  (void)dialogResult;

  TypeInfo& box = reg.add(kForms + L"MessageBox");
  auto show = [](Object*, const Args& a) {
    return enumOf(L"DialogResult",
                  showMessageBox(a[0].asString(), a.size() > 1 ? a[1].asString() : L""));
  };
  box.staticMethod(L"Show", {kString}, show);
  box.staticMethod(L"Show", {kString, kString}, show);
  box.staticMethod(L"Show", {kString, kString, enumRef(reg, L"MessageBoxButtons")}, show);
  box.staticMethod(
      L"Show",
      {kString, kString, enumRef(reg, L"MessageBoxButtons"), enumRef(reg, L"MessageBoxIcon")},
      show);
}

}  // namespace

void registerFormsTypes(TypeRegistry& reg) {
  registerEnums(reg);
  registerEventArgs(reg);
  registerControl(reg);
  registerForms(reg);
  registerButtonsAndPanels(reg);
  registerNumericUpDown(reg);
  registerDialogs(reg);
  registerListViewTypes(reg);
}

}  // namespace maxhost::dotnet

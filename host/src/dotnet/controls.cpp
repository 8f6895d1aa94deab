#include "dotnet/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>

#include "base/text.h"

namespace maxhost::dotnet {

MouseEventArgs::MouseEventArgs(int button, int clicks, int x, int y, int delta)
    : EventArgs(typeNamed(L"System.Windows.Forms.MouseEventArgs")),
      button(button),
      clicks(clicks),
      x(x),
      y(y),
      delta(delta) {}

// ---- Application

Application& Application::instance() {
  static Application app;
  return app;
}

std::vector<FormPtr> Application::openForms() const {
  return forms_;
}

void Application::formOpened(const FormPtr& form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void Application::formClosed(const Form* form) {
  forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                              [form](const FormPtr& f) { return f.get() == form; }),
               forms_.end());
}

Control* Application::focused() const {
  auto c = focused_.lock();
  return c && !c->isDisposed() ? c.get() : nullptr;
}

void Application::setFocus(Control* next) {
  // A focus change asked for inside Leave or Enter handlers (a handler hiding the control
  // that is losing the focus) is part of the change already under way.
  if (changingFocus_) return;
  std::shared_ptr<Control> old = focused_.lock();
  if (old.get() == next) return;
  std::shared_ptr<Control> keepNext =
      next ? std::static_pointer_cast<Control>(next->self()) : nullptr;
  changingFocus_ = true;
  focused_ = keepNext;
  try {
    if (old && !old->isDisposed()) {
      old->validateOnLeave();
      old->raise(L"Leave", std::make_shared<EventArgs>());
      old->raise(L"LostFocus", std::make_shared<EventArgs>());
    }
    if (keepNext) {
      keepNext->raise(L"Enter", std::make_shared<EventArgs>());
      keepNext->raise(L"GotFocus", std::make_shared<EventArgs>());
    }
  } catch (...) {
    changingFocus_ = false;
    throw;
  }
  changingFocus_ = false;
}

static void layoutTree(Control& c) {
  c.layoutChildren();
  for (const ControlPtr& child : c.children()) layoutTree(*child);
}

void Application::ensureLayout(Control& anyControl) {
  if (!layoutStale_ || inLayout_) return;
  inLayout_ = true;
  layoutStale_ = false;
  layoutTree(*anyControl.topLevelControl());
  for (const FormPtr& f : forms_) layoutTree(*f);
  inLayout_ = false;
}

void Application::reset() {
  std::vector<FormPtr> forms = forms_;
  for (const FormPtr& f : forms) f->dispose();
  forms_.clear();
  focused_.reset();
  changingFocus_ = false;
  modifierKeys = Keys::None;
  mouseButtons = MouseButtons::None;
  messageBoxes.clear();
  openFileAnswers.clear();
  fileDialogsShown.clear();
  layoutStale_ = true;
}

// ---- ControlCollection

ControlCollection::ControlCollection(const TypeInfo& type, std::weak_ptr<Control> owner)
    : Object(type), owner_(std::move(owner)) {}

std::shared_ptr<Control> ControlCollection::owner() const {
  auto o = owner_.lock();
  if (!o)
    throw DotNetError(L"System.ObjectDisposedException", L"The owner control no longer exists");
  return o;
}

void ControlCollection::add(const ControlPtr& c) {
  if (!c) return;
  auto o = owner();
  if (c.get() == o.get()) throwArgument(L"A circular control reference has been made.");
  if (dynamic_cast<Form*>(c.get()))
    throwArgument(L"Top-level control cannot be added to a control.");
  if (c->parent() == o.get()) return;
  if (Control* p = c->parent()) p->controls().remove(c);
  o->children_.push_back(c);
  c->setParent(o.get());
  Application::instance().invalidateLayout();
}

void ControlCollection::remove(const ControlPtr& c) {
  auto o = owner();
  auto& kids = o->children_;
  auto it = std::find(kids.begin(), kids.end(), c);
  if (it == kids.end()) return;
  if (Application::instance().focused() == c.get()) Application::instance().setFocus(nullptr);
  c->setParent(nullptr);
  kids.erase(it);
  o->childRemoved(c.get());
  Application::instance().invalidateLayout();
}

void ControlCollection::clear() {
  auto kids = owner()->children_;
  for (auto& c : kids) remove(c);
}

int ControlCollection::count() const {
  return static_cast<int>(owner()->children_.size());
}

ControlPtr ControlCollection::at(int index) const {
  auto o = owner();
  if (index < 0 || index >= int(o->children_.size()))
    throwOutOfRange(L"Index " + std::to_wstring(index) + L" is out of range.");
  return o->children_[index];
}

ControlPtr ControlCollection::byName(const std::wstring& name) const {
  for (auto& c : owner()->children_)
    if (EqualsNoCase(c->name(), name)) return c;
  return nullptr;
}

int ControlCollection::indexOf(const Control* c) const {
  auto& kids = owner()->children_;
  for (size_t i = 0; i < kids.size(); ++i)
    if (kids[i].get() == c) return int(i);
  return -1;
}

void ControlCollection::forEachHeld(const std::function<void(const Value&)>& visit) const {
  if (auto o = owner_.lock())
    for (auto& c : o->children_) visit(Value::object(c));
}

// ---- Control

Control::Control() : Control(typeNamed(L"System.Windows.Forms.Control")) {}
Control::Control(const TypeInfo& type) : Object(type) {}

Control::~Control() {
  for (auto& c : children_) c->parent_ = nullptr;
}

const TypeInfo& Control::controlCollectionType() const {
  return typeNamed(L"System.Windows.Forms.Control+ControlCollection");
}

std::shared_ptr<ControlCollection> Control::controlsPtr() {
  if (!controls_)
    controls_ = std::make_shared<ControlCollection>(
        controlCollectionType(), std::static_pointer_cast<Control>(shared_from_this()));
  return controls_;
}

ControlCollection& Control::controls() {
  return *controlsPtr();
}

void Control::setText(const std::wstring& t) {
  if (t == text_) return;
  text_ = t;
  raise(L"TextChanged", std::make_shared<EventArgs>());
}

Rectangle Control::rawBounds() const {
  if (boundsSet_) return bounds_;
  Size d = defaultSize();
  return {0, 0, d.width, d.height};
}

Rectangle Control::bounds() {
  Application::instance().ensureLayout(*this);
  return rawBounds();
}

void Control::setBounds(const Rectangle& r) {
  Rectangle old = rawBounds();
  bounds_ = {r.x, r.y, std::max(0, r.width), std::max(0, r.height)};
  boundsSet_ = true;
  Application::instance().invalidateLayout();
  if (old.width != bounds_.width || old.height != bounds_.height) {
    raise(L"Resize", std::make_shared<EventArgs>());
    raise(L"SizeChanged", std::make_shared<EventArgs>());
  }
}

void Control::setLocation(int x, int y) {
  Rectangle r = rawBounds();
  setBounds({x, y, r.width, r.height});
}

void Control::setSize(int w, int h) {
  Rectangle r = rawBounds();
  setBounds({r.x, r.y, w, h});
}

Size Control::clientSize() {
  Rectangle r = rawBounds();
  return {r.width, r.height};
}

bool Control::visible() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (!c->parent_) {
      if (auto* f = dynamic_cast<const Form*>(c)) return f->shown() && !f->isDisposed();
    }
  }
  return true;
}

void Control::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Application& app = Application::instance();
  if (!v) {
    for (Control* f = app.focused(); f; f = f->parent_)
      if (f == this) {
        app.setFocus(nullptr);
        break;
      }
  }
  app.invalidateLayout();
  raise(L"VisibleChanged", std::make_shared<EventArgs>());
}

void Control::setDock(DockStyle d) {
  dock_ = d;
  Application::instance().invalidateLayout();
}

void Control::setMargin(const Padding& m) {
  margin_ = m;
  Application::instance().invalidateLayout();
}

void Control::setParent(Control* p) {
  parent_ = p;
}

Control* Control::topLevelControl() {
  Control* c = this;
  while (c->parent_) c = c->parent_;
  return c;
}

Form* Control::findForm() {
  for (Control* c = parent_; c; c = c->parent_)
    if (auto* f = dynamic_cast<Form*>(c)) return f;
  return nullptr;
}

bool Control::isHandleCreated() const {
  const Control* top = this;
  while (top->parent_) top = top->parent_;
  return top != this && top->isHandleCreated();
}

void Control::dispose() {
  if (disposed_) return;
  Application& app = Application::instance();
  for (Control* f = app.focused(); f; f = f->parent_)
    if (f == this) {
      app.dropFocus();
      break;
    }
  disposed_ = true;
  for (auto& c : children_) c->dispose();
  raise(L"Disposed", std::make_shared<EventArgs>());
}

bool Control::canFocus() const {
  if (!selectable() || !isHandleCreated() || !visible()) return false;
  for (const Control* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

bool Control::focus() {
  if (!canFocus()) return false;
  Application::instance().setFocus(this);
  return focused();
}

bool Control::focused() const {
  return Application::instance().focused() == this;
}

void Control::raiseMouse(const wchar_t* event, int button, int clicks, int x, int y) {
  raise(event, std::make_shared<MouseEventArgs>(button, clicks, x, y, 0));
}

bool Control::clicksOn(int) const {
  return true;
}

void Control::userMouseDown(int x, int y, int button) {
  if (!enabled_ || disposed_) return;
  if (canFocus()) Application::instance().setFocus(this);
  Application::instance().mouseButtons |= button;
  pressed_ = true;
  raiseMouse(L"MouseDown", button, 1, x, y);
}

void Control::userMouseMove(int x, int y) {
  if (!enabled_ || disposed_) return;
  raiseMouse(L"MouseMove", Application::instance().mouseButtons, 0, x, y);
}

void Control::userMouseUp(int x, int y, int button) {
  if (!enabled_ || disposed_) return;
  Application::instance().mouseButtons &= ~button;
  Size cs = clientSize();
  bool inside = x >= 0 && y >= 0 && x < cs.width && y < cs.height;
  bool click = pressed_ && clicksOn(button) && inside;
  pressed_ = false;
  if (click) {
    raiseMouse(L"Click", button, 1, x, y);
    raiseMouse(L"MouseClick", button, 1, x, y);
  }
  raiseMouse(L"MouseUp", button, 1, x, y);
}

void Control::forEachHeld(const std::function<void(const Value&)>& visit) const {
  visit(tag_);
  for (auto& c : children_) visit(Value::object(c));
}

std::wstring Control::toString() const {
  std::wstring t = text();
  return t.empty() ? type().fullName() : type().fullName() + L", Text: " + t;
}

// ---- Form

Form::Form() : Form(typeNamed(L"System.Windows.Forms.Form")) {}
Form::Form(const TypeInfo& type) : Control(type) {
  setVisible(false);
  setMargin({});
}

Size Form::clientSize() {
  Rectangle r = rawBounds();
  return {std::max(0, r.width - 16), std::max(0, r.height - 39)};
}

void Form::show() {
  if (isDisposed())
    throw DotNetError(
        L"System.ObjectDisposedException",
        L"Cannot access a disposed object. Object name: '" + type().shortName() + L"'.");
  bool first = !shown_;
  shown_ = true;
  Application::instance().formOpened(std::static_pointer_cast<Form>(shared_from_this()));
  setVisible(true);
  Application::instance().invalidateLayout();
  if (first) {
    raise(L"Load", std::make_shared<EventArgs>());
    raise(L"Shown", std::make_shared<EventArgs>());
  }
}

namespace {
class FormClosingEventArgs : public CancelEventArgs {
 public:
  FormClosingEventArgs()
      : CancelEventArgs(typeNamed(L"System.Windows.Forms.FormClosingEventArgs")) {}
};
}  // namespace

bool Form::close() {
  if (isDisposed()) return true;
  if (!shown_) {
    dispose();
    return true;
  }
  if (closing_) return false;
  auto keep = shared_from_this();
  closing_ = true;
  try {
    auto closingArgs = std::make_shared<CancelEventArgs>();
    raise(L"Closing", closingArgs);
    auto formClosing = std::make_shared<FormClosingEventArgs>();
    formClosing->cancel = closingArgs->cancel;
    raise(L"FormClosing", formClosing);
    if (formClosing->cancel) {
      closing_ = false;
      return false;
    }
    raise(L"FormClosed",
          std::make_shared<EventArgs>(typeNamed(L"System.Windows.Forms.FormClosedEventArgs")));
    raise(L"Closed", std::make_shared<EventArgs>());
  } catch (...) {
    closing_ = false;
    throw;
  }
  closing_ = false;
  dispose();
  return true;
}

void Form::dispose() {
  if (isDisposed()) return;
  auto keep = shared_from_this();
  Control::dispose();
  Application::instance().formClosed(this);
}

// ---- Button

Button::Button() : Control(typeNamed(L"System.Windows.Forms.Button")) {}

void Button::performClick() {
  if (!visible() || !enabled()) return;
  raise(L"Click", std::make_shared<EventArgs>());
}

// ---- NumericUpDown

NumericUpDown::NumericUpDown() : Control(typeNamed(L"System.Windows.Forms.NumericUpDown")) {}

static std::wstring formatFixed(double v, int places) {
  double scale = std::pow(10.0, places);
  double r = std::round(v * scale) / scale;  // half away from zero, as decimal formatting
  if (r == 0.0) r = 0.0;                     // no "-0"
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.*f", places, r);
  return buf;
}

// decimal.Parse with NumberStyles.Number: spaces, a sign, digits with group separators and
// one decimal point.
static std::optional<double> parseNumber(const std::wstring& text) {
  size_t b = 0, e = text.size();
  while (b < e && std::iswspace(text[b])) ++b;
  while (e > b && std::iswspace(text[e - 1])) --e;
  std::string digits;
  size_t i = b;
  if (i < e && (text[i] == L'-' || text[i] == L'+')) digits += char(text[i++]);
  bool any = false, point = false;
  for (; i < e; ++i) {
    wchar_t c = text[i];
    if (c >= L'0' && c <= L'9') {
      digits += char(c);
      any = true;
    } else if (c == L'.' && !point) {
      digits += '.';
      point = true;
    } else if (c == L',' && !point && any) {
      continue;
    } else {
      return std::nullopt;
    }
  }
  if (!any) return std::nullopt;
  return std::strtod(digits.c_str(), nullptr);
}

void NumericUpDown::updateEditText() {
  std::wstring t = formatFixed(value_, decimalPlaces_);
  if (t != text_) {
    text_ = t;
    raise(L"TextChanged", std::make_shared<EventArgs>());
  }
}

double NumericUpDown::value() {
  if (userEdit_) validateEditText();
  return value_;
}

void NumericUpDown::setValue(double v) {
  if (v < minimum_ || v > maximum_)
    throwOutOfRange(L"Value of '" + formatFixed(v, v == std::floor(v) ? 0 : 2) +
                    L"' is not valid for 'Value'. 'Value' should be between 'Minimum' and "
                    L"'Maximum'.\nParameter name: Value");
  bool changed = v != value_;
  value_ = v;
  userEdit_ = false;
  updateEditText();
  if (changed) raise(L"ValueChanged", std::make_shared<EventArgs>());
}

void NumericUpDown::setMinimum(double v) {
  minimum_ = v;
  if (minimum_ > maximum_) maximum_ = minimum_;
  setValue(std::clamp(value_, minimum_, maximum_));
}

void NumericUpDown::setMaximum(double v) {
  maximum_ = v;
  if (minimum_ > maximum_) minimum_ = maximum_;
  setValue(std::clamp(value_, minimum_, maximum_));
}

void NumericUpDown::setDecimalPlaces(int d) {
  if (d < 0 || d > 99) throwOutOfRange(L"DecimalPlaces must be between 0 and 99");
  decimalPlaces_ = d;
  updateEditText();
}

void NumericUpDown::setText(const std::wstring& t) {
  userEdit_ = true;
  if (t == text_) return;
  text_ = t;
  raise(L"TextChanged", std::make_shared<EventArgs>());
}

void NumericUpDown::validateEditText() {
  std::optional<double> parsed;
  if (!text_.empty() && text_ != L"-") parsed = parseNumber(text_);
  userEdit_ = false;
  if (parsed) {
    double v = std::clamp(*parsed, minimum_, maximum_);
    if (v != value_) {
      value_ = v;
      raise(L"ValueChanged", std::make_shared<EventArgs>());
    }
  }
  updateEditText();
}

void NumericUpDown::upButton() {
  setValue(std::min(value() + increment, maximum_));
}
void NumericUpDown::downButton() {
  setValue(std::max(value() - increment, minimum_));
}

// ---- dialogs

OpenFileDialog::OpenFileDialog() : Object(typeNamed(L"System.Windows.Forms.OpenFileDialog")) {}

int OpenFileDialog::showDialog() {
  Application& app = Application::instance();
  app.fileDialogsShown.push_back({title, filter, filterIndex, multiselect});
  if (app.openFileAnswers.empty()) return DialogResult::Cancel;
  OpenFileAnswer answer = app.openFileAnswers.front();
  app.openFileAnswers.pop_front();
  if (!answer.ok || answer.paths.empty()) return DialogResult::Cancel;
  fileNames = answer.paths;
  if (!multiselect) fileNames.resize(1);
  return DialogResult::OK;
}

int showMessageBox(const std::wstring& text, const std::wstring& caption) {
  Application::instance().messageBoxes.push_back({text, caption});
  return DialogResult::OK;
}

}  // namespace maxhost::dotnet

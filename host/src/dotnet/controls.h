// Headless Windows Forms: controls with the state, events and layout rules that scripts
// observe, without any window system behind them.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "dotnet/drawing.h"
#include "dotnet/object.h"

namespace maxhost::dotnet {

class Control;
class Form;
using ControlPtr = std::shared_ptr<Control>;
using FormPtr = std::shared_ptr<Form>;

// Enum values, as in System.Windows.Forms.
enum class DockStyle { None = 0, Top = 1, Bottom = 2, Left = 3, Right = 4, Fill = 5 };
namespace MouseButtons {
constexpr int None = 0, Left = 0x100000, Right = 0x200000, Middle = 0x400000;
}
namespace Keys {
constexpr int None = 0, Shift = 0x10000, Control = 0x20000, Alt = 0x40000;
}
namespace CheckState {
constexpr int Unchecked = 0, Checked = 1, Indeterminate = 2;
}
namespace DialogResult {
constexpr int None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}

struct Padding {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Padding&) const = default;
};

class MouseEventArgs : public EventArgs {
 public:
  MouseEventArgs(int button, int clicks, int x, int y, int delta);
  int button, clicks, x, y, delta;
};

// A message box the script showed; the stand-in answers OK and keeps the record.
struct MessageBoxRecord {
  std::wstring text;
  std::wstring caption;
};

struct OpenFileAnswer {
  bool ok = false;
  std::vector<std::wstring> paths;
};

// Process-wide state of the user interface: open forms, focus, modifier keys, the message
// boxes shown and the answers waiting for the next open-file dialogs. Main thread only.
class Application {
 public:
  static Application& instance();

  std::vector<FormPtr> openForms() const;
  void formOpened(const FormPtr& form);
  void formClosed(const Form* form);

  Control* focused() const;
  // Moves the focus: the old control validates, then Leave and LostFocus; the new one gets
  // Enter and GotFocus. Null takes the focus from every control.
  void setFocus(Control* next);
  // A window being destroyed loses the focus without validation, Leave or LostFocus.
  void dropFocus() { focused_.reset(); }

  int modifierKeys = Keys::None;
  int mouseButtons = MouseButtons::None;
  std::vector<MessageBoxRecord> messageBoxes;
  std::deque<OpenFileAnswer> openFileAnswers;
  // Every open-file dialog shown: title, filter, filter index, multiselect.
  struct FileDialogRecord {
    std::wstring title, filter;
    int filterIndex;
    bool multiselect;
  };
  std::vector<FileDialogRecord> fileDialogsShown;

  // Layout runs lazily: changes mark it stale, reading a position brings it up to date.
  void invalidateLayout() { layoutStale_ = true; }
  void ensureLayout(Control& anyControl);

  // Disposes every open form without events and forgets all recorded state.
  void reset();

 private:
  std::vector<FormPtr> forms_;
  std::weak_ptr<Control> focused_;
  bool changingFocus_ = false;
  bool layoutStale_ = true;
  bool inLayout_ = false;
};

class ControlCollection : public Object {
 public:
  ControlCollection(const TypeInfo& type, std::weak_ptr<Control> owner);
  void add(const ControlPtr& c);
  void remove(const ControlPtr& c);
  void clear();
  int count() const;
  ControlPtr at(int index) const;                     // throws System.ArgumentOutOfRangeException
  ControlPtr byName(const std::wstring& name) const;  // null when missing
  int indexOf(const Control* c) const;
  void forEachHeld(const std::function<void(const Value&)>& visit) const override;
  // Throws System.ObjectDisposedException when the owner is gone.
  std::shared_ptr<Control> owner() const;

 private:
  std::weak_ptr<Control> owner_;
};

class Control : public Object {
 public:
  Control();
  explicit Control(const TypeInfo& type);
  ~Control() override;

  const std::wstring& name() const { return name_; }
  void setName(const std::wstring& n) { name_ = n; }
  virtual std::wstring text() const { return text_; }
  virtual void setText(const std::wstring& t);

  // Position and size in the parent's client area; reading brings layout up to date.
  Rectangle bounds();
  void setBounds(const Rectangle& r);
  void setLocation(int x, int y);
  void setSize(int w, int h);
  virtual Size defaultSize() const { return {}; }
  // The client area's size (the size without borders and caption).
  virtual Size clientSize();
  // Where the client area starts inside the bounds (for converting coordinates).
  virtual Point clientOrigin() const { return {}; }

  // Visible as .NET answers it: the control and every parent are visible.
  bool visible() const;
  bool ownVisible() const { return visible_; }
  void setVisible(bool v);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e) { enabled_ = e; }
  DockStyle dock() const { return dock_; }
  void setDock(DockStyle d);
  Padding margin() const { return margin_; }
  void setMargin(const Padding& m);
  Color backColor() const { return backColor_; }
  void setBackColor(const Color& c) { backColor_ = c; }
  Color foreColor() const { return foreColor_; }
  void setForeColor(const Color& c) { foreColor_ = c; }
  const Value& tag() const { return tag_; }
  void setTag(const Value& v) { tag_ = v; }

  Control* parent() const { return parent_; }
  void setParent(Control* p);
  // The outermost control (the form) of the tree this control is in.
  Control* topLevelControl();
  Form* findForm();
  // Created on first use, so that it can refer back to its owner.
  ControlCollection& controls();
  std::shared_ptr<ControlCollection> controlsPtr();
  virtual const TypeInfo& controlCollectionType() const;
  const std::vector<ControlPtr>& children() const { return children_; }

  // A window exists for the control: its form has been shown and is not disposed.
  virtual bool isHandleCreated() const;
  bool isDisposed() const override { return disposed_; }
  virtual void dispose();

  virtual bool selectable() const { return false; }
  bool canFocus() const;
  bool focus();
  bool focused() const;
  // Runs when the control loses the focus, before Leave (text boxes validate here).
  virtual void validateOnLeave() {}

  // Arranges children inside the client area (docking by default).
  virtual void layoutChildren();
  // A child left this control's collection (panels forget its cell).
  virtual void childRemoved(const Control*) {}

  // Mouse as a user gives it; coordinates are in the control's client area.
  virtual void userMouseDown(int x, int y, int button);
  virtual void userMouseMove(int x, int y);
  virtual void userMouseUp(int x, int y, int button);

  void forEachHeld(const std::function<void(const Value&)>& visit) const override;
  std::wstring toString() const override;

  // Cosmetic settings the stand-in keeps but does not act on (TopMost, BorderStyle...).
  std::map<std::wstring, Value, NoCaseLess> settings;

 protected:
  friend class ControlCollection;
  void raiseMouse(const wchar_t* event, int button, int clicks, int x, int y);
  // Whether a release of `button` on this control makes a click.
  virtual bool clicksOn(int button) const;

  std::vector<ControlPtr> children_;
  std::shared_ptr<ControlCollection> controls_;
  bool pressed_ = false;

 private:
  std::wstring name_;
  std::wstring text_;
  Rectangle bounds_;
  bool boundsSet_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool disposed_ = false;
  DockStyle dock_ = DockStyle::None;
  Padding margin_{3, 3, 3, 3};
  Color backColor_ = Color::fromArgb(255, 240, 240, 240);
  Color foreColor_ = Color::fromArgb(255, 0, 0, 0);
  Value tag_;
  Control* parent_ = nullptr;

 public:
  // Set by layout only: does not mark the layout stale.
  void setBoundsFromLayout(const Rectangle& r) {
    bounds_ = r;
    boundsSet_ = true;
  }
  Rectangle rawBounds() const;
};

class Form : public Control {
 public:
  Form();
  explicit Form(const TypeInfo& type);
  Size defaultSize() const override { return {300, 300}; }
  Size clientSize() override;
  Point clientOrigin() const override { return {8, 31}; }
  bool isHandleCreated() const override { return shown_ && !isDisposed(); }

  // Modeless show: the form joins the open forms and becomes visible.
  void show();
  // Closing then FormClosing (cancellable), FormClosed and Closed, then disposal. Answers
  // whether the form closed.
  bool close();
  void dispose() override;
  bool shown() const { return shown_; }

 private:
  bool shown_ = false;
  bool closing_ = false;
};

class Button : public Control {
 public:
  Button();
  Size defaultSize() const override { return {75, 23}; }
  bool selectable() const override { return true; }
  void performClick();

 protected:
  bool clicksOn(int button) const override { return button == MouseButtons::Left; }
};

class TableLayoutPanel;

// ColumnStyle and RowStyle: a size type (AutoSize 0, Absolute 1, Percent 2) and a size.
class TableLayoutStyle : public Object {
 public:
  TableLayoutStyle(const TypeInfo& type, int sizeType, float size);
  int sizeType;
  float size;
};

class TableLayoutStyleCollection : public Object {
 public:
  explicit TableLayoutStyleCollection(const TypeInfo& type);
  std::vector<std::shared_ptr<TableLayoutStyle>> styles;
  void forEachHeld(const std::function<void(const Value&)>& visit) const override;
};

class TableLayoutPanel : public Control {
 public:
  TableLayoutPanel();
  Size defaultSize() const override { return {200, 100}; }
  void layoutChildren() override;
  const TypeInfo& controlCollectionType() const override;
  void childRemoved(const Control* c) override { cells_.erase(c); }
  void setCellPosition(const Control* c, int column, int row);
  std::pair<int, int> cellPosition(const Control* c) const;  // (-1, -1) when unset

  int columnCount = 0;
  int rowCount = 0;
  std::shared_ptr<TableLayoutStyleCollection> columnStyles, rowStyles;

  void forEachHeld(const std::function<void(const Value&)>& visit) const override;

 private:
  std::map<const Control*, std::pair<int, int>> cells_;
};

class FlowLayoutPanel : public Control {
 public:
  FlowLayoutPanel();
  Size defaultSize() const override { return {200, 100}; }
  void layoutChildren() override;
  int flowDirection = 0;  // LeftToRight 0, TopDown 1, RightToLeft 2, BottomUp 3
  bool wrapContents = true;
};

class NumericUpDown : public Control {
 public:
  NumericUpDown();
  Size defaultSize() const override { return {120, 20}; }
  bool selectable() const override { return true; }

  double value();  // validates pending typed text first, as .NET does
  void setValue(double v);
  double minimum() const { return minimum_; }
  void setMinimum(double v);
  double maximum() const { return maximum_; }
  void setMaximum(double v);
  double increment = 1.0;
  int decimalPlaces() const { return decimalPlaces_; }
  void setDecimalPlaces(int d);

  std::wstring text() const override { return text_; }
  // Typed or assigned text waits for validation (focus leaving, or Value being read).
  void setText(const std::wstring& t) override;
  void validateEditText();
  void validateOnLeave() override { validateEditText(); }
  void upButton();
  void downButton();

 private:
  void updateEditText();
  double value_ = 0.0;
  double minimum_ = 0.0;
  double maximum_ = 100.0;
  int decimalPlaces_ = 0;
  std::wstring text_ = L"0";
  bool userEdit_ = false;
};

class OpenFileDialog : public Object {
 public:
  OpenFileDialog();
  // Takes the next queued answer; with none queued the user cancels.
  int showDialog();
  std::wstring filter, title, initialDirectory;
  int filterIndex = 1;
  bool multiselect = false;
  std::vector<std::wstring> fileNames;
};

// Records the box and answers OK.
int showMessageBox(const std::wstring& text, const std::wstring& caption);

}  // namespace maxhost::dotnet

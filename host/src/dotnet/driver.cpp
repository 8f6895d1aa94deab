#include "dotnet/driver.h"

#include <algorithm>

#include "base/text.h"

namespace maxhost::dotnet::user {

namespace {

Application& app() {
  return Application::instance();
}

// Holds modifier keys for one action and restores the previous state after it.
class KeysHeld {
 public:
  explicit KeysHeld(int modifiers) : saved_(app().modifierKeys) {
    if (modifiers != Keys::None) app().modifierKeys = modifiers;
  }
  ~KeysHeld() { app().modifierKeys = saved_; }

 private:
  int saved_;
};

ControlPtr findIf(Control& root, const std::function<bool(Control&)>& match) {
  if (match(root)) return std::static_pointer_cast<Control>(root.self());
  for (const ControlPtr& c : root.children())
    if (auto found = findIf(*c, match)) return found;
  return nullptr;
}

}  // namespace

std::vector<FormPtr> openForms() {
  return app().openForms();
}

FormPtr findForm(const std::wstring& title) {
  for (const FormPtr& f : app().openForms())
    if (f->text() == title) return f;
  return nullptr;
}

ControlPtr findByName(Control& root, const std::wstring& name) {
  return findIf(root, [&](Control& c) { return c.name() == name; });
}

ControlPtr findByText(Control& root, const std::wstring& text) {
  return findIf(root, [&](Control& c) { return c.text() == text; });
}

ControlPtr findByType(Control& root, const std::wstring& typeName) {
  return findIf(root, [&](Control& c) {
    return EqualsNoCase(c.type().fullName(), typeName) ||
           EqualsNoCase(c.type().shortName(), typeName);
  });
}

void holdKeys(int modifiers) {
  app().modifierKeys = modifiers;
}
void releaseKeys() {
  app().modifierKeys = Keys::None;
}

void press(Control& c, int x, int y, int button, int modifiers) {
  KeysHeld keys(modifiers);
  auto keep = c.self();
  c.bounds();
  c.userMouseDown(x, y, button);
}

void move(Control& c, int x, int y, int modifiers) {
  KeysHeld keys(modifiers);
  auto keep = c.self();
  c.userMouseMove(x, y);
}

void release(Control& c, int x, int y, int button, int modifiers) {
  KeysHeld keys(modifiers);
  auto keep = c.self();
  c.bounds();
  c.userMouseUp(x, y, button);
}

void click(Control& c, int x, int y, int button, int modifiers) {
  KeysHeld keys(modifiers);
  auto keep = c.self();
  press(c, x, y, button);
  release(c, x, y, button);
}

void dragVertically(Control& c, int x, int y0, const std::vector<int>& ys, int button) {
  auto keep = c.self();
  press(c, x, y0, button);
  int y = y0;
  for (int next : ys) {
    y = next;
    move(c, x, y);
  }
  release(c, x, y, button);
}

void clickButton(Button& b) {
  Rectangle r = b.bounds();
  click(b, r.width / 2, r.height / 2);
}

void clickButton(Control& root, const std::wstring& text) {
  auto found =
      findIf(root, [&](Control& c) { return dynamic_cast<Button*>(&c) && c.text() == text; });
  if (!found) throw std::runtime_error("no button with this text");
  clickButton(static_cast<Button&>(*found));
}

Point listCellPoint(ListView& lv, int row, int column) {
  lv.bounds();
  Rectangle r = lv.rowBounds(row);
  int left = lv.columnLeft(column), width = lv.columnWidth(column);
  int x = left + width / 2;
  if (column == 0 && lv.checkBoxes && x < kCheckBoxLeft + kCheckBoxWidth)
    x = std::min(left + width - 1, kCheckBoxLeft + kCheckBoxWidth + 1);
  return {x, r.y + r.height / 2};
}

void clickListCell(ListView& lv, int row, int column, int modifiers, int button) {
  Point p = listCellPoint(lv, row, column);
  click(lv, p.x, p.y, button, modifiers);
}

void clickListCheckBox(ListView& lv, int row, int modifiers) {
  lv.bounds();
  Rectangle box = lv.checkBoxBounds(row);
  click(lv, box.x + box.width / 2, box.y + box.height / 2, MouseButtons::Left, modifiers);
}

bool focus(Control& c) {
  return c.focus();
}
void unfocus() {
  app().setFocus(nullptr);
}

void typeText(Control& c, const std::wstring& text) {
  c.focus();
  c.setText(text);
}

bool closeForm(Form& f) {
  auto keep = f.self();
  return f.close();
}

void answerOpenFile(const std::vector<std::wstring>& paths) {
  app().openFileAnswers.push_back({true, paths});
}

void cancelOpenFile() {
  app().openFileAnswers.push_back({false, {}});
}

const std::vector<MessageBoxRecord>& messageBoxes() {
  return app().messageBoxes;
}
void clearMessageBoxes() {
  app().messageBoxes.clear();
}

void reset() {
  app().reset();
}

}  // namespace maxhost::dotnet::user

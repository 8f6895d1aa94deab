// Acts on the headless forms as a user would, for tests and for the command-line host:
// finds controls, clicks, drags, checks, types, moves the focus, closes forms, answers
// open-file dialogs and reads the message boxes shown.
//
// Coordinates are in the control's client area, as MouseEventArgs reports them. A click
// is press then release; events come in Windows Forms order (see Control::userMouseDown,
// Control::userMouseUp and the list view's versions).
#pragma once

#include <string>
#include <vector>

#include "dotnet/controls.h"
#include "dotnet/listview.h"

namespace maxhost::dotnet::user {

std::vector<FormPtr> openForms();
// The open form with this title, or null.
FormPtr findForm(const std::wstring& title);

// Depth-first search under root (root included).
ControlPtr findByName(Control& root, const std::wstring& name);
ControlPtr findByText(Control& root, const std::wstring& text);
// By .NET type name, full or short ("ListView", "System.Windows.Forms.Button").
ControlPtr findByType(Control& root, const std::wstring& typeName);
template <class T>
std::shared_ptr<T> findFirst(Control& root) {
  if (auto* t = dynamic_cast<T*>(&root)) return std::static_pointer_cast<T>(t->self());
  for (const ControlPtr& c : root.children())
    if (auto found = findFirst<T>(*c)) return found;
  return nullptr;
}

// Modifier keys (Keys::Control, Keys::Shift, Keys::Alt) held from now until released.
void holdKeys(int modifiers);
void releaseKeys();

// The mouse on a control; `modifiers` are held for the duration of the call.
void press(Control& c, int x, int y, int button = MouseButtons::Left, int modifiers = Keys::None);
void move(Control& c, int x, int y, int modifiers = Keys::None);
void release(Control& c, int x, int y, int button = MouseButtons::Left, int modifiers = Keys::None);
void click(Control& c, int x, int y, int button = MouseButtons::Left, int modifiers = Keys::None);
// Presses at (x, y0), moves to each y in turn, releases at the last one.
void dragVertically(Control& c, int x, int y0, const std::vector<int>& ys,
                    int button = MouseButtons::Left);

// Clicks the middle of a button; throws when no button under root has this text.
void clickButton(Button& b);
void clickButton(Control& root, const std::wstring& text);

// Clicks a cell of a list row (never its check box), or the check box of a row.
void clickListCell(ListView& lv, int row, int column, int modifiers = Keys::None,
                   int button = MouseButtons::Left);
void clickListCheckBox(ListView& lv, int row, int modifiers = Keys::None);
// Client coordinates of the middle of a cell (avoiding the check box in column 0).
Point listCellPoint(ListView& lv, int row, int column);

// Gives the focus to a control (false when it cannot take it), or takes it from every
// control, as clicking outside the form's controls does.
bool focus(Control& c);
void unfocus();
// Focuses the control and replaces its text as typing would (validation waits for the
// focus to leave).
void typeText(Control& c, const std::wstring& text);

// Closes a form as its close box does: Closing may cancel. Answers whether it closed.
bool closeForm(Form& f);

// Answers for the next open-file dialogs, in order; without an answer a dialog is cancelled.
void answerOpenFile(const std::vector<std::wstring>& paths);
void cancelOpenFile();

const std::vector<MessageBoxRecord>& messageBoxes();
void clearMessageBoxes();

// Disposes every open form without events and forgets queued answers and records.
void reset();

}  // namespace maxhost::dotnet::user

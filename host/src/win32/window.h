// Windows behind HWND: a tree of plain records with a message handler each.
// The stand-in's material editor builds them (a rollout from a dialog template,
// its controls); the Win32 window calls of windows.h work on them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace maxhost {

// Handles a message; return the result. A handler that does not handle a
// message passes it to DefaultWindowMessage.
using WindowHandler = std::function<LRESULT(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)>;

struct Window {
  Window* parent = nullptr;
  std::vector<std::unique_ptr<Window>> children;  // creation order
  int id = 0;
  std::wstring class_name;
  std::wstring text;
  HANDLE image = nullptr;  // STM_SETIMAGE / BM_SETIMAGE
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT rect{};  // in the parent's client coordinates
  LONG_PTR user_data = 0;
  LONG_PTR dialog_user = 0;  // DWLP_USER
  LONG_PTR msg_result = 0;   // DWLP_MSGRESULT
  UINT check = BST_UNCHECKED;
  int invalidations = 0;  // InvalidateRect calls, i.e. redraw requests
  WindowHandler handler;
};

// Creates a window; a non-null parent takes ownership. Returns null if the
// parent is not a window.
HWND CreateWindowRecord(HWND parent, const std::wstring& class_name, const std::wstring& text,
                        int id, DWORD style, const RECT& rect, WindowHandler handler = {});
// Sends WM_DESTROY to the window and then its children and frees them all;
// false for a handle that is not a live window.
bool DestroyWindowRecord(HWND hwnd);
// The record, or null for a handle that is not a live window.
Window* WindowFromHandle(HWND hwnd);
inline HWND HandleOf(Window* w) {
  return reinterpret_cast<HWND>(w);
}

// The system's default handling: text, check state, images, enabling, and for
// BM_CLICK on a button the check toggling of automatic buttons and the
// WM_COMMAND/BN_CLICKED notification of the parent.
LRESULT DefaultWindowMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Number of live windows (for leak checks in tests).
std::size_t LiveWindowCount();

}  // namespace maxhost

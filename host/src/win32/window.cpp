#include "win32/window.h"

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <unordered_set>

#include "base/text.h"

namespace maxhost {

namespace {

struct WindowRegistry {
  std::mutex mutex;
  std::unordered_set<Window*> live;
  std::vector<std::unique_ptr<Window>> top_level;
};

WindowRegistry& Registry() {
  static WindowRegistry* registry = new WindowRegistry;
  return *registry;
}

bool IsButton(const Window& w) {
  return EqualsNoCase(w.class_name, std::wstring_view(L"Button"));
}

// Windows' radio group: from the nearest earlier sibling with WS_GROUP (or the
// first sibling) up to the next sibling with WS_GROUP.
void UncheckRadioGroup(Window& w) {
  if (!w.parent) return;
  auto& siblings = w.parent->children;
  auto self =
      std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == &w; });
  if (self == siblings.end()) return;
  auto first = self;
  while (first != siblings.begin() && !((*first)->style & WS_GROUP)) --first;
  for (auto it = first; it != siblings.end(); ++it) {
    if (it != first && ((*it)->style & WS_GROUP)) break;
    Window& other = **it;
    if (&other != &w && IsButton(other) && (other.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
      other.check = BST_UNCHECKED;
  }
}

}  // namespace

HWND CreateWindowRecord(HWND parent, const std::wstring& class_name, const std::wstring& text,
                        int id, DWORD style, const RECT& rect, WindowHandler handler) {
  Window* owner = nullptr;
  if (parent) {
    owner = WindowFromHandle(parent);
    if (!owner) return nullptr;
  }
  auto w = std::make_unique<Window>();
  w->parent = owner;
  w->class_name = class_name;
  w->text = text;
  w->id = id;
  w->style = style;
  w->rect = rect;
  w->handler = std::move(handler);
  Window* raw = w.get();
  WindowRegistry& reg = Registry();
  std::lock_guard lock(reg.mutex);
  if (owner) {
    owner->children.push_back(std::move(w));
  } else {
    reg.top_level.push_back(std::move(w));
  }
  reg.live.insert(raw);
  return HandleOf(raw);
}

Window* WindowFromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  WindowRegistry& reg = Registry();
  std::lock_guard lock(reg.mutex);
  Window* w = reinterpret_cast<Window*>(hwnd);
  return reg.live.count(w) ? w : nullptr;
}

std::size_t LiveWindowCount() {
  WindowRegistry& reg = Registry();
  std::lock_guard lock(reg.mutex);
  return reg.live.size();
}

namespace {

// WM_DESTROY goes to the window first, then to its children; then the records go.
void DestroyTree(Window* w) {
  if (w->handler) w->handler(HandleOf(w), WM_DESTROY, 0, 0);
  for (auto& child : w->children) DestroyTree(child.get());
  WindowRegistry& reg = Registry();
  std::lock_guard lock(reg.mutex);
  reg.live.erase(w);
}

}  // namespace

bool DestroyWindowRecord(HWND hwnd) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) return false;
  DestroyTree(w);
  WindowRegistry& reg = Registry();
  std::unique_ptr<Window> doomed;
  {
    std::lock_guard lock(reg.mutex);
    auto& list = w->parent ? w->parent->children : reg.top_level;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& c) { return c.get() == w; });
    if (it != list.end()) {
      doomed = std::move(*it);
      list.erase(it);
    }
  }
  return true;
}

LRESULT DefaultWindowMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const wchar_t*>(lparam);
      w->text = text ? text : L"";
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<wchar_t*>(lparam);
      if (!buffer || wparam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(w->text.size(), wparam - 1);
      std::wmemcpy(buffer, w->text.data(), n);
      buffer[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case BM_GETCHECK:
      return w->check;
    case BM_SETCHECK:
      w->check = static_cast<UINT>(wparam);
      return 0;
    case BM_CLICK: {
      if (w->style & WS_DISABLED) return 0;
      if (IsButton(*w)) {
        switch (w->style & BS_TYPEMASK) {
          case BS_AUTOCHECKBOX:
            w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
          case BS_AUTO3STATE:
            w->check = (w->check + 1) % 3;
            break;
          case BS_AUTORADIOBUTTON:
            UncheckRadioGroup(*w);
            w->check = BST_CHECKED;
            break;
          default:
            break;
        }
      }
      if (w->parent) {
        Window* parent = w->parent;
        const WPARAM command = MAKEWPARAM(static_cast<WORD>(w->id), BN_CLICKED);
        if (parent->handler) {
          parent->handler(HandleOf(parent), WM_COMMAND, command, reinterpret_cast<LPARAM>(hwnd));
        }
      }
      return 0;
    }
    case STM_SETIMAGE:
    case BM_SETIMAGE: {
      HANDLE old = w->image;
      w->image = reinterpret_cast<HANDLE>(lparam);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(w->image);
    default:
      return 0;
  }
}

}  // namespace maxhost

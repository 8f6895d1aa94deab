// The Win32 calls that windows.h declares, over the module, window and record
// registries of this library. On Windows they are the stand-in's calls of
// standin_calls.h: a handle that is none of this library's records goes to the system.
#include <windows.h>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <algorithm>
#include <cwchar>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "win32/module.h"
#include "win32/records.h"
#include "base/text.h"
#include "win32/window.h"

// On Windows, hands the call on to the system; elsewhere there is no system to ask.
#if defined(_WIN32)
#define MAXHOST_PASS_TO_SYSTEM(call) return call
#else
#define MAXHOST_PASS_TO_SYSTEM(call) static_cast<void>(0)
#endif

namespace maxhost {

namespace {

#if !defined(_WIN32)
thread_local DWORD t_last_error = ERROR_SUCCESS;
#endif

struct Records {
  std::mutex mutex;
  std::vector<ShellExecuteRecord> shell;
  std::vector<MessageBoxRecord> boxes;
  int box_answer = IDOK;
};

Records& TheRecords() {
  static Records* records = new Records;
  return *records;
}

struct Bitmaps {
  std::mutex mutex;
  std::unordered_map<const void*, std::unique_ptr<RgbImage>> images;
};

Bitmaps& TheBitmaps() {
  static Bitmaps* bitmaps = new Bitmaps;
  return *bitmaps;
}

// System cursors: distinct handles that exist for the process's lifetime.
struct Cursor {
  WORD id;
};
Cursor g_cursors[] = {{32512}, {32513}, {32514}, {32649}};
HCURSOR g_current_cursor = nullptr;

std::optional<std::wstring> Optional(LPCWSTR s) {
  return s ? std::optional<std::wstring>(s) : std::nullopt;
}

ResId IdFromWin32(LPCWSTR id) {
  if (IS_INTRESOURCE(id))
    return ResId::Ordinal(static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(id)));
  if (id[0] == L'#') {
    std::uint32_t value = 0;
    for (const wchar_t* p = id + 1; *p >= L'0' && *p <= L'9' && value <= 0xFFFF; ++p)
      value = value * 10 + (*p - L'0');
    return ResId::Ordinal(static_cast<std::uint16_t>(value));
  }
  return ResId::Name(id);
}

Window* Child(HWND dlg, int id) {
  Window* w = WindowFromHandle(dlg);
  if (!w) return nullptr;
  for (auto& c : w->children)
    if (c->id == id) return c.get();
  return nullptr;
}

LRESULT Send(Window* w, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!w) return 0;
  HWND h = HandleOf(w);
  return w->handler ? w->handler(h, msg, wparam, lparam)
                    : DefaultWindowMessage(h, msg, wparam, lparam);
}

}  // namespace

std::vector<ShellExecuteRecord> ShellExecuteLog() {
  std::lock_guard lock(TheRecords().mutex);
  return TheRecords().shell;
}

void ClearShellExecuteLog() {
  std::lock_guard lock(TheRecords().mutex);
  TheRecords().shell.clear();
}

std::vector<MessageBoxRecord> MessageBoxLog() {
  std::lock_guard lock(TheRecords().mutex);
  return TheRecords().boxes;
}

void ClearMessageBoxLog() {
  std::lock_guard lock(TheRecords().mutex);
  TheRecords().boxes.clear();
}

void SetMessageBoxAnswer(int answer) {
  std::lock_guard lock(TheRecords().mutex);
  TheRecords().box_answer = answer;
}

const RgbImage* BitmapFromHandle(HBITMAP bitmap) {
  Bitmaps& b = TheBitmaps();
  std::lock_guard lock(b.mutex);
  auto it = b.images.find(bitmap);
  return it == b.images.end() ? nullptr : it->second.get();
}

}  // namespace maxhost

using namespace maxhost;

// ---------------------------------------------------------------------------
// Modules and errors

BOOL WINAPI DisableThreadLibraryCalls(HMODULE module) {
  if (!FindModule(module)) {
    MAXHOST_PASS_TO_SYSTEM(SystemDisableThreadLibraryCalls(module));
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;  // there are no thread notifications to turn off
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  std::wstring path;
  if (!module) {
    MAXHOST_PASS_TO_SYSTEM(SystemGetModuleFileNameW(module, buffer, size));
#if !defined(_WIN32)
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return 0;
    }
    path = WideFromUtf8(std::string_view(exe, static_cast<std::size_t>(n)));
#endif
  } else {
    const Module* m = FindModule(module);
    if (!m) {
      MAXHOST_PASS_TO_SYSTEM(SystemGetModuleFileNameW(module, buffer, size));
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = WideFromUtf8(m->path);
  }
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Too small a buffer gets the truncated path, terminated, and the size, as on Windows.
  if (path.size() >= size) {
    std::wmemcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::wmemcpy(buffer, path.data(), path.size());
  buffer[path.size()] = L'\0';
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR name) {
  if (!name) {
    MAXHOST_PASS_TO_SYSTEM(SystemGetModuleHandleW(name));
    return nullptr;  // the executable is not a module record
  }
  const std::wstring wanted(name);
  for (HMODULE h : RegisteredModules()) {
    const Module* m = FindModule(h);
    if (!m) continue;
    std::wstring file = WideFromUtf8(m->path);
    const std::size_t slash = file.find_last_of(L'/');
    if (slash != std::wstring::npos) file = file.substr(slash + 1);
    const std::size_t dot = file.find_last_of(L'.');
    if (EqualsNoCase(file, wanted) ||
        (wanted.find(L'.') == std::wstring::npos && dot != std::wstring::npos &&
         EqualsNoCase(file.substr(0, dot), wanted))) {
      return h;
    }
  }
  MAXHOST_PASS_TO_SYSTEM(SystemGetModuleHandleW(name));
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

#if !defined(_WIN32)
DWORD WINAPI GetLastError() {
  return t_last_error;
}
void WINAPI SetLastError(DWORD code) {
  t_last_error = code;
}
#endif

// ---------------------------------------------------------------------------
// Resources

int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
  const Module* m = FindModule(instance);
  if (!m) {
    MAXHOST_PASS_TO_SYSTEM(SystemLoadStringW(instance, id, buffer, size));
    SetLastError(ERROR_INVALID_HANDLE);
    if (buffer && size > 0) buffer[0] = L'\0';
    return 0;
  }
  if (!buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto it = m->strings.find(id);
  if (size == 0) {
    // Windows hands out a read-only pointer to the string itself.
    *reinterpret_cast<const wchar_t**>(buffer) =
        it == m->strings.end() ? nullptr : it->second.c_str();
    return it == m->strings.end() ? 0 : static_cast<int>(it->second.size());
  }
  if (size < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (it == m->strings.end()) {
    buffer[0] = L'\0';
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const std::size_t n =
      std::min<std::size_t>(it->second.size(), static_cast<std::size_t>(size) - 1);
  std::wmemcpy(buffer, it->second.data(), n);
  buffer[n] = L'\0';
  return static_cast<int>(n);
}

HRSRC WINAPI FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
  if (!FindModule(module)) {
    MAXHOST_PASS_TO_SYSTEM(SystemFindResourceExW(module, type, name, language));
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!type || !name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const Resource* r =
      FindModuleResource(module, IdFromWin32(type), IdFromWin32(name),
                         language == 0 ? std::nullopt : std::optional<std::uint16_t>(language));
  if (!r) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<Resource*>(r));
}

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  return FindResourceExW(module, type, name, 0);
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC info) {
  const Resource* r = ResourceFromHandle(info);
  if (!r) MAXHOST_PASS_TO_SYSTEM(SystemLoadResource(module, info));
  if (!r || (module && !FindModule(module))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<Resource*>(r);
}

DWORD WINAPI SizeofResource([[maybe_unused]] HMODULE module, HRSRC info) {
  const Resource* r = ResourceFromHandle(info);
  if (!r) {
    MAXHOST_PASS_TO_SYSTEM(SystemSizeofResource(module, info));
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(r->data.size());
}

LPVOID WINAPI LockResource(HGLOBAL data) {
  const Resource* r = ResourceFromHandle(data);
  if (!r) {
    MAXHOST_PASS_TO_SYSTEM(SystemLockResource(data));
    return nullptr;
  }
  // An empty resource still locks to a valid address.
  static const std::uint8_t empty = 0;
  return const_cast<std::uint8_t*>(r->data.empty() ? &empty : r->data.data());
}

BOOL WINAPI FreeResource(HGLOBAL) {
  return FALSE;
}  // obsolete on Windows too: resources live as long as the module

HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  if (!FindModule(instance) || !name) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const Resource* r = FindModuleResource(instance, ResId::Ordinal(2), IdFromWin32(name));
  if (!r) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  DibDecodeResult decoded = DecodeDib(r->data);
  if (!decoded.ok) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  auto image = std::make_unique<RgbImage>(std::move(decoded.image));
  HBITMAP handle = reinterpret_cast<HBITMAP>(image.get());
  Bitmaps& b = TheBitmaps();
  std::lock_guard lock(b.mutex);
  b.images.emplace(image.get(), std::move(image));
  return handle;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  Bitmaps& b = TheBitmaps();
  {
    std::lock_guard lock(b.mutex);
    if (b.images.erase(object)) return TRUE;
  }
  MAXHOST_PASS_TO_SYSTEM(SystemDeleteObject(object));
  return FALSE;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return nullptr;  // only the system's cursors exist
  const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
  for (Cursor& c : g_cursors)
    if (c.id == id) return reinterpret_cast<HCURSOR>(&c);
  return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  HCURSOR previous = g_current_cursor;
  g_current_cursor = cursor;
  return previous;
}

// ---------------------------------------------------------------------------
// Recorded desktop calls

HINSTANCE WINAPI ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                               LPCWSTR directory, INT show) {
  if (!file) return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(ERROR_FILE_NOT_FOUND));
  {
    std::lock_guard lock(TheRecords().mutex);
    TheRecords().shell.push_back(
        {owner, Optional(operation), file, Optional(parameters), Optional(directory), show});
  }
  return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));  // above 32: success
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  std::lock_guard lock(TheRecords().mutex);
  TheRecords().boxes.push_back({owner, text ? text : L"", caption ? caption : L"Error", type});
  return TheRecords().box_answer;
}

// ---------------------------------------------------------------------------
// Windows

HWND WINAPI GetDlgItem(HWND dlg, int id) {
  Window* w = Child(dlg, id);
  if (!w) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return w ? HandleOf(w) : nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
  Window* w = WindowFromHandle(hwnd);
  return w ? w->id : 0;
}

HWND WINAPI GetParent(HWND hwnd) {
  Window* w = WindowFromHandle(hwnd);
  return w && w->parent ? HandleOf(w->parent) : nullptr;
}

BOOL WINAPI IsWindow(HWND hwnd) {
  return WindowFromHandle(hwnd) ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return Send(w, msg, wparam, lparam);
}

// There is no message queue: a posted message is delivered at once.
BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Send(w, msg, wparam, lparam);
  return TRUE;
}

LRESULT WINAPI SendDlgItemMessageW(HWND dlg, int id, UINT msg, WPARAM wparam, LPARAM lparam) {
  return Send(Child(dlg, id), msg, wparam, lparam);
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text) {
  Window* w = WindowFromHandle(hwnd);
  return w ? static_cast<BOOL>(Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) : FALSE;
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
  Window* w = WindowFromHandle(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  return static_cast<int>(
      Send(w, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthW(HWND hwnd) {
  Window* w = WindowFromHandle(hwnd);
  return w ? static_cast<int>(Send(w, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND dlg, int id, LPCWSTR text) {
  Window* w = Child(dlg, id);
  return w ? static_cast<BOOL>(Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND dlg, int id, LPWSTR buffer, int size) {
  Window* w = Child(dlg, id);
  if (!w || !buffer || size <= 0) {
    if (buffer && size > 0) buffer[0] = L'\0';
    return 0;
  }
  return static_cast<UINT>(
      Send(w, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) return FALSE;
  const BOOL was_disabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    w->style |= WS_DISABLED;
  }
  if (was_disabled == (enable ? TRUE : FALSE)) Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
  Window* w = WindowFromHandle(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) return FALSE;
  const BOOL was_visible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  if (command == SW_HIDE) {
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  } else {
    w->style |= WS_VISIBLE;
  }
  return was_visible;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
  // Visible only when it and all its ancestors are.
  for (Window* w = WindowFromHandle(hwnd); w; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return WindowFromHandle(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI CheckDlgButton(HWND dlg, int id, UINT check) {
  Window* w = Child(dlg, id);
  if (!w) return FALSE;
  Send(w, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dlg, int id) {
  Window* w = Child(dlg, id);
  return w ? static_cast<UINT>(Send(w, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dlg, int first, int last, int checked) {
  Window* parent = WindowFromHandle(dlg);
  if (!parent) return FALSE;
  for (auto& c : parent->children)
    if (c->id >= first && c->id <= last)
      Send(c.get(), BM_SETCHECK, c->id == checked ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (index) {
    case GWLP_USERDATA:
      return w->user_data;
    case GWL_STYLE:
      return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(w->ex_style);
    case GWLP_ID:
      return w->id;
    case DWLP_USER:
      return w->dialog_user;
    case DWLP_MSGRESULT:
      return w->msg_result;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_USERDATA:
      old = w->user_data;
      w->user_data = value;
      break;
    case GWL_STYLE:
      old = static_cast<LONG_PTR>(w->style);
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      old = static_cast<LONG_PTR>(w->ex_style);
      w->ex_style = static_cast<DWORD>(value);
      break;
    case GWLP_ID:
      old = w->id;
      w->id = static_cast<int>(value);
      break;
    case DWLP_USER:
      old = w->dialog_user;
      w->dialog_user = value;
      break;
    case DWLP_MSGRESULT:
      old = w->msg_result;
      w->msg_result = value;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
  return old;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = WindowFromHandle(hwnd);
  if (!w || !rect) return FALSE;
  *rect = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = WindowFromHandle(hwnd);
  if (!w || !rect) return FALSE;
  RECT r = w->rect;
  for (Window* p = w->parent; p; p = p->parent) {
    r.left += p->rect.left;
    r.right += p->rect.left;
    r.top += p->rect.top;
    r.bottom += p->rect.top;
  }
  *rect = r;
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  Window* w = WindowFromHandle(hwnd);
  if (!w) return FALSE;
  ++w->invalidations;
  return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  if (!DestroyWindowRecord(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return TRUE;
}

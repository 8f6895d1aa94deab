// On Windows, the stand-in host works on records of its own behind some Win32 handles:
// windows of its material editor, resources registered without a library, recorded desktop
// calls. Its own code and tests reach the stand-in's calls under their Win32 names through
// this header, which every host library, the command-line host and the tests include
// first (the build adds it). Each call acts on the stand-in's records and hands any other
// handle to the system; resource calls on a loaded library thus read its real resources.
// The plug-in never includes this header: it calls the system, and the loader redirects
// only its desktop and window calls (RedirectImports).
//
// Elsewhere the stand-in's windows.h declares the same calls under their own names.
#pragma once

#if defined(_WIN32)

#include <windows.h>
#include <shellapi.h>

#include <coreexp.h>

#define MAXHOST_WIN32_CALL extern "C" MAXHOST_VISIBLE

// The system's own calls, for the stand-in to hand foreign handles to.
namespace maxhost {
inline BOOL SystemDisableThreadLibraryCalls(HMODULE m) {
  return ::DisableThreadLibraryCalls(m);
}
inline DWORD SystemGetModuleFileNameW(HMODULE m, LPWSTR buffer, DWORD size) {
  return ::GetModuleFileNameW(m, buffer, size);
}
inline HMODULE SystemGetModuleHandleW(LPCWSTR name) {
  return ::GetModuleHandleW(name);
}
inline int SystemLoadStringW(HINSTANCE m, UINT id, LPWSTR buffer, int size) {
  return ::LoadStringW(m, id, buffer, size);
}
inline HRSRC SystemFindResourceExW(HMODULE m, LPCWSTR type, LPCWSTR name, WORD language) {
  return ::FindResourceExW(m, type, name, language);
}
inline HGLOBAL SystemLoadResource(HMODULE m, HRSRC info) {
  return ::LoadResource(m, info);
}
inline DWORD SystemSizeofResource(HMODULE m, HRSRC info) {
  return ::SizeofResource(m, info);
}
inline LPVOID SystemLockResource(HGLOBAL data) {
  return ::LockResource(data);
}
inline BOOL SystemDeleteObject(HGDIOBJ object) {
  return ::DeleteObject(object);
}
}  // namespace maxhost

MAXHOST_WIN32_CALL BOOL WINAPI maxhost_DisableThreadLibraryCalls(HMODULE hLibModule);
MAXHOST_WIN32_CALL DWORD WINAPI maxhost_GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename,
                                                           DWORD nSize);
MAXHOST_WIN32_CALL HMODULE WINAPI maxhost_GetModuleHandleW(LPCWSTR lpModuleName);
MAXHOST_WIN32_CALL int WINAPI maxhost_LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer,
                                                  int cchBufferMax);
MAXHOST_WIN32_CALL HRSRC WINAPI maxhost_FindResourceW(HMODULE hModule, LPCWSTR lpName,
                                                      LPCWSTR lpType);
MAXHOST_WIN32_CALL HRSRC WINAPI maxhost_FindResourceExW(HMODULE hModule, LPCWSTR lpType,
                                                        LPCWSTR lpName, WORD wLanguage);
MAXHOST_WIN32_CALL HGLOBAL WINAPI maxhost_LoadResource(HMODULE hModule, HRSRC hResInfo);
MAXHOST_WIN32_CALL DWORD WINAPI maxhost_SizeofResource(HMODULE hModule, HRSRC hResInfo);
MAXHOST_WIN32_CALL LPVOID WINAPI maxhost_LockResource(HGLOBAL hResData);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_FreeResource(HGLOBAL hResData);
MAXHOST_WIN32_CALL HBITMAP WINAPI maxhost_LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
MAXHOST_WIN32_CALL HCURSOR WINAPI maxhost_LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);
MAXHOST_WIN32_CALL HCURSOR WINAPI maxhost_SetCursor(HCURSOR hCursor);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_DeleteObject(HGDIOBJ ho);
MAXHOST_WIN32_CALL HINSTANCE WINAPI maxhost_ShellExecuteW(HWND hwnd, LPCWSTR lpOperation,
                                                          LPCWSTR lpFile, LPCWSTR lpParameters,
                                                          LPCWSTR lpDirectory, INT nShowCmd);
MAXHOST_WIN32_CALL int WINAPI maxhost_MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption,
                                                  UINT uType);
MAXHOST_WIN32_CALL HWND WINAPI maxhost_GetDlgItem(HWND hDlg, int nIDDlgItem);
MAXHOST_WIN32_CALL int WINAPI maxhost_GetDlgCtrlID(HWND hWnd);
MAXHOST_WIN32_CALL HWND WINAPI maxhost_GetParent(HWND hWnd);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_IsWindow(HWND hWnd);
MAXHOST_WIN32_CALL LRESULT WINAPI maxhost_SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam,
                                                       LPARAM lParam);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam,
                                                    LPARAM lParam);
MAXHOST_WIN32_CALL LRESULT WINAPI maxhost_SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg,
                                                              WPARAM wParam, LPARAM lParam);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_SetWindowTextW(HWND hWnd, LPCWSTR lpString);
MAXHOST_WIN32_CALL int WINAPI maxhost_GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
MAXHOST_WIN32_CALL int WINAPI maxhost_GetWindowTextLengthW(HWND hWnd);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString);
MAXHOST_WIN32_CALL UINT WINAPI maxhost_GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString,
                                                       int cchMax);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_EnableWindow(HWND hWnd, BOOL bEnable);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_IsWindowEnabled(HWND hWnd);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_ShowWindow(HWND hWnd, int nCmdShow);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_IsWindowVisible(HWND hWnd);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
MAXHOST_WIN32_CALL UINT WINAPI maxhost_IsDlgButtonChecked(HWND hDlg, int nIDButton);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_CheckRadioButton(HWND hDlg, int nIDFirstButton,
                                                        int nIDLastButton, int nIDCheckButton);
MAXHOST_WIN32_CALL LONG_PTR WINAPI maxhost_GetWindowLongPtrW(HWND hWnd, int nIndex);
MAXHOST_WIN32_CALL LONG_PTR WINAPI maxhost_SetWindowLongPtrW(HWND hWnd, int nIndex,
                                                             LONG_PTR dwNewLong);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_GetClientRect(HWND hWnd, LPRECT lpRect);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_GetWindowRect(HWND hWnd, LPRECT lpRect);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
MAXHOST_WIN32_CALL BOOL WINAPI maxhost_DestroyWindow(HWND hWnd);

#define DisableThreadLibraryCalls maxhost_DisableThreadLibraryCalls
#undef GetModuleFileName
#define GetModuleFileName maxhost_GetModuleFileNameW
#define GetModuleFileNameW maxhost_GetModuleFileNameW
#undef GetModuleHandle
#define GetModuleHandle maxhost_GetModuleHandleW
#define GetModuleHandleW maxhost_GetModuleHandleW
#undef LoadString
#define LoadString maxhost_LoadStringW
#define LoadStringW maxhost_LoadStringW
#undef FindResource
#define FindResource maxhost_FindResourceW
#define FindResourceW maxhost_FindResourceW
#undef FindResourceEx
#define FindResourceEx maxhost_FindResourceExW
#define FindResourceExW maxhost_FindResourceExW
#define LoadResource maxhost_LoadResource
#define SizeofResource maxhost_SizeofResource
#define LockResource maxhost_LockResource
#define FreeResource maxhost_FreeResource
#undef LoadBitmap
#define LoadBitmap maxhost_LoadBitmapW
#define LoadBitmapW maxhost_LoadBitmapW
#undef LoadCursor
#define LoadCursor maxhost_LoadCursorW
#define LoadCursorW maxhost_LoadCursorW
#define SetCursor maxhost_SetCursor
#define DeleteObject maxhost_DeleteObject
#undef ShellExecute
#define ShellExecute maxhost_ShellExecuteW
#define ShellExecuteW maxhost_ShellExecuteW
#undef MessageBox
#define MessageBox maxhost_MessageBoxW
#define MessageBoxW maxhost_MessageBoxW
#define GetDlgItem maxhost_GetDlgItem
#define GetDlgCtrlID maxhost_GetDlgCtrlID
#define GetParent maxhost_GetParent
#define IsWindow maxhost_IsWindow
#undef SendMessage
#define SendMessage maxhost_SendMessageW
#define SendMessageW maxhost_SendMessageW
#undef PostMessage
#define PostMessage maxhost_PostMessageW
#define PostMessageW maxhost_PostMessageW
#undef SendDlgItemMessage
#define SendDlgItemMessage maxhost_SendDlgItemMessageW
#define SendDlgItemMessageW maxhost_SendDlgItemMessageW
#undef SetWindowText
#define SetWindowText maxhost_SetWindowTextW
#define SetWindowTextW maxhost_SetWindowTextW
#undef GetWindowText
#define GetWindowText maxhost_GetWindowTextW
#define GetWindowTextW maxhost_GetWindowTextW
#undef GetWindowTextLength
#define GetWindowTextLength maxhost_GetWindowTextLengthW
#define GetWindowTextLengthW maxhost_GetWindowTextLengthW
#undef SetDlgItemText
#define SetDlgItemText maxhost_SetDlgItemTextW
#define SetDlgItemTextW maxhost_SetDlgItemTextW
#undef GetDlgItemText
#define GetDlgItemText maxhost_GetDlgItemTextW
#define GetDlgItemTextW maxhost_GetDlgItemTextW
#define EnableWindow maxhost_EnableWindow
#define IsWindowEnabled maxhost_IsWindowEnabled
#define ShowWindow maxhost_ShowWindow
#define IsWindowVisible maxhost_IsWindowVisible
#define CheckDlgButton maxhost_CheckDlgButton
#define IsDlgButtonChecked maxhost_IsDlgButtonChecked
#define CheckRadioButton maxhost_CheckRadioButton
#undef GetWindowLongPtr
#define GetWindowLongPtr maxhost_GetWindowLongPtrW
#define GetWindowLongPtrW maxhost_GetWindowLongPtrW
#undef SetWindowLongPtr
#define SetWindowLongPtr maxhost_SetWindowLongPtrW
#define SetWindowLongPtrW maxhost_SetWindowLongPtrW
#define GetClientRect maxhost_GetClientRect
#define GetWindowRect maxhost_GetWindowRect
#define InvalidateRect maxhost_InvalidateRect
#define DestroyWindow maxhost_DestroyWindow

#endif  // _WIN32

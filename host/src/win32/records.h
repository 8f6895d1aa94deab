// Calls that would reach the desktop (opening a document, a message box) are
// recorded instead; the command-line host and tests read the records.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace maxhost {

struct ShellExecuteRecord {
  HWND owner = nullptr;
  std::optional<std::wstring> operation;  // nullopt for a null pointer
  std::wstring file;
  std::optional<std::wstring> parameters;
  std::optional<std::wstring> directory;
  int show_command = 0;
};

struct MessageBoxRecord {
  HWND owner = nullptr;
  std::wstring text;
  std::wstring caption;
  UINT type = 0;
};

std::vector<ShellExecuteRecord> ShellExecuteLog();
void ClearShellExecuteLog();

std::vector<MessageBoxRecord> MessageBoxLog();
void ClearMessageBoxLog();
// What MessageBoxW answers from now on (IDOK until set).
void SetMessageBoxAnswer(int answer);

}  // namespace maxhost

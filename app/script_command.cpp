#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "app_error.h"
#include "base/text.h"
#include "commands.h"
#include "host_session.h"
#include "maxscript/engine.h"
#include "win32/records.h"

namespace tilvara_app {
namespace {

struct ScriptArgs {
  std::vector<std::string> files;
  std::string expression;
  bool syntaxOnly = false;
  std::optional<double> timeoutSeconds;
  std::optional<double> heapLimitMegabytes;
};

void PrintUtf8(FILE* out, const std::wstring& text) {
  const std::string bytes = maxhost::Utf8FromWide(text);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
}

// A script error: its last line (the listener's "-- reason") as the app's error line, then
// the listener's whole report, which says where the error occurred.
void PrintScriptError(const std::wstring& source, const std::wstring& report) {
  std::wstring text = report;
  while (!text.empty() && text.back() == L'\n') text.pop_back();
  const size_t start = text.rfind(L'\n');
  std::wstring why = start == std::wstring::npos ? text : text.substr(start + 1);
  if (why.starts_with(L"-- ")) why.erase(0, 3);
  std::fflush(stdout);
  PrintUtf8(stderr, L"tilvara: error: " + source + L": " + why + L"\n" + text + L"\n");
}

// What the stand-in's desktop received during the run: message boxes and shell opens.
void PrintDesktopRecords() {
  for (const auto& box : maxhost::MessageBoxLog()) {
    PrintUtf8(stdout, L"[message box \"" + box.caption + L"\"] " + box.text + L"\n");
  }
  for (const auto& open : maxhost::ShellExecuteLog()) {
    PrintUtf8(stdout, L"[shell " + open.operation.value_or(L"") + L"] " + open.file + L"\n");
  }
  std::fflush(stdout);
  maxhost::ClearMessageBoxLog();
  maxhost::ClearShellExecuteLog();
}

// A script file as the engine reads one: only a regular file (a FIFO or a device would
// block or never end), no larger than the engine's size limit.
std::wstring ReadScript(const std::string& path) {
  std::wstring text;
  std::string why;
  if (!maxhost::mxs::read_script_file(path, text, why)) throw AppError(path, why);
  return text;
}

int CheckSyntax(const std::vector<std::string>& files) {
  int failed = 0;
  for (const std::string& file : files) {
    std::wstring text;
    try {
      text = ReadScript(file);
    } catch (const AppError& e) {
      std::fprintf(stderr, "tilvara: error: %s\n", e.what());
      ++failed;
      continue;
    }
    const auto errors = maxhost::mxs::check_syntax(text, maxhost::WideFromUtf8(file));
    for (const auto& d : errors) PrintUtf8(stderr, L"tilvara: error: " + d.format() + L"\n");
    if (!errors.empty()) ++failed;
  }
  return failed ? 1 : 0;
}

// Ctrl-C stops a running script as the host's Escape key does; the engine reports the
// interruption as a script error.
#if defined(_WIN32)
// The console calls the handler on a thread of its own, as a signal would interrupt.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  maxhost::mxs::request_interrupt();
  return TRUE;
}

class InterruptHandler {
 public:
  InterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }
  ~InterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, FALSE); }
  InterruptHandler(const InterruptHandler&) = delete;
  InterruptHandler& operator=(const InterruptHandler&) = delete;
};
#else
extern "C" void OnInterrupt(int) {
  maxhost::mxs::request_interrupt();
}

class InterruptHandler {
 public:
  InterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptHandler() { sigaction(SIGINT, &previous_, nullptr); }
  InterruptHandler(const InterruptHandler&) = delete;
  InterruptHandler& operator=(const InterruptHandler&) = delete;

 private:
  struct sigaction previous_ {};
};
#endif

void ApplyLimits(const ScriptArgs& args) {
  maxhost::mxs::RunLimits limits = maxhost::mxs::run_limits();
  if (args.timeoutSeconds) limits.timeout_seconds = *args.timeoutSeconds;
  if (args.heapLimitMegabytes)
    limits.heap_limit_bytes = static_cast<std::size_t>(*args.heapLimitMegabytes * 1024.0 * 1024.0);
  maxhost::mxs::set_run_limits(limits);
}

int Run(const ScriptArgs& args, const GlobalOptions& global) {
  if (args.syntaxOnly) {
    if (args.files.empty()) throw AppError("script", "--syntax-only needs at least one file");
    return CheckSyntax(args.files);
  }
  if (args.expression.empty() == args.files.empty())
    throw AppError("script", "give either a script file or -e EXPR");
  if (args.files.size() > 1)
    throw AppError("script", "runs one file at a time (or use --syntax-only)");
  ApplyLimits(args);
  const bool fromFile = args.expression.empty();
  const std::wstring source = fromFile ? maxhost::WideFromUtf8(args.files[0]) : L"-e";
  const std::wstring text =
      fromFile ? ReadScript(args.files[0]) : maxhost::WideFromUtf8(args.expression);

  HostSession session(PluginFolder(global));
  maxhost::mxs::set_output_sink([](const std::wstring& out) {
    PrintUtf8(stdout, out);
    std::fflush(stdout);
  });
  maxhost::mxs::RunResult result;
  {
    InterruptHandler interrupts;
    result = maxhost::mxs::run_string(text, source);
  }
  maxhost::mxs::set_output_sink(nullptr);
  PrintDesktopRecords();
  for (const auto& d : result.syntax_errors)
    PrintUtf8(stderr, L"tilvara: error: " + d.format() + L"\n");
  if (!result.ok) {
    if (!result.error.empty()) PrintScriptError(source, result.error);
    return 1;
  }
  if (!fromFile) PrintUtf8(stdout, result.result + L"\n");
  return 0;
}

}  // namespace

Runner AddScriptCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<ScriptArgs>();
  app.add_option("file", args->files, "a MAXScript file to run (several with --syntax-only)");
  app.add_option("-e,--expression", args->expression,
                 "evaluate one expression and print its value");
  app.add_flag(
      "--syntax-only", args->syntaxOnly,
      "parse the files without running them; report every syntax error as file:line:column");
  app.add_option("--timeout", args->timeoutSeconds,
                 "stop the script after this many seconds (as the Escape key does)")
      ->check(CLI::Range(0.001, 1e6));
  app.add_option("--heap-limit", args->heapLimitMegabytes,
                 "the script engine's heap limit in megabytes; a script that needs more fails")
      ->check(CLI::Range(1.0, 1048576.0));
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app

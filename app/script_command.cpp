#include <cstdio>
#include <memory>

#include "app_error.h"
#include "commands.h"
#include "host_session.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "win32/records.h"

namespace tilvara_app {
namespace {

struct ScriptArgs {
  std::vector<std::string> files;
  std::string expression;
  bool syntaxOnly = false;
};

void PrintUtf8(FILE* out, const std::wstring& text) {
  const std::string bytes = maxhost::Utf8FromWide(text);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
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

int CheckSyntax(const std::vector<std::string>& files) {
  int failed = 0;
  for (const std::string& file : files) {
    std::wstring text;
    std::string why;
    if (!maxhost::mxs::read_script_file(file, text, why)) {
      std::fprintf(stderr, "tilvara: error: %s: %s\n", file.c_str(), why.c_str());
      ++failed;
      continue;
    }
    const auto errors = maxhost::mxs::check_syntax(text, maxhost::WideFromUtf8(file));
    for (const auto& d : errors) PrintUtf8(stderr, d.format() + L"\n");
    if (!errors.empty()) ++failed;
  }
  return failed ? 1 : 0;
}

int Run(const ScriptArgs& args, const GlobalOptions& global) {
  if (args.syntaxOnly) {
    if (args.files.empty()) throw AppError("script", "--syntax-only needs at least one file");
    return CheckSyntax(args.files);
  }
  if (args.expression.empty() == args.files.empty())
    throw AppError("script", "give either a script file or -e EXPR");
  if (args.files.size() > 1) throw AppError("script", "runs one file at a time (or use --syntax-only)");

  HostSession session(PluginFolder(global));
  maxhost::mxs::set_output_sink([](const std::wstring& text) {
    PrintUtf8(stdout, text);
    std::fflush(stdout);
  });
  maxhost::mxs::RunResult result;
  if (!args.expression.empty()) {
    result = maxhost::mxs::run_string(maxhost::WideFromUtf8(args.expression), L"-e");
  } else {
    std::wstring text;
    std::string why;
    if (!maxhost::mxs::read_script_file(args.files[0], text, why)) throw AppError(args.files[0], why);
    result = maxhost::mxs::run_string(text, maxhost::WideFromUtf8(args.files[0]));
  }
  maxhost::mxs::set_output_sink(nullptr);
  PrintDesktopRecords();
  for (const auto& d : result.syntax_errors) PrintUtf8(stderr, d.format() + L"\n");
  if (!result.ok) {
    if (!result.error.empty()) PrintUtf8(stderr, result.error + L"\n");
    return 1;
  }
  if (!args.expression.empty()) PrintUtf8(stdout, result.result + L"\n");
  return 0;
}

}  // namespace

Runner AddScriptCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<ScriptArgs>();
  app.add_option("file", args->files, "a MAXScript file to run (several with --syntax-only)");
  app.add_option("-e,--expression", args->expression, "evaluate one expression and print its value");
  app.add_flag("--syntax-only", args->syntaxOnly,
               "parse the files without running them; report every syntax error as file:line:column");
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app

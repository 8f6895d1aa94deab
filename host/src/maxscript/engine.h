// The engine's internal C++ interface for the command-line host, tests and the other
// stand-in libraries: running scripts, checking syntax, capturing output, registering
// native globals, and the errors the engine has reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

// Output of print and format goes to the sink (default: standard output, UTF-8).
using OutputSink = std::function<void(const std::wstring&)>;
void set_output_sink(OutputSink sink);  // an empty sink restores standard output
void write_output(const std::wstring& text);

struct Diagnostic {
  std::wstring file;
  int line = 0;
  int column = 0;
  std::wstring message;
  // "file:line:column: syntax error: message"
  std::wstring format() const;
};

struct RunResult {
  bool ok = true;       // no syntax and no runtime error
  std::wstring output;  // what print and format wrote during the run
  std::wstring result;  // printed form of the last value (empty on error)
  std::wstring error;   // the listener's error text, "-- ..." lines
  std::vector<Diagnostic> syntax_errors;
};

// What a run may use. A run past its time or step limit stops as an interrupted one does;
// one whose script heap stays above its limit after a collection stops with an
// out-of-memory runtime error. Neither can be caught by the script's try.
struct RunLimits {
  double timeout_seconds = 0;                  // 0: none
  std::size_t heap_limit_bytes = 1ull << 30;   // bytes owned by the script's values
  std::size_t max_script_bytes = 16ull << 20;  // largest script file read_script_file reads
  std::uint64_t max_steps = 0;                 // evaluator steps (loop iterations, calls); 0: none
};
void set_run_limits(const RunLimits& limits);
RunLimits run_limits();

// Stops every run in progress at its next loop iteration, call or collection, as the
// host's Escape key does. Async-signal-safe: it only updates a lock-free atomic, so a
// SIGINT handler may call it. A request made before a run starts does not affect it.
void request_interrupt();

// Runs text in the global scope. Top-level expressions before a syntax error run, as
// the host's file-in does; the error then ends the run.
RunResult run_string(const std::wstring& text, const std::wstring& source_name = L"");
RunResult run_file(const std::string& path);

// Every syntax error of the text, recovering at the next top-level line after each.
std::vector<Diagnostic> check_syntax(const std::wstring& text, const std::wstring& file);
std::vector<Diagnostic> check_syntax_file(const std::string& path);

// Reads a script file: UTF-8 (with or without byte-order mark), else the ANSI code page.
bool read_script_file(const std::string& path, std::wstring& text, std::string& error);

// Native globals. Built-in functions are assignable globals; constants are not.
void define_global(const std::wstring& name, Value* v, bool constant = false);
Value* global_value(const std::wstring& name);  // nullptr when undefined
Primitive* define_primitive(const std::wstring& name, Primitive::Fn fn);
// Removes every global a script made and gives native globals their registered values
// back, so that tests start from a clean global scope.
void reset_globals();

// The listener's text for an error: "-- Error occurred in ...; line: N" (when
// with_position) then "-- <message>".
std::wstring error_text(const MAXScriptException& e, bool with_position = true);

// Errors reported through ProcessMAXScriptException, in order.
struct ReportedError {
  std::wstring caption;
  std::wstring text;
  bool message_box = false;
};
std::vector<ReportedError> reported_errors();
void clear_reported_errors();

// Reports an error raised by a script callback (an event handler): listener text and a
// message box, as the host does for errors outside any caller's try.
void report_script_error(MAXScriptException& e, const std::wstring& caption = L"MAXScript");

}  // namespace maxhost::mxs

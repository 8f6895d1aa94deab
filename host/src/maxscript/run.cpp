// Running scripts (engine.h): reading script files, checking syntax, and runs that end
// with a RunResult whatever the script does.
#include <new>
#include <stdexcept>

#include "base/files.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/parser.h"
#include "maxscript/run_guard.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {

void begin_output_capture(std::wstring* into);
void end_output_capture();

namespace {

std::wstring syntax_text(const SyntaxError& e) {
  return L"-- Syntax error: " + e.message + L"\n--  In line: " + e.line_text + L"\n";
}

// UTF-8 when the bytes are well-formed UTF-8, else the ANSI code page (Latin-1 here).
std::wstring decode_script(const std::string& bytes) {
  std::wstring wide = WideFromUtf8(bytes);
  if (Utf8FromWide(wide) == bytes) return wide;
  std::wstring latin1;
  latin1.reserve(bytes.size());
  for (char c : bytes) latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return latin1;
}

// The reason of a failed Status, without the function that leads its message.
std::string reason_of(const std::string& error, const std::string& function) {
  const std::string lead = function + ": ";
  return error.rfind(lead, 0) == 0 ? error.substr(lead.size()) : error;
}

void fail_run(RunResult& r, const std::wstring& text) {
  r.ok = false;
  r.result.clear();
  r.error = text;
}

}  // namespace

namespace {

// A file that opens with a UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian), as
// the host's editor saves Unicode scripts; an odd last byte is dropped as malformed.
std::wstring decode_utf16(const std::string& bytes) {
  bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    auto a = static_cast<unsigned char>(bytes[i]);
    auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(little ? (b << 8) | a : (a << 8) | b));
  }
  return WideFromUtf16(units);
}

}  // namespace

bool read_script_file(const std::string& path, std::wstring& text, std::string& error) {
  std::string bytes;
  Status read = ReadRegularFile("read_script_file", path, run_limits().max_script_bytes, bytes);
  if (!read) {
    error = read.error;
    return false;
  }
  if (bytes.size() >= 2 &&
      (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
    text = decode_utf16(bytes);
    return true;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  text = decode_script(bytes);
  return true;
}

std::vector<Diagnostic> check_syntax(const std::wstring& text, const std::wstring& file) {
  std::vector<Diagnostic> out;
  for (const SyntaxError& e : parse_program(text, file).errors)
    out.push_back({file, e.line, e.column, e.message});
  return out;
}

std::vector<Diagnostic> check_syntax_file(const std::string& path) {
  std::wstring text;
  std::string error;
  std::wstring wide_path = WideFromUtf8(path);
  if (!read_script_file(path, text, error)) return {{wide_path, 0, 0, WideFromUtf8(error)}};
  return check_syntax(text, wide_path);
}

RunResult run_string(const std::wstring& text, const std::wstring& source_name) {
  init_MAXScript();
  RunScope run;
  RunResult r;
  begin_output_capture(&r.output);
  struct EndCapture {
    ~EndCapture() { end_output_capture(); }
  } end_capture;
  try {
    ParseResult parsed = parse_program(text, source_name);
    for (const SyntaxError& e : parsed.errors)
      r.syntax_errors.push_back({source_name, e.line, e.column, e.message});
    Value* v = eval_program(parsed.program);
    if (!parsed.errors.empty()) {
      fail_run(r, syntax_text(parsed.errors.front()));
      return r;
    }
    r.result = printed(v);
  } catch (MAXScriptException& e) {
    fail_run(r, error_text(e, true));
  } catch (std::bad_alloc&) {
    fail_run(r, L"-- Runtime error: out of memory\n");
  } catch (std::length_error&) {
    fail_run(r, L"-- Runtime error: out of memory\n");
  } catch (std::exception& e) {
    fail_run(r, L"-- Unknown system exception: " + WideFromUtf8(e.what()) + L"\n");
  } catch (...) {
    fail_run(r, L"-- Unknown system exception\n");
  }
  return r;
}

RunResult run_file(const std::string& path) {
  std::wstring text;
  std::string error;
  if (!read_script_file(path, text, error)) {
    RunResult r;
    fail_run(r, L"-- Unable to open file: " + WideFromUtf8(reason_of(error, "read_script_file")) +
                    L"\n");
    return r;
  }
  return run_string(text, WideFromUtf8(path));
}

}  // namespace maxhost::mxs

// The SDK-named entry points and the engine's internal interface (engine.h).
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/parser.h"
#include "maxscript/run_guard.h"
#include "maxscript/values_util.h"

#include <windows.h>
#include <ifnpub.h>

int MAXScript_signals = 0;

namespace maxhost::mxs {
namespace {

// Heap-allocated and never freed, like the other engine tables: the plug-in may report
// while the process's statics are being destroyed.
struct Shared {
  std::mutex sink_mutex;
  OutputSink sink;
  std::mutex errors_mutex;
  std::vector<ReportedError> errors;
};
Shared& shared() {
  static auto* s = new Shared;
  return *s;
}
thread_local std::vector<std::wstring*> g_captures;

// Globals registered by native code, with their registered values.
std::unordered_map<Value*, Value*>& native_globals() {
  static auto* m = new std::unordered_map<Value*, Value*>;
  return *m;
}


std::wstring syntax_text(const SyntaxError& e) {
  return L"-- Syntax error: " + e.message + L"\n--  In line: " + e.line_text + L"\n";
}

}  // namespace

std::string to_utf8(const std::wstring& s) {
  std::string out;
  for (wchar_t wc : s) {
    auto c = static_cast<std::uint32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Strict UTF-8; returns false on any malformed sequence.
static bool decode_utf8(const std::string& s, std::wstring& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80             ? 0
                : (c & 0xE0) == 0xC0 ? 1
                : (c & 0xF0) == 0xE0 ? 2
                : (c & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) {
      if (extra != 0) return false;
    }
    std::uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if (i + static_cast<std::size_t>(k) >= s.size()) return false;
      auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    out += static_cast<wchar_t>(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::wstring from_utf8(const std::string& s) {
  std::wstring out;
  if (decode_utf8(s, out)) return out;
  out.clear();
  for (char c : s) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

void set_output_sink(OutputSink sink) {
  std::lock_guard<std::mutex> lock(shared().sink_mutex);
  shared().sink = std::move(sink);
}

void write_output(const std::wstring& text) {
  for (std::wstring* c : g_captures) *c += text;
  OutputSink sink;
  {
    std::lock_guard<std::mutex> lock(shared().sink_mutex);
    sink = shared().sink;
  }
  if (sink) {
    sink(text);
  } else {
    std::string u = to_utf8(text);
    std::fwrite(u.data(), 1, u.size(), stdout);
    std::fflush(stdout);
  }
}

std::wstring Diagnostic::format() const {
  return file + L":" + std::to_wstring(line) + L":" + std::to_wstring(column) +
         L": syntax error: " + message;
}

std::wstring error_text(const MAXScriptException& e, bool with_position) {
  std::wstring out;
  if (with_position && e.source_line > 0) {
    out += L"-- Error occurred in ";
    out += e.function_name.empty() ? L"anonymous codeblock" : e.function_name + L"()";
    out += L"; filename: " + e.source_file + L"; position: " +
           std::to_wstring(e.source_position < 0 ? 0 : e.source_position) + L"; line: " +
           std::to_wstring(e.source_line) + L"\n";
  }
  out += L"-- " + e.message() + L"\n";
  return out;
}

std::vector<ReportedError> reported_errors() {
  std::lock_guard<std::mutex> lock(shared().errors_mutex);
  return shared().errors;
}
void clear_reported_errors() {
  std::lock_guard<std::mutex> lock(shared().errors_mutex);
  shared().errors.clear();
}

static void record_error(const std::wstring& caption, const std::wstring& text, bool box) {
  std::lock_guard<std::mutex> lock(shared().errors_mutex);
  shared().errors.push_back({caption, text, box});
}

static void show_box(const std::wstring& text, const std::wstring& caption) {
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

void report_script_error(MAXScriptException& e, const std::wstring& caption) {
  ProcessMAXScriptException(e, caption.c_str(), true, true, true, false);
}

void define_global(const std::wstring& name, Value* v, bool constant) {
  if (globals == nullptr) init_MAXScript();
  Value* n = Name::intern(name.c_str());
  native_globals()[n] = v;
  Value* g = globals->get(n);
  if (g != nullptr && (is_globalthunk(g) || is_constglobalthunk(g)) &&
      is_constglobalthunk(g) == constant) {
    static_cast<GlobalThunk*>(g)->cell = v;
    return;
  }
  globals->put(n, constant ? new ConstGlobalThunk(n, v) : new GlobalThunk(n, v));
}

Value* global_value(const std::wstring& name) {
  init_MAXScript();
  Value* g = globals->get(Name::intern(name.c_str()));
  while (g != nullptr && (is_globalthunk(g) || is_constglobalthunk(g)))
    g = static_cast<GlobalThunk*>(g)->cell;
  return g;
}

Primitive* define_primitive(const std::wstring& name, Primitive::Fn fn) {
  auto* p = new Primitive(name.c_str(), std::move(fn));
  define_global(name, p, false);
  return p;
}

void reset_globals() {
  init_MAXScript();
  auto& natives = native_globals();
  for (auto it = globals->table.begin(); it != globals->table.end();) {
    auto found = natives.find(it->first);
    if (found == natives.end()) {
      it = globals->table.erase(it);
      continue;
    }
    if (is_globalthunk(it->second) || is_constglobalthunk(it->second))
      static_cast<GlobalThunk*>(it->second)->cell = found->second;
    ++it;
  }
}

void mark_native_globals() {
  for (auto& kv : native_globals()) Value::gc_mark(kv.second);
}

bool read_script_file(const std::string& path, std::wstring& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open file";
    return false;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  std::string bytes = ss.str();
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  text = from_utf8(bytes);
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
  if (!read_script_file(path, text, error)) return {{from_utf8(path), 0, 0, from_utf8(error)}};
  return check_syntax(text, from_utf8(path));
}

RunResult run_string(const std::wstring& text, const std::wstring& source_name) {
  init_MAXScript();
  RunScope run;
  RunResult r;
  g_captures.push_back(&r.output);
  struct Pop {
    ~Pop() { g_captures.pop_back(); }
  } pop;
  ParseResult parsed = parse_program(text, source_name);
  for (const SyntaxError& e : parsed.errors)
    r.syntax_errors.push_back({source_name, e.line, e.column, e.message});
  try {
    Value* v = eval_program(parsed.program);
    if (parsed.errors.empty()) r.result = printed(v);
  } catch (MAXScriptException& e) {
    r.ok = false;
    r.error = error_text(e, true);
    return r;
  } catch (std::bad_alloc&) {
    r.ok = false;
    r.error = L"-- Runtime error: out of memory\n";
    return r;
  } catch (std::exception& e) {
    r.ok = false;
    r.error = L"-- Unknown system exception: " + from_utf8(e.what()) + L"\n";
    return r;
  } catch (...) {
    r.ok = false;
    r.error = L"-- Unknown system exception\n";
    return r;
  }
  if (!parsed.errors.empty()) {
    r.ok = false;
    r.error = syntax_text(parsed.errors.front());
  }
  return r;
}

RunResult run_file(const std::string& path) {
  std::wstring text;
  std::string error;
  if (!read_script_file(path, text, error)) {
    RunResult r;
    r.ok = false;
    r.error = L"-- Unable to open file: " + from_utf8(path) + L"\n";
    return r;
  }
  return run_string(text, from_utf8(path));
}

void mark_engine_roots() {
  mark_native_globals();
}

}  // namespace maxhost::mxs

using namespace maxhost::mxs;

void init_MAXScript() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (globals == nullptr) globals = new HashTable();
    globals->make_heap_permanent();
    register_builtins();
    register_wrapper_classes();
  });
}

// The result as a published-function value: numbers, booleans and strings by value,
// host objects by reference, anything else as the script value itself.
static void store_result(Value* v, FPValue& out) {
  if (is_integer(v)) {
    out.Load(TYPE_INT, v->to_int());
  } else if (is_float(v)) {
    out.Load(TYPE_FLOAT, v->to_float());
  } else if (is_bool(v)) {
    out.Load(TYPE_BOOL, v == &true_value ? 1 : 0);
  } else if (is_string(v)) {
    out.LoadString(v->to_string());
    out.type = TYPE_STRING;
  } else if (auto* w = dynamic_cast<MAXWrapper*>(v); w != nullptr && w->get_ref() != nullptr) {
    out.LoadPtr(TYPE_REFTARG, w->get_ref());
  } else {
    out.Load(TYPE_VALUE, v);
  }
}

BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv, BOOL logQuietErrors) {
  init_MAXScript();
  ParseResult parsed = parse_program(s ? s : L"", L"");
  try {
    if (!parsed.errors.empty()) {
      const SyntaxError& e = parsed.errors.front();
      MAXScriptException ex(L"Syntax error: " + e.message);
      ex.source_line = e.line;
      ex.source_column = e.column;
      ex.source_position = e.position;
      throw ex;
    }
    Value* result = eval_program(parsed.program);
    if (fpv != nullptr) store_result(result, *fpv);
    return TRUE;
  } catch (MAXScriptException& e) {
    if (!quietErrors)
      ProcessMAXScriptException(e, L"MAXScript", true, true, true, false);
    else if (logQuietErrors)
      ProcessMAXScriptException(e, L"MAXScript", false, true, true, false);
    else
      record_error(L"MAXScript", error_text(e, true), false);
  } catch (...) {
    UnknownSystemException e;
    ProcessMAXScriptException(e, L"MAXScript", false, false, true, quietErrors && !logQuietErrors);
  }
  return FALSE;
}

void ProcessMAXScriptException(MAXScriptException& e, const MCHAR* caption,
                               bool displayErrorMessageBox, bool showSourcePosition,
                               bool isTerminalHandling, bool quietErrors) {
  (void)isTerminalHandling;
  std::wstring text = error_text(e, showSourcePosition);
  std::wstring cap = caption ? caption : L"MAXScript";
  bool box = displayErrorMessageBox && !quietErrors;
  record_error(cap, text, box);
  if (!quietErrors) write_output(text);
  if (box) show_box(L"-- " + e.message(), cap);
}

void clear_error_source_data() {
  thread_state().current_exception = nullptr;
}

void init_thread_locals() {
  (void)thread_state();
}
void push_alloc_frame() {
  ++thread_state().alloc_frames;
}
void pop_alloc_frame() {
  ThreadState& t = thread_state();
  if (t.alloc_frames > 0) --t.alloc_frames;
}

ScopedMaxScriptEvaluationContext::ScopedMaxScriptEvaluationContext(bool, MAXScript_TLS* _tls)
    : tls_(_tls), saved_depth_(thread_state().eval_contexts++) {
  init_MAXScript();
  if (tls_ == nullptr) tls_ = reinterpret_cast<MAXScript_TLS*>(&thread_state());
}
ScopedMaxScriptEvaluationContext::~ScopedMaxScriptEvaluationContext() {
  thread_state().eval_contexts = saved_depth_;
}

ScopedSaveCurrentFrames::ScopedSaveCurrentFrames(MAXScript_TLS*)
    : saved_scopes_(thread_state().scopes.size()), saved_roots_(thread_state().temp_roots.size()) {}
ScopedSaveCurrentFrames::~ScopedSaveCurrentFrames() {
  ThreadState& t = thread_state();
  if (t.scopes.size() > saved_scopes_) t.scopes.resize(saved_scopes_);
  if (t.temp_roots.size() > saved_roots_) t.temp_roots.resize(saved_roots_);
}

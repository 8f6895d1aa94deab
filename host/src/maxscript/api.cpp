// The SDK-named entry points and the engine's internal interface (engine.h).
#include <cstdio>
#include <mutex>
#include <unordered_map>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/parser.h"
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

}  // namespace

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
    std::string u = Utf8FromWide(text);
    std::fwrite(u.data(), 1, u.size(), stdout);
    std::fflush(stdout);
  }
}

void begin_output_capture(std::wstring* into) {
  g_captures.push_back(into);
}
void end_output_capture() {
  g_captures.pop_back();
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

// The listener text and message box of a reported error; ProcessMAXScriptException's
// behaviour, also for host years whose SDK does not declare it.
static void report_exception(MAXScriptException& e, const MCHAR* caption,
                             bool displayErrorMessageBox, bool showSourcePosition,
                             bool quietErrors) {
  std::wstring text = error_text(e, showSourcePosition);
  std::wstring cap = caption ? caption : L"MAXScript";
  bool box = displayErrorMessageBox && !quietErrors;
  record_error(cap, text, box);
  if (!quietErrors) write_output(text);
  if (box) show_box(L"-- " + e.message(), cap);
}

void report_script_error(MAXScriptException& e, const std::wstring& caption) {
  report_exception(e, caption.c_str(), true, true, false);
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
  reset_new_names();
  set_print_all_elements(false);
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

static BOOL execute_script(const MCHAR* s, BOOL quietErrors, FPValue* fpv, BOOL logQuietErrors) {
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
      report_exception(e, L"MAXScript", true, true, false);
    else if (logQuietErrors)
      report_exception(e, L"MAXScript", false, true, false);
    else
      record_error(L"MAXScript", error_text(e, true), false);
  } catch (...) {
    UnknownSystemException e(0, MSTR());
    report_exception(e, L"MAXScript", false, false, quietErrors && !logQuietErrors);
  }
  return FALSE;
}

static void clear_error_source(ThreadState& t) {
  t.current_exception = nullptr;
}

#if MAX_VERSION_MAJOR >= 24
BOOL ExecuteMAXScriptScript(const MCHAR* s, MAXScript::ScriptSource, BOOL quietErrors, FPValue* fpv,
                            BOOL logQuietErrors) {
  return execute_script(s, quietErrors, fpv, logQuietErrors);
}
#elif MAX_VERSION_MAJOR >= 19
BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv, BOOL logQuietErrors) {
  return execute_script(s, quietErrors, fpv, logQuietErrors);
}
#else
BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv) {
  return execute_script(s, quietErrors, fpv, TRUE);
}
#endif

#if MAX_VERSION_MAJOR >= 28
void ProcessMAXScriptException(MAXScriptException& e, const MSTR& caption,
                               bool displayErrorMessageBox, bool showSourcePosition,
                               bool isTerminalHandling, bool quietErrors) {
  (void)isTerminalHandling;
  report_exception(e, caption.data(), displayErrorMessageBox, showSourcePosition, quietErrors);
}
#elif MAX_VERSION_MAJOR >= 19
void ProcessMAXScriptException(MAXScriptException& e, const MCHAR* caption,
                               bool displayErrorMessageBox, bool showSourcePosition,
                               bool isTerminalHandling, bool quietErrors) {
  (void)isTerminalHandling;
  report_exception(e, caption, displayErrorMessageBox, showSourcePosition, quietErrors);
}
#endif

#if MAX_VERSION_MAJOR >= 20
void clear_error_source_data(MAXScript_TLS* tls) {
  clear_error_source(tls ? *reinterpret_cast<ThreadState*>(tls) : thread_state());
}
void push_alloc_frame(MAXScript_TLS* tls) {
  ++(tls ? *reinterpret_cast<ThreadState*>(tls) : thread_state()).alloc_frames;
}
void pop_alloc_frame(MAXScript_TLS* tls) {
  ThreadState& t = tls ? *reinterpret_cast<ThreadState*>(tls) : thread_state();
  if (t.alloc_frames > 0) --t.alloc_frames;
}
#else
void clear_error_source_data() {
  clear_error_source(thread_state());
}
void push_alloc_frame() {
  ++thread_state().alloc_frames;
}
void pop_alloc_frame() {
  ThreadState& t = thread_state();
  if (t.alloc_frames > 0) --t.alloc_frames;
}
#endif

void init_thread_locals() {
  (void)thread_state();
}

#if MAX_VERSION_MAJOR >= 19

#if MAX_VERSION_MAJOR >= 20
ScopedMaxScriptEvaluationContext::ScopedMaxScriptEvaluationContext(bool initThreadLocals,
                                                                   MAXScript_TLS* _tls)
    : m_tls(_tls) {
#else
ScopedMaxScriptEvaluationContext::ScopedMaxScriptEvaluationContext(bool initThreadLocals)
    : m_tls(nullptr) {
#endif
  init_MAXScript();
  if (initThreadLocals) init_thread_locals();
  if (m_tls == nullptr) m_tls = reinterpret_cast<MAXScript_TLS*>(&thread_state());
  ThreadState& t = *reinterpret_cast<ThreadState*>(m_tls);
  m_saved_depth = t.eval_contexts++;
  ++t.alloc_frames;
}
ScopedMaxScriptEvaluationContext::~ScopedMaxScriptEvaluationContext() {
  ThreadState& t = *reinterpret_cast<ThreadState*>(m_tls);
  t.eval_contexts = m_saved_depth;
  if (t.alloc_frames > 0) --t.alloc_frames;
}

#if MAX_VERSION_MAJOR >= 20
ScopedSaveCurrentFrames::ScopedSaveCurrentFrames(MAXScript_TLS*)
#else
ScopedSaveCurrentFrames::ScopedSaveCurrentFrames()
#endif
    : saved_scopes_(thread_state().scopes.size()), saved_roots_(thread_state().temp_roots.size()) {
}
ScopedSaveCurrentFrames::~ScopedSaveCurrentFrames() {
  ThreadState& t = thread_state();
  if (t.scopes.size() > saved_scopes_) t.scopes.resize(saved_scopes_);
  if (t.temp_roots.size() > saved_roots_) t.temp_roots.resize(saved_roots_);
}
#endif

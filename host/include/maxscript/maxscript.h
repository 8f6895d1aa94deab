// The script engine as plug-ins see it: start-up, running script text, per-thread
// state, error reporting, and (through the included headers) the value classes.
#pragma once

#include "kernel/value.h"
#include "kernel/exceptions.h"
#include "foundation/numbers.h"
#include "foundation/colors.h"
#include "foundation/bitarrays.h"
#include "foundation/strings.h"
#include "foundation/name.h"
#include "foundation/arrays.h"
#include "foundation/hashtable.h"
#include "foundation/functions.h"
#include "foundation/structs.h"
#include "compiler/thunks.h"
#include "macros/value_locals.h"
#include "maxwrapper/mxsobjects.h"

class FPValue;
struct MAXScript_TLS;

// Starts the engine once (globals, built-ins); later calls do nothing.
ScripterExport void init_MAXScript();

// Runs script text in the global scope. Returns TRUE when it ran without error. With
// quietErrors an error shows no message box and is written to the listener only when
// logQuietErrors is set; otherwise it is reported as ProcessMAXScriptException does.
ScripterExport BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors = FALSE,
                                           FPValue* fpv = NULL, BOOL logQuietErrors = TRUE);

// Reports a script error: the listener text, and a message box (MessageBoxW with the
// caption) when displayErrorMessageBox is set and quietErrors is not.
ScripterExport void ProcessMAXScriptException(MAXScriptException& e, const MCHAR* caption,
                                              bool displayErrorMessageBox, bool showSourcePosition,
                                              bool isTerminalHandling, bool quietErrors = false);

ScripterExport void clear_error_source_data();

// Pending interrupt signals of the engine; code that recovers from errors resets it to 0.
extern ScripterExport int MAXScript_signals;

// Per-thread state. init_thread_locals prepares the calling thread's state;
// push_alloc_frame/pop_alloc_frame bracket native code that creates values.
ScripterExport void init_thread_locals();
ScripterExport void push_alloc_frame();
ScripterExport void pop_alloc_frame();

// Marks a call into the engine from native (plug-in) code for its lifetime.
class ScripterExport ScopedMaxScriptEvaluationContext {
 public:
  explicit ScopedMaxScriptEvaluationContext(bool allowPushThreadLocalsForNewThread = false,
                                            MAXScript_TLS* _tls = nullptr);
  ~ScopedMaxScriptEvaluationContext();
  ScopedMaxScriptEvaluationContext(const ScopedMaxScriptEvaluationContext&) = delete;
  ScopedMaxScriptEvaluationContext& operator=(const ScopedMaxScriptEvaluationContext&) = delete;
  MAXScript_TLS* Get_TLS() const { return tls_; }

 private:
  MAXScript_TLS* tls_;
  int saved_depth_;
};

// Saves the evaluator's current frames and restores them when the scope ends.
class ScripterExport ScopedSaveCurrentFrames {
 public:
  explicit ScopedSaveCurrentFrames(MAXScript_TLS* _tls = nullptr);
  ~ScopedSaveCurrentFrames();
  ScopedSaveCurrentFrames(const ScopedSaveCurrentFrames&) = delete;
  ScopedSaveCurrentFrames& operator=(const ScopedSaveCurrentFrames&) = delete;

 private:
  std::size_t saved_scopes_;
  std::size_t saved_roots_;
};

// The script engine as plug-ins see it: start-up, running script text, the global table,
// and (through the included headers) errors, per-thread state, value locals and the value
// classes. Host-object wrappers (MAXClass) are in maxwrapper/mxsobjects.h.
#pragma once

#include <maxversion.h>

#include "kernel/value.h"
#include "kernel/exceptions.h"
#include "kernel/interupts.h"
#include "kernel/MAXScript_TLS.h"
#include "kernel/collectable.h"
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
#if MAX_VERSION_MAJOR >= 24
#include "ScriptSource.h"
#endif

class FPValue;

// Starts the engine once (globals, built-ins); later calls do nothing.
ScripterExport void init_MAXScript();

// Runs script text in the global scope. Returns TRUE when it ran without error. With
// quietErrors an error shows no message box and is written to the listener only when
// logQuietErrors is set (up to 2016 it always is); otherwise it is reported as
// ProcessMAXScriptException does. From 2022 the caller says where the text comes from.
#if MAX_VERSION_MAJOR >= 24
ScripterExport BOOL ExecuteMAXScriptScript(const MCHAR* s, MAXScript::ScriptSource scriptSource,
                                           BOOL quietErrors = FALSE, FPValue* fpv = nullptr,
                                           BOOL logQuietErrors = TRUE);
#elif MAX_VERSION_MAJOR >= 19
ScripterExport BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors = FALSE,
                                           FPValue* fpv = NULL, BOOL logQuietErrors = TRUE);
#else
ScripterExport BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors = FALSE,
                                           FPValue* fpv = NULL);
#endif

// The global variables: Name -> GlobalThunk / ConstGlobalThunk.
extern ScripterExport HashTable* globals;

#include "editor/script_bridge.h"

#include <windows.h>

#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/mxsobjects.h>

#include "resource.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

namespace {

const MCHAR* const kErrorCaption = _M("Tilva BitmapList");
const MCHAR* const kShowEntry = _M("fn_From_Cpp_ShowTilva_Dialog");
const MCHAR* const kUpdateEntry = _M("fn_From_Cpp_UpdateTilva_Dialog");
const MCHAR* const kCloseEntry = _M("fn_From_Cpp_CloseTilva_Dialog");

// From 2019 (SDK 21) a call runs inside the engine's evaluation context and reports the
// errors of an entry function; before, the errors are swallowed and a failing dialog script
// is not run again.
#if MAX_VERSION_MAJOR >= 21
#define TILVARA_BRIDGE_REPORTS_ERRORS 1
#else
#define TILVARA_BRIDGE_REPORTS_ERRORS 0
#endif

// Set once the dialog script has run without error (2017 and 2018: once it has been run at
// all); never cleared.
bool scriptLoaded = false;

BOOL ExecuteDialogScript(const WStr& text) {
  // Errors are only logged: the user sees nothing.
#if MAX_VERSION_MAJOR >= 24
  return ExecuteMAXScriptScript(text.data(), MAXScript::ScriptSource::NonEmbedded, TRUE, nullptr,
                                TRUE);
#elif MAX_VERSION_MAJOR >= 19
  return ExecuteMAXScriptScript(text.data(), TRUE, nullptr, TRUE);
#else
  return ExecuteMAXScriptScript(text.data(), TRUE, nullptr);
#endif
}

// Looks the global function `name` up and calls it with `arg`; the result, or null when
// the function is missing. Script errors leave as exceptions.
Value* CallGlobal(Value** locals, const MCHAR* name, Value* arg) {
  locals[0] = Name::intern(name);
  locals[1] = globals ? globals->get(locals[0]) : nullptr;
  while (locals[1] && (is_globalthunk(locals[1]) || is_constglobalthunk(locals[1])))
    locals[1] = static_cast<GlobalThunk*>(locals[1])->cell;
  // A script that does not define the entry leaves nothing, or an unassigned global.
  if (!locals[1] || locals[1] == &undefined) return nullptr;
  Value* args[1] = {arg};
  return locals[1]->apply(args, 1, nullptr);
}

}  // namespace

void EnsureDialogScriptLoaded() {
  if (scriptLoaded) return;
  init_MAXScript();
  HRSRC info = FindResourceW(hInstance, MAKEINTRESOURCEW(IDR_MANAGER_SCRIPT), L"Maxscript");
  if (!info) return;
  HGLOBAL data = LoadResource(hInstance, info);
  const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (!bytes) return;
  const DWORD size = SizeofResource(hInstance, info);
  const WStr text = WStr::FromACP(bytes, size);
#if TILVARA_BRIDGE_REPORTS_ERRORS
  // A failed run is tried again by the next call.
  if (ExecuteDialogScript(text) == TRUE) scriptLoaded = true;
#else
  ExecuteDialogScript(text);
  scriptLoaded = true;
#endif
}

bool DialogScriptLoaded() {
  return scriptLoaded;
}

Value* CallScriptFunction(const MCHAR* name, Value* arg, bool keep) {
  if (!arg) return nullptr;
#if TILVARA_BRIDGE_REPORTS_ERRORS
  // Prepares the thread's engine state and holds an allocation frame for the call.
  ScopedMaxScriptEvaluationContext context(true, nullptr);
  EnsureDialogScriptLoaded();
#else
  EnsureDialogScriptLoaded();
  init_thread_locals();
  push_alloc_frame();
#endif
  // The name, the function found and its result stay roots while the script runs.
  Value** locals;
  value_local_array(locals, 3);
  {
#if MAX_VERSION_MAJOR >= 19
    ScopedSaveCurrentFrames savedFrames;
#endif
    try {
      locals[2] = CallGlobal(locals, name, arg);
#if TILVARA_BRIDGE_REPORTS_ERRORS
    } catch (MAXScriptException& e) {
      ProcessMAXScriptException(e, kErrorCaption, true, false, true, false);
      locals[2] = nullptr;
    } catch (...) {
      UnknownSystemException e(0, MSTR());
      ProcessMAXScriptException(e, kErrorCaption, false, false, true, false);
      clear_error_source_data();
      MAXScript_signals = 0;
      locals[2] = nullptr;
    }
#else
    } catch (...) {
      clear_error_source_data();
      MAXScript_signals = 0;
      locals[2] = nullptr;
    }
#endif
  }
  Value* kept = keep && locals[2] ? locals[2]->make_heap_permanent() : nullptr;
#if MAX_VERSION_MAJOR < 19
  pop_value_local_array(locals);
#endif
#if !TILVARA_BRIDGE_REPORTS_ERRORS
  pop_alloc_frame();
#endif
  return kept;
}

void ShowManagerDialog(Pavimo& map) {
  CloseManagerDialog(map);
  init_MAXScript();
  Value** wrapper;
  value_local_array(wrapper, 1);
  wrapper[0] = MAXClass::make_wrapper_for(&map);
  Value* dialog = CallScriptFunction(kShowEntry, wrapper[0], true);
#if MAX_VERSION_MAJOR < 19
  pop_value_local_array(wrapper);
#endif
  if (dialog == &undefined) {
    dialog->make_collectable();
    dialog = nullptr;
  }
  map.SetListView(dialog);
  map.SetKeptDialog(dialog);
}

void UpdateManagerDialog(Pavimo& map) {
  if (Value* held = map.ListView()) CallScriptFunction(kUpdateEntry, held, false);
}

// The struct that the show path protected is released here, even when the user has
// closed the form since (the form's handler has then replaced `ListView` by undefined).
// Released, it lives on only as long as something else holds it: an open form reaches it
// through its Tag, which .NET keeps alive, so a form that failed to close keeps it.
void CloseManagerDialog(Pavimo& map) {
  Value* kept = map.KeptDialog();
  if (Value* held = map.ListView()) CallScriptFunction(kCloseEntry, held, false);
  if (kept) kept->make_collectable();
  map.SetKeptDialog(nullptr);
  map.SetListView(nullptr);
}

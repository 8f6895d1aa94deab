#include "editor/script_bridge.h"

#include <windows.h>

#include <maxscript/maxscript.h>

#include "resource.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

namespace {

const MCHAR* const kErrorCaption = _M("Tilva BitmapList");
const MCHAR* const kShowEntry = _M("fn_From_Cpp_ShowTilva_Dialog");
const MCHAR* const kUpdateEntry = _M("fn_From_Cpp_UpdateTilva_Dialog");
const MCHAR* const kCloseEntry = _M("fn_From_Cpp_CloseTilva_Dialog");

// Set once the dialog script has run without error; never cleared.
bool scriptLoaded = false;

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
  // Errors are only logged: the user sees nothing, and the next call tries again.
  if (ExecuteMAXScriptScript(text.data(), TRUE, nullptr, TRUE) == TRUE) scriptLoaded = true;
}

bool DialogScriptLoaded() {
  return scriptLoaded;
}

Value* CallScriptFunction(const MCHAR* name, Value* arg, bool keep) {
  if (!arg) return nullptr;
  ScopedMaxScriptEvaluationContext context(true, nullptr);
  EnsureDialogScriptLoaded();

  init_thread_locals();
  push_alloc_frame();
  MXS_Exit_ValueLocal_Scope exitScope(true);
  // The name, the function found and its result stay roots while the script runs.
  Value** locals;
  value_local_array(locals, 3);
  Value* kept = nullptr;
  {
    ScopedSaveCurrentFrames savedFrames;
    try {
      locals[0] = Name::intern(name);
      locals[1] = globals ? globals->get(locals[0]) : nullptr;
      while (locals[1] && (is_globalthunk(locals[1]) || is_constglobalthunk(locals[1])))
        locals[1] = static_cast<GlobalThunk*>(locals[1])->cell;
      // A script that does not define the entry leaves nothing, or an unassigned global.
      if (locals[1] && locals[1] != &undefined) {
        Value* args[1] = {arg};
        locals[2] = locals[1]->apply(args, 1, nullptr);
      }
    } catch (MAXScriptException& e) {
      ProcessMAXScriptException(e, kErrorCaption, true, false, true, false);
      locals[2] = nullptr;
    } catch (...) {
      UnknownSystemException e;
      ProcessMAXScriptException(e, kErrorCaption, false, false, true, false);
      clear_error_source_data();
      MAXScript_signals = 0;
      locals[2] = nullptr;
    }
  }
  if (keep && locals[2]) kept = locals[2]->make_heap_permanent();
  pop_alloc_frame();
  return kept;
}

void ShowManagerDialog(Pavimo& map) {
  CloseManagerDialog(map);
  init_MAXScript();
  MXS_Exit_ValueLocal_Scope exitScope(true);
  Value** wrapper;
  value_local_array(wrapper, 1);
  wrapper[0] = MAXClass::make_wrapper_for(&map);
  Value* dialog = CallScriptFunction(kShowEntry, wrapper[0], true);
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

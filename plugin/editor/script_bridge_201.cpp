// Release 2.01's side of the manager dialog: the script read byte by byte from a resource of
// numeric type, tried once per process; calls that report nothing.
#include "shell/release.h"

#if TILVARA_RELEASE == 201

#include <string>

#include <windows.h>

#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/mxsobjects.h>

#include "editor/script_bridge.h"
#include "resource.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

namespace {

const MCHAR* const kShowEntry = _M("fn_From_Cpp_ShowTilva_Dialog");
const MCHAR* const kUpdateEntry = _M("fn_From_Cpp_UpdateTilva_Dialog");
const MCHAR* const kCloseEntry = _M("fn_From_Cpp_CloseTilva_Dialog");

// Set before the first attempt: the script is tried once per process.
bool scriptLoaded = false;

// Calls the global `name` with `arg`, or, when `wrapMap` is given, with the map wrapped once
// the function has been found. Errors of any kind are dropped with the engine's error state.
Value* CallEntry(const MCHAR* name, Value* arg, Pavimo* wrapMap, bool keep) {
  if (!arg && !wrapMap) return nullptr;
  EnsureDialogScriptLoaded();

  init_thread_locals();
  push_alloc_frame();
  // The name, the function found, the argument and the result stay roots during the call.
  Value** locals;
  value_local_array(locals, 4);
  Value* kept = nullptr;
  try {
    locals[0] = Name::intern(name);
    locals[1] = globals ? globals->get(locals[0]) : nullptr;
    while (locals[1] && (is_globalthunk(locals[1]) || is_constglobalthunk(locals[1])))
      locals[1] = static_cast<GlobalThunk*>(locals[1])->cell;
    if (locals[1] && locals[1] != &undefined) {
      locals[2] = wrapMap ? MAXClass::make_wrapper_for(wrapMap) : arg;
      Value* args[1] = {locals[2]};
      locals[3] = locals[1]->apply(args, 1, nullptr);
    }
  } catch (...) {
    clear_error_source_data();
    MAXScript_signals = 0;
    locals[3] = nullptr;
  }
  if (keep && locals[3]) kept = locals[3]->make_heap_permanent();
  pop_value_local_array(locals);
  pop_alloc_frame();
  return kept;
}

}  // namespace

void EnsureDialogScriptLoaded() {
  if (scriptLoaded) return;
  scriptLoaded = true;
  init_MAXScript();
  HRSRC info = FindResourceW(hInstance, MAKEINTRESOURCEW(IDR_MANAGER_SCRIPT_201),
                             MAKEINTRESOURCEW(RT_MANAGER_SCRIPT_201));
  if (!info) return;
  HGLOBAL data = LoadResource(hInstance, info);
  const auto* bytes = data ? static_cast<const unsigned char*>(LockResource(data)) : nullptr;
  const DWORD size = SizeofResource(hInstance, info);
  if (!bytes || size == 0) return;
  // Each byte is one character: the script is ASCII.
  std::wstring text(bytes, bytes + size);
  ExecuteMAXScriptScript(&text[0], FALSE, nullptr);
}

bool DialogScriptLoaded() {
  return scriptLoaded;
}

Value* CallScriptFunction(const MCHAR* name, Value* arg, bool keep) {
  return CallEntry(name, arg, nullptr, keep);
}

// The show entry closes the map's previous form itself; the struct protected for that form
// is released once the new one is held.
void ShowManagerDialog(Pavimo& map) {
  init_MAXScript();
  Value* previous = map.KeptDialog();
  Value* dialog = CallEntry(kShowEntry, nullptr, &map, true);
  if (previous && previous != dialog) previous->make_collectable();
  if (dialog == &undefined) dialog = nullptr;
  map.SetListView(dialog);
  map.SetKeptDialog(dialog);
}

void UpdateManagerDialog(Pavimo& map) {
  if (Value* held = map.ListView()) CallEntry(kUpdateEntry, held, nullptr, false);
}

// Closes the form only: the map keeps what it holds.
void CloseManagerDialog(Pavimo& map) {
  if (Value* held = map.ListView()) CallEntry(kCloseEntry, held, nullptr, false);
}

void ReleaseKeptDialog(Pavimo& map) {
  if (Value* kept = map.KeptDialog()) kept->make_collectable();
  map.SetKeptDialog(nullptr);
}

#endif

// The plug-in's side of the manager dialog: the dialog script carried as a resource, run
// once per process, and the calls into its entry functions that open, refill and close a
// map's dialog. Main thread only.
#pragma once

#include <max.h>

#include "shell/release.h"

class Pavimo;
class Value;

// Runs the dialog script resource of the library once; a failed run is tried again by the
// next call.
void EnsureDialogScriptLoaded();
// Whether the dialog script has run without error in this process.
bool DialogScriptLoaded();

// Calls the global script function `name` with `arg`. Nothing is run for a null argument,
// and a missing function is skipped. Script errors are reported under the caption
// "Tilva BitmapList". With keep, the result is protected from the collector and returned;
// otherwise, and on any error, the result is null.
Value* CallScriptFunction(const MCHAR* name, Value* arg, bool keep);

// Closes the map's open dialog, then opens a new one and holds it in the map's `ListView`.
void ShowManagerDialog(Pavimo& map);
// Refills the map's open dialog from its lists.
void UpdateManagerDialog(Pavimo& map);
// Closes the map's open dialog and lets go of it.
void CloseManagerDialog(Pavimo& map);

#if TILVARA_RELEASE == 201
// Release 2.01 closes the form without letting go of the dialog: the show path and the map's
// destructor release the struct that the show path protected.
void ReleaseKeptDialog(Pavimo& map);
#endif

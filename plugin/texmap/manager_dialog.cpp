// The plug-in's side of the manager dialog. Until the script bridge runs the dialog
// script, no dialog can be open: closing only lets go of whatever value a script left.
#include "texmap/pavimo.h"

void UpdateManagerDialog(Pavimo& /*map*/) {}

void CloseManagerDialog(Pavimo& map) {
  map.SetListView(nullptr);
}

// Libraries that the system loaded (Windows only): their resources as the system reads
// them, and their imports of desktop and window calls bound to the stand-in's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/res_file.h"

namespace maxhost {

// Every resource of a loaded module, read through the system's resource calls; empty, with
// *error set, when the module has none or they cannot be read.
std::vector<Resource> ReadModuleResources(HMODULE module, std::string* error);

// Points the module's import of `function` from `library` at `replacement`; returns the
// number of import entries changed (0 when the module does not import it).
int RedirectImport(HMODULE module, const char* library, const char* function, void* replacement);

// Binds the module's imports of the calls that would reach a desktop (ShellExecuteW,
// MessageBoxW) and of the window calls to the stand-in's, which record the first and work
// on the stand-in's windows; resource calls stay the system's. Returns the entries changed.
int RedirectImports(HMODULE module);

}  // namespace maxhost

// Module records behind HINSTANCE/HMODULE: a loaded library (or a bare resource
// file) with its parsed resources. A handle is the address of its record (on Windows,
// a library's own module handle) and is checked against the registry before use, so a
// stale or foreign handle fails cleanly instead of being dereferenced.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "win32/dialog_template.h"
#include "win32/dib.h"
#include "win32/res_file.h"

namespace maxhost {

struct Module {
  std::string path;
  void* dl_handle = nullptr;             // from dlopen (LoadLibraryW), or null for a bare
                                         // resource file
  std::vector<Resource> resources;       // empty when the file carries none
  std::string resource_error;            // why there are no resources, empty if there are
  std::map<UINT, std::wstring> strings;  // string table, decoded
};

// Section name under which a built library carries its compiled .res.
inline constexpr const char* kResourceSectionName = ".rsrc";

// Registers a library whose file the caller has already checked and whose resources it
// has parsed; resource_error says why there are none.
HMODULE RegisterLibrary(const std::string& path, void* dl_handle, std::vector<Resource> resources,
                        std::string resource_error);
// Registers an in-memory set of resources under a display path.
HMODULE RegisterModuleResources(const std::string& path, std::vector<Resource> resources);
// Registers a compiled .res file as a module of its own; null and *error when
// the file cannot be read or parsed.
HMODULE RegisterResFile(const std::string& res_path, std::string* error);
// Forgets the record; the handle is invalid afterwards. False for unknown handles.
bool UnregisterModule(HMODULE module);

// The record, or null for a handle that is not registered.
const Module* FindModule(HMODULE module);
std::vector<HMODULE> RegisteredModules();
// The resource behind an HRSRC or HGLOBAL, or null when no registered module holds it.
const Resource* ResourceFromHandle(const void* handle);

// Looks a resource up by type and name; with a language, that language is
// preferred and any other taken if it is missing.
const Resource* FindModuleResource(HMODULE module, const ResId& type, const ResId& name,
                                   std::optional<std::uint16_t> language = std::nullopt);

// The dialog template and bitmap resources of a module, parsed.
DialogParseResult LoadDialogTemplate(HMODULE module, int id);
DibDecodeResult LoadBitmapResource(HMODULE module, int id);

// The bitmap behind an HBITMAP from LoadBitmapW; null for unknown handles.
const RgbImage* BitmapFromHandle(HBITMAP bitmap);

}  // namespace maxhost

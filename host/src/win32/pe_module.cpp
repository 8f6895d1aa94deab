#include "win32/pe_module.h"

#include <cstring>
#include <iterator>

#include "base/text.h"

namespace maxhost {

namespace {

struct Enumeration {
  HMODULE module = nullptr;
  std::vector<Resource> resources;
  bool failed = false;
};

ResId IdOf(LPCWSTR id) {
  if (IS_INTRESOURCE(id))
    return ResId::Ordinal(static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(id)));
  return ResId::Name(id);
}

BOOL CALLBACK OnLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                         LONG_PTR param) {
  auto* e = reinterpret_cast<Enumeration*>(param);
  HRSRC info = SystemFindResourceExW(module, type, name, language);
  HGLOBAL loaded = info ? SystemLoadResource(module, info) : nullptr;
  const void* data = loaded ? SystemLockResource(loaded) : nullptr;
  if (!data) {
    e->failed = true;
    return FALSE;
  }
  const DWORD size = SystemSizeofResource(module, info);
  Resource r;
  r.type = IdOf(type);
  r.name = IdOf(name);
  r.language = language;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  r.data.assign(bytes, bytes + size);
  e->resources.push_back(std::move(r));
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  return EnumResourceLanguagesW(module, type, name, OnLanguage, param) ||
         !reinterpret_cast<Enumeration*>(param)->failed;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR param) {
  return EnumResourceNamesW(module, type, OnName, param) ||
         !reinterpret_cast<Enumeration*>(param)->failed;
}

}  // namespace

std::vector<Resource> ReadModuleResources(HMODULE module, std::string* error) {
  Enumeration e;
  e.module = module;
  if (!EnumResourceTypesW(module, OnType, reinterpret_cast<LONG_PTR>(&e))) {
    const DWORD code = GetLastError();
    if (error) {
      *error = code == ERROR_RESOURCE_DATA_NOT_FOUND || code == ERROR_RESOURCE_TYPE_NOT_FOUND
                   ? "the library has no resources"
                   : "its resources cannot be read (error " + std::to_string(code) + ")";
    }
    if (!e.failed && e.resources.empty()) return {};
  }
  if (e.failed) {
    if (error) *error = "a resource of the library cannot be read";
    return {};
  }
  if (e.resources.empty() && error) *error = "the library has no resources";
  return std::move(e.resources);
}

int RedirectImport(HMODULE module, const char* library, const char* function, void* replacement) {
  auto* base = reinterpret_cast<std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return 0;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return 0;
  int changed = 0;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name != 0; ++d) {
    const std::string dll(reinterpret_cast<const char*>(base + d->Name));
    if (!EqualsNoCase(WideFromUtf8(dll), WideFromUtf8(library))) continue;
    // The name table lists what each address slot was bound to.
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA64*>(
        base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL64(names->u1.Ordinal)) continue;
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old))
        continue;
      slots->u1.Function = reinterpret_cast<ULONGLONG>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      ++changed;
    }
  }
  return changed;
}

int RedirectImports(HMODULE module) {
  struct Binding {
    const char* library;
    const char* function;
    void* replacement;
  };
#define MAXHOST_BIND(library, name) \
  { library, #name, reinterpret_cast<void*>(&maxhost_##name) }
  const Binding bindings[] = {
      MAXHOST_BIND("shell32.dll", ShellExecuteW),
      MAXHOST_BIND("user32.dll", MessageBoxW),
      MAXHOST_BIND("user32.dll", GetDlgItem),
      MAXHOST_BIND("user32.dll", GetDlgCtrlID),
      MAXHOST_BIND("user32.dll", GetParent),
      MAXHOST_BIND("user32.dll", IsWindow),
      MAXHOST_BIND("user32.dll", SendMessageW),
      MAXHOST_BIND("user32.dll", PostMessageW),
      MAXHOST_BIND("user32.dll", SendDlgItemMessageW),
      MAXHOST_BIND("user32.dll", SetWindowTextW),
      MAXHOST_BIND("user32.dll", GetWindowTextW),
      MAXHOST_BIND("user32.dll", GetWindowTextLengthW),
      MAXHOST_BIND("user32.dll", SetDlgItemTextW),
      MAXHOST_BIND("user32.dll", GetDlgItemTextW),
      MAXHOST_BIND("user32.dll", EnableWindow),
      MAXHOST_BIND("user32.dll", IsWindowEnabled),
      MAXHOST_BIND("user32.dll", ShowWindow),
      MAXHOST_BIND("user32.dll", IsWindowVisible),
      MAXHOST_BIND("user32.dll", CheckDlgButton),
      MAXHOST_BIND("user32.dll", IsDlgButtonChecked),
      MAXHOST_BIND("user32.dll", CheckRadioButton),
      MAXHOST_BIND("user32.dll", GetWindowLongPtrW),
      MAXHOST_BIND("user32.dll", SetWindowLongPtrW),
      MAXHOST_BIND("user32.dll", GetClientRect),
      MAXHOST_BIND("user32.dll", GetWindowRect),
      MAXHOST_BIND("user32.dll", InvalidateRect),
      MAXHOST_BIND("user32.dll", DestroyWindow),
      MAXHOST_BIND("user32.dll", LoadCursorW),
      MAXHOST_BIND("user32.dll", SetCursor),
  };
#undef MAXHOST_BIND
  int changed = 0;
  for (const Binding& b : bindings)
    changed += RedirectImport(module, b.library, b.function, b.replacement);
  return changed;
}

}  // namespace maxhost

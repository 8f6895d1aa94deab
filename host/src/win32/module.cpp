#include "win32/module.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/files.h"
#include "base/text.h"

namespace maxhost {

namespace {

constexpr std::uint16_t kRtString = 6;
constexpr std::uint16_t kRtBitmap = 2;
constexpr std::uint16_t kRtDialog = 5;
constexpr std::size_t kMaxResFileBytes = std::size_t{64} << 20;

struct Registry {
  std::mutex mutex;
  std::unordered_map<HMODULE, std::unique_ptr<Module>> modules;
  // Registrations of each handle: a library that the system loaded more than once has one
  // handle, and its record lives until the last of them is undone.
  std::unordered_map<HMODULE, int> registrations;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // outlives every static destructor that may unload
  return *registry;
}

// Each string block holds 16 counted UTF-16 strings; block n has ids 16(n-1)..16n-1.
void DecodeStrings(Module& m) {
  std::map<std::uint16_t, const Resource*> blocks;
  for (const Resource& r : m.resources) {
    if (!r.type.is_ordinal || r.type.ordinal != kRtString || !r.name.is_ordinal) continue;
    auto [it, inserted] = blocks.emplace(r.name.ordinal, &r);
    // Prefer the neutral language, then US English, then the first found.
    if (!inserted && (r.language == 0 || (r.language == 0x0409 && it->second->language != 0)))
      it->second = &r;
  }
  for (const auto& [block, res] : blocks) {
    const std::vector<std::uint8_t>& d = res->data;
    std::size_t pos = 0;
    for (UINT i = 0; i < 16 && pos + 2 <= d.size(); ++i) {
      const std::size_t len = d[pos] | (d[pos + 1] << 8);
      pos += 2;
      if (pos + 2 * len > d.size()) break;  // truncated block: keep what was whole
      if (len > 0) {
        std::u16string units(len, u'\0');
        for (std::size_t k = 0; k < len; ++k)
          units[k] = static_cast<char16_t>(d[pos + 2 * k] | (d[pos + 2 * k + 1] << 8));
        m.strings[(static_cast<UINT>(block) - 1) * 16 + i] = WideFromUtf16(units);
      }
      pos += 2 * len;
    }
  }
}

// The handle is the system's for a library that the system loaded, else the record's address.
HMODULE Insert(std::unique_ptr<Module> m, HMODULE handle = nullptr) {
  DecodeStrings(*m);
  Registry& reg = TheRegistry();
  std::lock_guard lock(reg.mutex);
  if (!handle) handle = reinterpret_cast<HMODULE>(m.get());
  // A library registered again keeps its first record, whose resources may be in use.
  reg.modules.try_emplace(handle, std::move(m));
  ++reg.registrations[handle];
  return handle;
}

}  // namespace

HMODULE RegisterLibrary(const std::string& path, void* dl_handle, std::vector<Resource> resources,
                        std::string resource_error) {
  auto m = std::make_unique<Module>();
  m->path = path;
  m->dl_handle = dl_handle;
  m->resources = std::move(resources);
  m->resource_error = std::move(resource_error);
#if defined(_WIN32)
  // The system loaded the library: its own handle names it, to the system and to the
  // stand-in alike.
  return Insert(std::move(m), static_cast<HMODULE>(dl_handle));
#else
  return Insert(std::move(m));
#endif
}

HMODULE RegisterModuleResources(const std::string& path, std::vector<Resource> resources) {
  auto m = std::make_unique<Module>();
  m->path = path;
  m->resources = std::move(resources);
  return Insert(std::move(m));
}

HMODULE RegisterResFile(const std::string& res_path, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (Status read = ReadRegularFile("RegisterResFile", res_path, kMaxResFileBytes, bytes); !read) {
    if (error) *error = read.error;
    return nullptr;
  }
  ResParseResult parsed = ParseResFile(bytes);
  if (!parsed.ok) {
    if (error) *error = res_path + ": " + parsed.error;
    return nullptr;
  }
  return RegisterModuleResources(res_path, std::move(parsed.resources));
}

bool UnregisterModule(HMODULE module) {
  Registry& reg = TheRegistry();
  std::unique_ptr<Module> doomed;
  {
    std::lock_guard lock(reg.mutex);
    auto it = reg.modules.find(module);
    if (it == reg.modules.end()) return false;
    if (--reg.registrations[module] > 0) return true;
    reg.registrations.erase(module);
    doomed = std::move(it->second);
    reg.modules.erase(it);
  }
  return true;
}

const Module* FindModule(HMODULE module) {
  if (!module) return nullptr;
  Registry& reg = TheRegistry();
  std::lock_guard lock(reg.mutex);
  auto it = reg.modules.find(module);
  return it == reg.modules.end() ? nullptr : it->second.get();
}

std::vector<HMODULE> RegisteredModules() {
  Registry& reg = TheRegistry();
  std::lock_guard lock(reg.mutex);
  std::vector<HMODULE> out;
  for (const auto& entry : reg.modules) out.push_back(entry.first);
  return out;
}

const Resource* ResourceFromHandle(const void* handle) {
  if (!handle) return nullptr;
  Registry& reg = TheRegistry();
  std::lock_guard lock(reg.mutex);
  for (const auto& entry : reg.modules) {
    const std::vector<Resource>& list = entry.second->resources;
    if (list.empty()) continue;
    const Resource* first = list.data();
    const Resource* candidate = static_cast<const Resource*>(handle);
    // Compare as integers: only addresses inside the array are ever handed out.
    const auto a = reinterpret_cast<std::uintptr_t>(candidate),
               lo = reinterpret_cast<std::uintptr_t>(first);
    if (a >= lo && a < lo + list.size() * sizeof(Resource) && (a - lo) % sizeof(Resource) == 0)
      return candidate;
  }
  return nullptr;
}

const Resource* FindModuleResource(HMODULE module, const ResId& type, const ResId& name,
                                   std::optional<std::uint16_t> language) {
  const Module* m = FindModule(module);
  if (!m) return nullptr;
  const Resource* any = nullptr;
  for (const Resource& r : m->resources) {
    if (!(r.type == type) || !(r.name == name)) continue;
    if (!language || r.language == *language) return &r;
    if (!any) any = &r;
  }
  return any;
}

DialogParseResult LoadDialogTemplate(HMODULE module, int id) {
  const Resource* r = FindModuleResource(module, ResId::Ordinal(kRtDialog),
                                         ResId::Ordinal(static_cast<std::uint16_t>(id)));
  if (!r) {
    DialogParseResult result;
    result.error = "LoadDialogTemplate: no dialog " + std::to_string(id) + " in the module";
    return result;
  }
  return ParseDialogTemplate(r->data);
}

DibDecodeResult LoadBitmapResource(HMODULE module, int id) {
  const Resource* r = FindModuleResource(module, ResId::Ordinal(kRtBitmap),
                                         ResId::Ordinal(static_cast<std::uint16_t>(id)));
  if (!r) {
    DibDecodeResult result;
    result.error = "LoadBitmapResource: no bitmap " + std::to_string(id) + " in the module";
    return result;
  }
  return DecodeDib(r->data);
}

}  // namespace maxhost

#include "test_support.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include "core/class_directory.h"
#include "loader/plugin_loader.h"
#include "texmap/pavimo.h"

namespace tilvara_test {

namespace {

template <class F>
F Resolve(void* handle, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<F>(
      reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(handle), name)));
#else
  return reinterpret_cast<F>(dlsym(handle, name));
#endif
}

LoadedPlugin LoadOnce() {
  LoadedPlugin p;
  static maxhost::PluginLoader loader;
  loader.LoadFolder(TILVARA_PLUGIN_DIR);
  void* handle = nullptr;
  for (const auto& lib : loader.Libraries()) {
    for (ClassDesc* cd : lib.classes) {
      if (cd->ClassID() == PAVIMO_CLASS_ID && cd->SuperClassID() == TEXMAP_CLASS_ID) {
        p.desc = static_cast<ClassDesc2*>(cd);
        p.module = lib.instance;
        handle = lib.dl_handle;
      }
    }
  }
  if (!p.desc) {
    p.error = "the plug-in was not loaded from " TILVARA_PLUGIN_DIR;
    return p;
  }
  if (handle) {
    p.libDescription = Resolve<const MCHAR* (*)()>(handle, "LibDescription");
    p.libNumberClasses = Resolve<int (*)()>(handle, "LibNumberClasses");
    p.libClassDesc = Resolve<ClassDesc* (*)(int)>(handle, "LibClassDesc");
    p.libVersion = Resolve<ULONG (*)()>(handle, "LibVersion");
  }
  return p;
}

}  // namespace

const LoadedPlugin& Plugin() {
  static const LoadedPlugin plugin = LoadOnce();
  return plugin;
}

MapPtr NewMap() {
  const LoadedPlugin& p = Plugin();
  if (!p.desc) return MapPtr();
  return MapPtr(static_cast<Texmap*>(p.desc->Create(FALSE)));
}

IParamBlock2* BlockOf(Texmap* map) {
  return map ? map->GetParamBlock(0) : nullptr;
}

ProbeMap::ProbeMap(AColor c, Point3 b) : color(c), bump(b) {}

AColor ProbeMap::EvalColor(ShadeContext& sc) {
  ++colorCalls;
  lastContext = &sc;
  return color;
}

Point3 ProbeMap::EvalNormalPerturb(ShadeContext& sc) {
  ++bumpCalls;
  lastContext = &sc;
  return bump;
}

void ProbeMap::Update(TimeValue, Interval& valid) {
  ++updateCalls;
  if (Interface* ip = GetCOREInterface()) redrawDisabledSeen = ip->IsSceneRedrawDisabled();
  valid &= validity;
}

BOOL TestShadeContext::GetCache(Texmap* map, AColor& c) {
  auto it = colorCache.find(map);
  if (it == colorCache.end()) return FALSE;
  c = it->second;
  return TRUE;
}

BOOL TestShadeContext::GetCache(Texmap* map, Point3& p) {
  auto it = vectorCache.find(map);
  if (it == vectorCache.end()) return FALSE;
  p = it->second;
  return TRUE;
}

void SetEntries(Texmap* map, const std::vector<Texmap*>& maps, const std::vector<int>& on,
                const std::vector<int>& weights) {
  IParamBlock2* pb = BlockOf(map);
  pb->SetCount(pb_submaps, static_cast<int>(maps.size()));
  for (size_t i = 0; i < maps.size(); ++i)
    pb->SetValue(pb_submaps, 0, maps[i], static_cast<int>(i));
  pb->SetCount(pb_submap_on, static_cast<int>(on.size()));
  for (size_t i = 0; i < on.size(); ++i) pb->SetValue(pb_submap_on, 0, on[i], static_cast<int>(i));
  pb->SetCount(pb_probability, static_cast<int>(weights.size()));
  for (size_t i = 0; i < weights.size(); ++i)
    pb->SetValue(pb_probability, 0, weights[i], static_cast<int>(i));
}

}  // namespace tilvara_test

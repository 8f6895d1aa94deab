// Shared pieces of the map's tests: the plug-in loaded as the host loads it, maps made
// through its class descriptor, and small stand-ins for sub-textures, nodes and samples.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <iparamb2.h>
#include <max.h>

#include "shell/release.h"
#include "texmap/pavimo_params.h"
#include "core/year_forms.h"

namespace tilvara_test {

// The plug-in folder is loaded once per test program, as the host does at start-up.
struct LoadedPlugin {
  HINSTANCE module = nullptr;
  ClassDesc2* desc = nullptr;
  std::string error;
  // The library's exports, resolved by plain name.
  const MCHAR* (*libDescription)() = nullptr;
  int (*libNumberClasses)() = nullptr;
  ClassDesc* (*libClassDesc)(int) = nullptr;
  ULONG (*libVersion)() = nullptr;
};
const LoadedPlugin& Plugin();

// A new map created through the loaded plug-in's class descriptor; deleted when the
// handle goes unless the host took it over.
struct MapDeleter {
  void operator()(Texmap* m) const {
    if (m) m->DeleteThis();
  }
};
using MapPtr = std::unique_ptr<Texmap, MapDeleter>;
MapPtr NewMap();
IParamBlock2* BlockOf(Texmap* map);

// A sub-texture with a fixed colour and bump that counts what is asked of it.
class ProbeMap : public Texmap {
 public:
  explicit ProbeMap(AColor color = AColor(0.5f, 0.5f, 0.5f, 1.0f),
                    Point3 bump = Point3(0.0f, 0.0f, 0.0f));
  Class_ID ClassID() override { return Class_ID(0x7E570001, 0x1); }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = _M("ProbeMap");
  }
  AColor EvalColor(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext& sc) override;
  void Update(TimeValue t, Interval& valid) override;
  void Reset() override {}
  Interval Validity(TimeValue) override { return validity; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

  AColor color;
  Point3 bump;
  Interval validity = FOREVER;
  // Counted atomically: render threads may evaluate one probe at once.
  std::atomic<int> colorCalls{0};
  std::atomic<int> bumpCalls{0};
  int updateCalls = 0;
  int redrawDisabledSeen = -1;  // the host's redraw suspension count during the last update
  std::atomic<ShadeContext*> lastContext{nullptr};
};

// A scene node with a fixed handle.
class TestNode : public INode {
 public:
  explicit TestNode(ULONG handle) : handle_(handle) {}
  ULONG GetHandle() override { return handle_; }
  const MCHAR* GetName() override { return _M("node"); }
  void SetName(const MCHAR*) override {}
  Mtl* GetMtl() override { return nullptr; }
  void SetMtl(Mtl*) override {}
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

 private:
  ULONG handle_;
};

// One sample: material ID, node, map-channel coordinates, and per-sample caches that
// count their use.
class TestShadeContext : public ShadeContext {
 public:
  INode* Node() override { return node; }
  Point3 UVW(int channel = 0) override { return channel == 99 ? uvw99 : uvw; }
  void SetGBufferID(int gbid) override {
    gbufferId = gbid;
    ++gbufferCalls;
  }
  BOOL GetCache(Texmap* map, AColor& c) override;
  BOOL GetCache(Texmap* map, Point3& p) override;
  void PutCache(Texmap* map, const AColor& c) override { colorCache[map] = c; }
  void PutCache(Texmap* map, const Point3& p) override { vectorCache[map] = p; }
  void TossCache(Texmap* map) override {
    colorCache.erase(map);
    vectorCache.erase(map);
  }
  void NewSample() {
    colorCache.clear();
    vectorCache.clear();
  }

  INode* node = nullptr;
  Point3 uvw = Point3(0.5f, 0.5f, 0.0f);
  Point3 uvw99 = Point3(0.0f, 0.0f, 0.0f);
  int gbufferId = 0;
  int gbufferCalls = 0;
  std::map<Texmap*, AColor> colorCache;
  std::map<Texmap*, Point3> vectorCache;
};

// Sets the map's `submaps`, `submap_on` and `probability` lists in one go.
void SetEntries(Texmap* map, const std::vector<Texmap*>& maps, const std::vector<int>& on,
                const std::vector<int>& weights);

// A fresh map of the loaded plug-in and its parameter block, for each test.
class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Plugin().desc) << Plugin().error;
    map_ = NewMap();
    ASSERT_TRUE(map_);
    pb_ = BlockOf(map_.get());
    ASSERT_NE(pb_, nullptr);
  }
  void UpdateAt(TimeValue t) {
    Interval valid = FOREVER;
    map_->Update(t, valid);
  }
  MapPtr map_;
  IParamBlock2* pb_ = nullptr;
};

}  // namespace tilvara_test

#pragma once
// A texture map for tests that records what the host hands it.
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "imtl.h"
#include "core/year_forms.h"

namespace maxhost::testing {

class ProbeMap : public Texmap {
 public:
  enum class Source { kFixed, kMtlNum, kNodeId, kChannel99W, kUV };

  Source source = Source::kFixed;
  AColor fixed = AColor(0.25f, 0.5f, 0.75f, 1.0f);
  bool useCache = false;
  bool throwOnEval = false;
  int gbuffer = 0;

  // Records: counters are atomic; the rest is written on the creating thread only.
  std::vector<ULONG> beginFlags;
  int endCount = 0;
  int updateCount = 0;
  int refDeletedCount = 0;
  std::thread::id updateThread;
  std::atomic<int> evalCount{0};
  std::atomic<int> cacheHits{0};
  Point3 lastUVW1, lastUVW99, lastDUVW;

  AColor EvalColor(ShadeContext& sc) override {
    ++evalCount;
    if (throwOnEval) throw std::runtime_error("probe failure");
    AColor c;
    if (useCache && sc.GetCache(this, c)) {
      ++cacheHits;
      return c;
    }
    if (gbuffer) sc.SetGBufferID(gbuffer);
    if (std::this_thread::get_id() == owner_) {  // renderer workers leave the records alone
      lastUVW1 = sc.UVW(1);
      lastUVW99 = sc.UVW(99);
      lastDUVW = sc.DUVW(1);
    }
    switch (source) {
      case Source::kFixed:
        c = fixed;
        break;
      case Source::kMtlNum:
        c = AColor(float(sc.mtlNum) / 100.0f, 0.0f, 0.0f, 1.0f);
        break;
      case Source::kNodeId:
        c = AColor(0.0f, float(sc.NodeID()) / 100.0f, 0.0f, 1.0f);
        break;
      case Source::kChannel99W:
        c = AColor(0.0f, 0.0f, sc.UVW(99).z / 10000.0f, 1.0f);
        break;
      case Source::kUV:
        c = AColor(sc.UVW(1).x, sc.UVW(1).y, 0.0f, 1.0f);
        break;
    }
    if (useCache) sc.PutCache(this, c);
    return c;
  }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0.1f, 0.2f, 0.3f); }
  void Update(TimeValue, Interval& valid) override {
    ++updateCount;
    updateThread = std::this_thread::get_id();
    valid &= FOREVER;
  }
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  Class_ID ClassID() override { return Class_ID(0x7e57, 0x7e57); }
  int RenderBegin(TimeValue, ULONG flags) override {
    beginFlags.push_back(flags);
    return 1;
  }
  int RenderEnd(TimeValue) override {
    ++endCount;
    return 1;
  }
  void RefDeleted(MAXHOST_REF_DELETED_OWNER) override { ++refDeletedCount; }

 protected:
  std::thread::id owner_ = std::this_thread::get_id();
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }
};

}  // namespace maxhost::testing

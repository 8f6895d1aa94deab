#pragma once
// The renderer's shade context: one per rendering thread, reused for every sample. A sample
// gives the material ID, the node, texture coordinates (the same for every map channel unless a
// channel is set on its own) and their footprint; the per-sample caches start empty.
#include "imtl.h"
#include "render/sample_cache.h"

class INode;

namespace maxhost {

class RenderShadeContext : public ShadeContext {
 public:
  static constexpr int kMaxChannels = 100;  // map channels 0..99

  RenderShadeContext() = default;

  // Settings that hold for a whole render.
  void SetTime(TimeValue t) { time_ = t; }
  void SetInMtlEditor(bool on) { inMtlEditor_ = on; }

  // Starts a sample: every channel reads uvw / duvw until SetChannel overrides it; caches and
  // the G-buffer ID are reset.
  void BeginSample(int mtlNumber, INode* node, const Point3& uvw, const Point3& duvw);
  // Overrides one map channel for the current sample (ignored outside 0..99).
  void SetChannel(int channel, const Point3& uvw, const Point3& duvw);

  // The G-buffer ID a map set during the current sample (0 if none).
  int GBufferID() const { return gbufferId_; }

  TimeValue CurTime() override { return time_; }
  BOOL InMtlEditor() override { return inMtlEditor_ ? TRUE : FALSE; }
  INode* Node() override { return node_; }
  // The node's handle, or -1 without a node.
  int NodeID() override;
  Point3 UVW(int channel = 0) override;
  Point3 DUVW(int channel = 0) override;
  void SetGBufferID(int gbid) override;

  BOOL GetCache(Texmap* map, AColor& c) override;
  BOOL GetCache(Texmap* map, float& f) override;
  BOOL GetCache(Texmap* map, Point3& p) override;
  void PutCache(Texmap* map, const AColor& c) override;
  void PutCache(Texmap* map, const float f) override;
  void PutCache(Texmap* map, const Point3& p) override;
  void TossCache(Texmap* map) override;

 private:
  struct Channel {
    int channel = -1;
    Point3 uvw, duvw;
  };
  static constexpr int kMaxOverrides = 4;

  TimeValue time_ = 0;
  bool inMtlEditor_ = false;
  INode* node_ = nullptr;
  Point3 uvw_, duvw_;
  Channel overrides_[kMaxOverrides];
  int overrideCount_ = 0;
  int gbufferId_ = 0;
  SampleCache<AColor> colors_;
  SampleCache<float> floats_;
  SampleCache<Point3> vectors_;
};

}  // namespace maxhost

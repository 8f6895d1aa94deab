#pragma once
// Evaluating one map at one shading sample, as the renderer or the material editor would.
#include "imtl.h"
#include "render/renderer.h"

namespace maxhost {

struct SampleRequest {
  int mtlNum = 0;
  long long nodeHandle = -1;               // -1: the sample has no node
  Point3 uvw = Point3(0.5f, 0.5f, 0.0f);   // every map channel
  Point3 duvw = Point3(0.0f, 0.0f, 0.0f);  // footprint (0: unfiltered)
  float tileW = 0.0f;                      // W of map channel 99 (the tile id)
  RenderMode mode = RenderMode::kScene;
  TimeValue time = 0;
};

struct SampleResult {
  AColor color;
  float mono = 0.0f;
  Point3 bump;
  int gbufferId = 0;  // the G-buffer ID a map set on the shade context, 0 if none
};

// Sends RenderBegin (by mode) to the map's hierarchy, updates the map at the time, evaluates
// colour, mono and bump in one sample (one shade context, so their caches are shared, as within
// one renderer sample) and sends RenderEnd.
SampleResult SampleTexmap(Texmap* map, const SampleRequest& request);

}  // namespace maxhost

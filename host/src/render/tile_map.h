#pragma once
// The plank tile map: a running-bond layout of planks over the UV plane with grout between them.
// Inside a plank it evaluates its sub-map with coordinates local to the plank and passes the
// plank's id to the maps inside as the W of map channel 99.
#include "render/block_texmap.h"
#include "render/sample_cache.h"
#include "render/tile_layout.h"

namespace maxhost {

#define PLANK_TILES_CLASS_ID Class_ID(0x5a1e0c02, 0x1d2a7c02)

// The map channel through which tile ids reach the maps inside a tile.
constexpr int kTileIdChannel = 99;

enum TileMapParam : ParamID {
  kTileSubMap = 0,
  kTileGroutColor = 1,
  kTileColor = 2,  // plank colour when there is no sub-map
  kTileRowHeight = 3,
  kTileMinLength = 4,
  kTileMaxLength = 5,
  kTileGroutWidth = 6,
  kTileSeed = 7,
  kTileMapChannel = 8,
};

// The shade context that the maps inside one tile see. Every map channel reads the tile's local
// coordinates (W of channel 99 is the tile id, W of the others 0) and footprints scaled to them;
// everything else comes from the outer context. Its caches are its own: a colour cached for this
// tile never answers a lookup made for another tile or for the outer sample.
class TileShadeContext : public ShadeContext {
 public:
  TileShadeContext(ShadeContext& outer, const TileHit& hit, const Point3& outerDuvw);

  Point3 UVW(int channel = 0) override;
  Point3 DUVW(int channel = 0) override;
  void DPdUVW(Point3 dP[3], int channel = 0) override { outer_.DPdUVW(dP, channel); }

  TimeValue CurTime() override { return outer_.CurTime(); }
  BOOL InMtlEditor() override { return outer_.InMtlEditor(); }
  int NodeID() override { return outer_.NodeID(); }
  INode* Node() override { return outer_.Node(); }
  int FaceNumber() override { return outer_.FaceNumber(); }
  Point3 Normal() override { return outer_.Normal(); }
  Point3 GNormal() override { return outer_.GNormal(); }
  Point3 V() override { return outer_.V(); }
  Point3 P() override { return outer_.P(); }
  Point3 DP() override { return outer_.DP(); }
  void SetGBufferID(int gbid) override { outer_.SetGBufferID(gbid); }

  BOOL GetCache(Texmap* map, AColor& c) override { return colors_.Get(map, c); }
  BOOL GetCache(Texmap* map, float& f) override { return floats_.Get(map, f); }
  BOOL GetCache(Texmap* map, Point3& p) override { return vectors_.Get(map, p); }
  void PutCache(Texmap* map, const AColor& c) override { colors_.Put(map, c); }
  void PutCache(Texmap* map, const float f) override { floats_.Put(map, f); }
  void PutCache(Texmap* map, const Point3& p) override { vectors_.Put(map, p); }
  void TossCache(Texmap* map) override;

 private:
  ShadeContext& outer_;
  Point3 local_, dlocal_;
  float tileId_;
  SampleCache<AColor> colors_;
  SampleCache<float> floats_;
  SampleCache<Point3> vectors_;
};

class TileMap : public BlockTexmap {
 public:
  explicit TileMap(BOOL loading = FALSE);

  const TileLayout& Layout() const { return layout_; }

  AColor EvalColor(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext& sc) override;
  int GetMapChannel() override { return channel_; }

  int NumSubTexmaps() override { return 1; }
  Texmap* GetSubTexmap(int i) override;
  void SetSubTexmap(int i, Texmap* m) override;
  MSTR GetSubTexmapSlotName(int i MAXHOST_LOCALIZED) override;

 protected:
  ClassDesc2* Desc() const override;
  BlockTexmap* MakeEmpty() override { return new TileMap(TRUE); }
  void ReadParams(TimeValue t, Interval& valid) override;
  void ParamChanged() override;

 private:
  Texmap* sub_ = nullptr;  // the block's sub-map, refreshed on every change of the block
  TileLayout layout_;
  Color grout_ = Color(0.2f, 0.2f, 0.2f);
  Color tile_ = Color(0.6f, 0.45f, 0.3f);
  int channel_ = 1;
};

ClassDesc2* GetTileMapDesc();

}  // namespace maxhost

#include "render/tile_map.h"

namespace maxhost {
namespace {

class TileMapClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading) override { return new TileMap(loading); }
  const MCHAR* ClassName() override { return _M("Plank Tiles"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("Plank Tiles");
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return PLANK_TILES_CLASS_ID; }
  const MCHAR* Category() override { return TEXMAP_CAT_2D; }
  const MCHAR* InternalName() override { return _M("PlankTiles"); }
};

}  // namespace

ClassDesc2* GetTileMapDesc() {
  static TileMapClassDesc desc;
  // clang-format off
  // Block 0, "parameters", no display name, owned by desc, auto-constructed at reference 0.
  static ParamBlockDesc2 block(
      0, _M("parameters"), 0, &desc, P_AUTO_CONSTRUCT, 0,
      kTileSubMap, _M("tileMap"), TYPE_TEXMAP, 0, 0,
        p_subtexno, 0, p_end,
      kTileGroutColor, _M("groutColor"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.2f, 0.2f, 0.2f), p_end,
      kTileColor, _M("tileColor"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.6f, 0.45f, 0.3f), p_end,
      kTileRowHeight, _M("rowHeight"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.125f, p_range, 0.0001f, 1.0e6f, p_end,
      kTileMinLength, _M("minLength"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.5f, p_range, 0.0001f, 1.0e6f, p_end,
      kTileMaxLength, _M("maxLength"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 1.0f, p_range, 0.0001f, 1.0e6f, p_end,
      kTileGroutWidth, _M("groutWidth"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.005f, p_range, 0.0f, 1.0e6f, p_end,
      kTileSeed, _M("seed"), TYPE_INT, 0, 0,
        p_default, 1, p_end,
      kTileMapChannel, _M("mapChannel"), TYPE_INT, 0, 0,
        p_default, 1, p_range, 0, 99, p_end,
      p_end);
  // clang-format on
  return &desc;
}

TileShadeContext::TileShadeContext(ShadeContext& outer, const TileHit& hit, const Point3& outerDuvw)
    : outer_(outer),
      local_(hit.localU, hit.localV, 0.0f),
      dlocal_(hit.faceWidth > 0.0f ? outerDuvw.x / hit.faceWidth : 0.0f,
              hit.faceHeight > 0.0f ? outerDuvw.y / hit.faceHeight : 0.0f, 0.0f),
      tileId_(float(hit.id)) {
  mode = outer.mode;
  nLights = outer.nLights;
  shadow = outer.shadow;
  backFace = outer.backFace;
  mtlNum = outer.mtlNum;
  ambientLight = outer.ambientLight;
  rayLevel = outer.rayLevel;
  xshadeID = outer.xshadeID;
  doMaps = outer.doMaps;
  filterMaps = outer.filterMaps;
}

Point3 TileShadeContext::UVW(int channel) {
  return Point3(local_.x, local_.y, channel == kTileIdChannel ? tileId_ : 0.0f);
}

Point3 TileShadeContext::DUVW(int channel) {
  (void)channel;
  return dlocal_;
}

void TileShadeContext::TossCache(Texmap* map) {
  colors_.Toss(map);
  floats_.Toss(map);
  vectors_.Toss(map);
}

TileMap::TileMap(BOOL loading) {
  (void)loading;
  MakeBlock();
}

ClassDesc2* TileMap::Desc() const {
  return GetTileMapDesc();
}

void TileMap::ParamChanged() {
  sub_ = pblock_ ? pblock_->GetTexmap(kTileSubMap, 0) : nullptr;
}

void TileMap::ReadParams(TimeValue t, Interval& valid) {
  pblock_->GetValue(kTileGroutColor, t, grout_, valid);
  pblock_->GetValue(kTileColor, t, tile_, valid);
  pblock_->GetValue(kTileRowHeight, t, layout_.rowHeight, valid);
  pblock_->GetValue(kTileMinLength, t, layout_.minLength, valid);
  pblock_->GetValue(kTileMaxLength, t, layout_.maxLength, valid);
  pblock_->GetValue(kTileGroutWidth, t, layout_.grout, valid);
  pblock_->GetValue(kTileSeed, t, layout_.seed, valid);
  pblock_->GetValue(kTileMapChannel, t, channel_, valid);
  sub_ = pblock_->GetTexmap(kTileSubMap, t);
  if (sub_) sub_->Update(t, valid);
}

AColor TileMap::EvalColor(ShadeContext& sc) {
  const Point3 uvw = sc.UVW(channel_);
  const TileHit hit = LocateTile(layout_, uvw.x, uvw.y);
  if (hit.grout) return AColor(grout_, 1.0f);
  if (!sub_ || !sc.doMaps) return AColor(tile_, 1.0f);
  TileShadeContext inner(sc, hit, sc.DUVW(channel_));
  return sub_->EvalColor(inner);
}

Point3 TileMap::EvalNormalPerturb(ShadeContext& sc) {
  const Point3 uvw = sc.UVW(channel_);
  const TileHit hit = LocateTile(layout_, uvw.x, uvw.y);
  if (hit.grout || !sub_ || !sc.doMaps) return Point3(0.0f, 0.0f, 0.0f);
  TileShadeContext inner(sc, hit, sc.DUVW(channel_));
  return sub_->EvalNormalPerturb(inner);
}

Texmap* TileMap::GetSubTexmap(int i) {
  return i == 0 && pblock_ ? pblock_->GetTexmap(kTileSubMap, 0) : nullptr;
}

void TileMap::SetSubTexmap(int i, Texmap* m) {
  if (i == 0 && pblock_) pblock_->SetValue(kTileSubMap, 0, m);
}

MSTR TileMap::GetSubTexmapSlotName(int i MAXHOST_LOCALIZED) {
  return i == 0 ? MSTR(_M("Tile")) : MSTR();
}

}  // namespace maxhost

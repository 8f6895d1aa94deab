// Colour, mono and bump evaluation. Called from many render threads at once: reads only
// what Update cached, writes only into the given ShadeContext, allocates nothing.
#include <hsv.h>
#include <inode.h>

#include "shading/shading.h"
#include "shell/release.h"
#include "texmap/pavimo.h"

namespace {

// The host's hexcone conversions, hue as a fraction of a turn.
struct HostHsv {
  static tilvara::Rgb ToHsv(tilvara::Rgb c) {
    const Color hsv = RGBtoHSV(Color(c.r, c.g, c.b));
    return {hsv.r, hsv.g, hsv.b};
  }
  static tilvara::Rgb FromHsv(tilvara::Rgb c) {
    const Color rgb = HSVtoRGB(Color(c.r, c.g, c.b));
    return {rgb.r, rgb.g, rgb.b};
  }
};

// The sample's identifiers, asked of the shade context only for the key in use.
class SampleSource {
 public:
  explicit SampleSource(ShadeContext& sc) : sc_(sc) {}
  int32_t MaterialId() { return sc_.mtlNum; }
  // A scene sample without a node keys like the material-ID mode.
  int32_t NodeId() {
    INode* node = sc_.Node();
    return node ? static_cast<int32_t>(node->GetHandle()) : sc_.mtlNum;
  }
  // The enclosing tile map passes the tile's id as W of map channel 99.
  float TileW() { return sc_.UVW(99).z; }

 private:
  ShadeContext& sc_;
};

// The colour a sub-texture gives the sample, alpha included.
tilvara::Rgba SubTextureColor(Texmap* m, ShadeContext& sc) {
  const AColor c = m->EvalColor(sc);
  return {c.r, c.g, c.b, c.a};
}

tilvara::Rgba Opaque(const Color& c) {
  return {c.r, c.g, c.b, 1.0f};
}

#if TILVARA_RELEASE == 201
// Release 2.01 starts from red, so that a position past the end or an empty slot shades red;
// it takes the flat colour, read at time 0 by the update, also when the table is empty.
constexpr tilvara::Rgba kStartColor{1.0f, 0.0f, 0.0f, 0.0f};
bool UsesFlatColor(const PavimoCache& c, int tableCount) {
  return c.useColorAt0 != 0 || tableCount == 0;
}
const Color& FlatColor(const PavimoCache& c) {
  return c.flatColorAt0;
}
#else
constexpr tilvara::Rgba kStartColor{0.0f, 0.0f, 0.0f, 0.0f};
bool UsesFlatColor(const PavimoCache& c, int tableCount) {
  (void)tableCount;
  return c.useColor != 0;
}
const Color& FlatColor(const PavimoCache& c) {
  return c.flatColor;
}
#endif

}  // namespace

AColor Pavimo::EvalColor(ShadeContext& sc) {
  AColor result(kStartColor.r, kStartColor.g, kStartColor.b, kStartColor.a);
  if (sc.GetCache(this, result)) return result;
  if (gbufID) sc.SetGBufferID(gbufID);

  SampleSource source(sc);
  const int32_t key = tilvara::SampleKey(cache_.rndBy, sceneRender_ != 0, source);
  const tilvara::ColorDraws draws = tilvara::DrawForColor(tilvara::SampleSeed(key, cache_.seed));

  tilvara::Rgba base = kStartColor;
  if (UsesFlatColor(cache_, table_.Count())) {
    base = Opaque(FlatColor(cache_));
  } else if (Texmap* m = EntryTexmap(picker_.Index(draws.index))) {
    base = SubTextureColor(m, sc);
  }

  const tilvara::Rgba out = tilvara::AdjustColor<HostHsv>(
      base, tilvara::DeferredUnit{draws.gamma}, tilvara::DeferredUnit{draws.hue},
      tilvara::DeferredUnit{draws.saturation}, cache_.adjust);
  result = AColor(out.r, out.g, out.b, out.a);
  sc.PutCache(this, result);
  return result;
}

Point3 Pavimo::EvalNormalPerturb(ShadeContext& sc) {
  Point3 result(0.0f, 0.0f, 0.0f);
  if (sc.GetCache(this, result)) return result;
  if (gbufID) sc.SetGBufferID(gbufID);

  SampleSource source(sc);
  const int32_t key = tilvara::SampleKey(cache_.rndBy, sceneRender_ != 0, source);
  tilvara::CrtRandom rng(tilvara::SampleSeed(key, cache_.seed));
  if (table_.Count() > 0) {
    if (Texmap* m = EntryTexmap(picker_.Index(rng.Next()))) result = m->EvalNormalPerturb(sc);
  }
  sc.PutCache(this, result);
  return result;
}

#if TILVARA_RELEASE == 201
// Reads the block, which nothing writes while samples are evaluated; the reads change no
// state of it.
Texmap* Pavimo::EntryTexmap(int index) const {
  IParamBlock2* pb = Block();
  if (!pb || index < 0) return nullptr;
  const int position = table_[index];
  if (position < 0 || position >= pb->Count(pb_submaps)) return nullptr;
  return pb->GetTexmap(pb_submaps, 0, position);
}
#else
// Every entry of the table is a sub-texture.
Texmap* Pavimo::EntryTexmap(int index) const {
  return index >= 0 ? table_[index] : nullptr;
}
#endif

float Pavimo::EvalMono(ShadeContext& sc) {
  const AColor c = EvalColor(sc);
  return (c.g + c.r + c.b) / 3.0f;
}

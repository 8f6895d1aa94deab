#include "render/bitmap_texture.h"

#include "base/text.h"
#include "core/param_block.h"

#include <cmath>

#include "render/bitmap_store.h"

namespace maxhost {
namespace {

class BitmapTextureClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading) override { return new BitmapTexture(loading); }
  const MCHAR* ClassName() override { return _M("Bitmap"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("Bitmap");
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(BMTEX_CLASS_ID, 0); }
  const MCHAR* Category() override { return TEXMAP_CAT_2D; }
  const MCHAR* InternalName() override { return _M("Bitmaptexture"); }
};

FilterMode ToFilterMode(int v) {
  switch (v) {
    case FILTER_SAT:
      return FilterMode::kSummedArea;
    case FILTER_NADA:
      return FilterMode::kNone;
    default:
      return FilterMode::kPyramidal;
  }
}

}  // namespace

ClassDesc2* GetBitmapTextureDesc() {
  static BitmapTextureClassDesc desc;
  // clang-format off
  // Block 0, "parameters", no display name, owned by desc, auto-constructed at reference 1.
  static ParamBlockDesc2 block(
      0, _M("parameters"), 0, &desc, P_AUTO_CONSTRUCT, 1,
      kBitmapFiltering, _M("filtering"), TYPE_INT, 0, 0,
        p_default, FILTER_PYR, p_range, 0, 2, p_end,
      kBitmapFilename, _M("filename"), TYPE_FILENAME, 0, 0,
        p_end,
      p_end);
  // clang-format on
  return &desc;
}

BitmapTexture::BitmapTexture(BOOL loading) {
  GetBitmapTextureDesc()->MakeAutoParamBlocks(this);
  // A loaded texture gets its generator from the scene file.
  if (!loading) ReplaceReference(0, new UVGenerator());
}

BitmapTexture* NewBitmapTextureFromImage(Image image) {
  auto* tex = new BitmapTexture();
  tex->SetImage(std::move(image));
  return tex;
}

void BitmapTexture::SetImage(Image image) {
  hdr_ = 0;
  image_ = std::make_shared<FilteredImage>(std::move(image));
  fromMemory_ = true;
  loadedName_.clear();
  ivalid_.SetEmpty();
  NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void BitmapTexture::SetFilterType(int ft) {
  if (pblock_) pblock_->SetValue(kBitmapFiltering, 0, ft);
}

int BitmapTexture::GetFilterType() {
  return pblock_ ? pblock_->GetInt(kBitmapFiltering, 0) : 0;
}

void BitmapTexture::SetMapName(const MCHAR* name, bool isUIAction) {
  (void)isUIAction;
  if (pblock_) pblock_->SetValue(kBitmapFilename, 0, name ? name : _M(""));
  LoadFile(false);
}

const MCHAR* BitmapTexture::GetMapName() {
  const MCHAR* name = pblock_ ? pblock_->GetStr(kBitmapFilename, 0) : nullptr;
  return name ? name : _M("");
}

void BitmapTexture::ReloadBitmapAndUpdate() {
  LoadFile(true);
  ivalid_.SetEmpty();
  NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void BitmapTexture::LoadFile(bool force) {
  const std::string name = Utf8FromWide(GetMapName() ? GetMapName() : L"");
  if (name.empty()) {
    // No file: pixels given in memory stay, a file image goes.
    if (!fromMemory_) image_.reset();
    loadedName_.clear();
    return;
  }
  if (!force && name == loadedName_ && (image_ || reportedName_ == name)) return;
  fromMemory_ = false;
  loadedName_ = name;
  std::string error;
  image_ = AcquireBitmap(name, force, error);
  hdr_ = 0;
  if (!image_) {
    if (force || reportedName_ != name)
      Report("bitmap texture: cannot read \"" + name + "\": " + error);
    reportedName_ = name;
    return;
  }
  reportedName_.clear();
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos)
    hdr_ = EqualsNoCase(std::string_view(name).substr(dot + 1), std::string_view("hdr")) ? 1 : 0;
}

void BitmapTexture::Update(TimeValue t, Interval& valid) {
  if (!ivalid_.InInterval(t)) {
    ivalid_ = FOREVER;
    int filtering = FILTER_PYR;
    if (pblock_) pblock_->GetValue(kBitmapFiltering, t, filtering, ivalid_);
    filter_ = ToFilterMode(filtering);
    LoadFile(false);
    if (image_) image_->Prepare(filter_);
    if (uvgen_) {
      uvgen_->Update(t, ivalid_);
      if (auto* gen = dynamic_cast<UVGenerator*>(uvgen_)) {
        xf_ = gen->Transform();
      } else {
        xf_.channel = uvgen_->GetMapChannel();
        xf_.offsetU = uvgen_->GetUOffs(t);
        xf_.offsetV = uvgen_->GetVOffs(t);
        xf_.tilingU = uvgen_->GetUScl(t);
        xf_.tilingV = uvgen_->GetVScl(t);
        xf_.angleW = uvgen_->GetWAng(t);
        xf_.blur = uvgen_->GetBlur(t);
        xf_.blurOffset = uvgen_->GetBlurOffs(t);
      }
    }
  }
  valid &= ivalid_;
}

void BitmapTexture::Reset() {
  GetBitmapTextureDesc()->Reset(this, TRUE, FALSE);
  if (uvgen_) uvgen_->Reset();
  ivalid_.SetEmpty();
}

Interval BitmapTexture::Validity(TimeValue t) {
  Interval v = FOREVER;
  Update(t, v);
  return ivalid_;
}

AColor BitmapTexture::Lookup(const Point2& uv, const Point2& duv, bool filter) const {
  if (!image_) return AColor(0.0f, 0.0f, 0.0f, 1.0f);
  const float du = duv.x * xf_.blur + xf_.blurOffset;
  const float dv = duv.y * xf_.blur + xf_.blurOffset;
  const Rgba c = image_->Sample(filter ? filter_ : FilterMode::kNone, uv.x, uv.y, du, dv, 1.0f);
  return AColor(c.r, c.g, c.b, c.a);
}

AColor BitmapTexture::EvalColor(ShadeContext& sc) {
  Point2 uv, duv;
  xf_.Apply(sc, uv, duv);
  return Lookup(uv, duv, sc.filterMaps);
}

Point3 BitmapTexture::EvalNormalPerturb(ShadeContext& sc) {
  if (!image_) return Point3(0.0f, 0.0f, 0.0f);
  Point2 uv, duv;
  xf_.Apply(sc, uv, duv);
  // Central differences of the intensity over one footprint (at least one texel).
  const Image& base = image_->Base();
  const float hu = std::fmax(duv.x, 1.0f / float(base.width));
  const float hv = std::fmax(duv.y, 1.0f / float(base.height));
  const float du = Intens(Lookup(Point2(uv.x + hu, uv.y), duv, sc.filterMaps)) -
                   Intens(Lookup(Point2(uv.x - hu, uv.y), duv, sc.filterMaps));
  const float dv = Intens(Lookup(Point2(uv.x, uv.y + hv), duv, sc.filterMaps)) -
                   Intens(Lookup(Point2(uv.x, uv.y - hv), duv, sc.filterMaps));
  Point3 dP[3];
  sc.DPdUVW(dP, xf_.channel);
  const float gu = du / (2.0f * hu), gv = dv / (2.0f * hv);
  return Point3(-(dP[0].x * gu + dP[1].x * gv), -(dP[0].y * gu + dP[1].y * gv),
                -(dP[0].z * gu + dP[1].z * gv));
}

MSTR BitmapTexture::SubAnimName(int i MAXHOST_LOCALIZED) {
  switch (i) {
    case 0:
      return MSTR(_M("Coordinates"));
    case 1:
      return MSTR(_M("Parameters"));
    default:
      return MSTR();
  }
}

RefTargetHandle BitmapTexture::GetReference(int i) {
  switch (i) {
    case 0:
      return uvgen_;
    case 1:
      return pblock_;
    default:
      return nullptr;
  }
}

// A target of the wrong kind is refused (the slot keeps what it had), so a hostile scene
// file cannot make the texture read a map as its generator or block.
void BitmapTexture::SetReference(int i, RefTargetHandle rtarg) {
  if (i == 0) {
    if (rtarg && rtarg->SuperClassID() != UVGEN_CLASS_ID) return;
    auto* uvgen = dynamic_cast<StdUVGen*>(rtarg);
    if (rtarg && !uvgen) return;
    uvgen_ = uvgen;
  } else if (i == 1) {
    if (rtarg && !IsBlockOf(rtarg, GetBitmapTextureDesc(), 0)) return;
    pblock_ = static_cast<IParamBlock2*>(rtarg);
  }
  ivalid_.SetEmpty();
}

RefTargetHandle BitmapTexture::Clone(RemapDir& remap) {
  auto* copy = new BitmapTexture(TRUE);
  static_cast<MtlBase&>(*copy) = *this;  // name and the other base data
  copy->ReplaceReference(0, remap.CloneRef(uvgen_));
  copy->ReplaceReference(1, remap.CloneRef(pblock_));
  copy->image_ = image_;
  copy->loadedName_ = loadedName_;
  copy->reportedName_ = reportedName_;
  copy->fromMemory_ = fromMemory_;
  copy->hdr_ = hdr_;
  BaseClone(this, copy, remap);
  return copy;
}

RefResult BitmapTexture::NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                                          RefMessage message, BOOL) {
  if (message != REFMSG_CHANGE) return REF_SUCCEED;
  ivalid_.SetEmpty();
  if (hTarget == pblock_ && pblock_ && pblock_->LastNotifyParamID() == kBitmapFilename)
    LoadFile(false);
  return REF_SUCCEED;
}

}  // namespace maxhost

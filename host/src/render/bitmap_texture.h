#pragma once
// The host's bitmap texture (class 0x240): an image file (or pixels given in memory) looked up
// through the standard UV generator with pyramidal, summed-area or no filtering. A file that
// cannot be read evaluates to opaque black and is reported once through the render reporter.
#include <memory>
#include <string>

#include "render/texture_filter.h"
#include "render/uv_generator.h"
#include "stdmat.h"
#include "core/year_forms.h"

namespace maxhost {

// Parameter IDs of the texture's block ("parameters"); 8 is the filtering mode as in the host.
enum BitmapTexParam : ParamID {
  kBitmapFiltering = 8,
  kBitmapFilename = 16,
};

class BitmapTexture : public BitmapTex {
 public:
  explicit BitmapTexture(BOOL loading = FALSE);

  // Uses these pixels instead of a file until a file name is set.
  void SetImage(Image image);
  // True when an image (from file or memory) is loaded.
  bool HasImage() const { return image_ != nullptr; }

  // BitmapTex
  void SetFilterType(int ft) override;
  int GetFilterType() override;
  void SetMapName(const MCHAR* name, bool isUIAction = false) override;
  const MCHAR* GetMapName() override;
  void ReloadBitmapAndUpdate() override;
  StdUVGen* GetUVGen() override { return uvgen_; }

  // Texmap
  AColor EvalColor(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext& sc) override;
  int GetMapChannel() override { return xf_.channel; }
  int IsHighDynamicRange() const override { return hdr_; }

  // MtlBase
  void Update(TimeValue t, Interval& valid) override;
  void Reset() override;
  Interval Validity(TimeValue t) override;
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  // Animatable / references
  Class_ID ClassID() override { return Class_ID(BMTEX_CLASS_ID, 0); }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(_M("Bitmap"));
  }
  int NumSubs() override { return 2; }
  Animatable* SubAnim(int i) override { return GetReference(i); }
  MSTR SubAnimName(int i MAXHOST_LOCALIZED) override;
  int SubNumToRefNum(int subNum) override { return subNum < 2 ? subNum : -1; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock_ : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? pblock_ : nullptr; }
  int NumRefs() override { return 2; }
  RefTargetHandle GetReference(int i) override;
  RefTargetHandle Clone(RemapDir& remap) override;

 protected:
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;

 private:
  // Loads the file named by the block if it is not the one loaded; `force` reads it again.
  void LoadFile(bool force);
  AColor Lookup(const Point2& uv, const Point2& duv, bool filter) const;

  StdUVGen* uvgen_ = nullptr;       // reference 0
  IParamBlock2* pblock_ = nullptr;  // reference 1
  std::shared_ptr<FilteredImage> image_;
  std::string loadedName_;    // file the image came from ("" for none or memory)
  std::string reportedName_;  // last file reported as unreadable
  bool fromMemory_ = false;
  int hdr_ = 0;
  // Plain copies of the settings, made by Update and read by shading.
  FilterMode filter_ = FilterMode::kPyramidal;
  UVTransform xf_;
  Interval ivalid_;
};

ClassDesc2* GetBitmapTextureDesc();

// A bitmap texture showing the given pixels (no file). Ownership passes to the caller, who
// references it like any other map.
BitmapTexture* NewBitmapTextureFromImage(Image image);

}  // namespace maxhost

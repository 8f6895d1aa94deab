// Pavimo: a texture map that gives each material ID, object or tile one of its
// sub-textures, picked at random in proportion to integer weights, and adjusts its colour.
#pragma once

#include <cstdint>

#include <ifnpub.h>
#include <imtl.h>
#include <iparamb2.h>
#include <max.h>

#include "shading/color_adjust.h"
#include "shading/selection.h"
#include "shell/release.h"
#include "texmap/pavimo_params.h"
#include "texmap/reference_manager.h"

// The same class in every release, so that scenes move between them.
#define PAVIMO_CLASS_ID Class_ID(0x55C6D763, 0xC637BB2E)
#if TILVARA_RELEASE == 201
#define PAVIMO_INTERFACE_ID Interface_ID(0x51677913, 0x35592b59)
#define PAVIMO_INTERFACE_NAME _T("Pavimo Functions")
#define PAVIMO_INTERFACE_FLAGS FP_MIXIN
#else
#define PAVIMO_INTERFACE_ID Interface_ID(0x2D5D2030, 0x45C54488)
#define PAVIMO_INTERFACE_NAME _T("IPavimo")
#define PAVIMO_INTERFACE_FLAGS 0
#endif

class Value;  // a script value: the open manager dialog

// Everything shading reads, copied from the block by Update so that shading never
// touches the block. Valid for `validity` only.
struct PavimoCache {
  Interval validity = NEVER;
  tilvara::AdjustSettings adjust;  // overall, random and fractions of gamma, hue, saturation
  int32_t rndBy = 0;
  int32_t seed = 12345;
  // Bitmap settings written by the previous update; none before the first one.
  bool settingsWritten = false;
  int32_t lastFiltering = 0;
  float lastBlur = 0.0f;
  float lastRotation = 0.0f;  // radians
  Color flatColor = Color(0.5f, 0.5f, 0.5f);
  int32_t useColor = 0;
#if TILVARA_RELEASE == 201
  // `sub_color` and `use_color` at time 0, which is what release 2.01 shades with whatever
  // the time; read here so that shading does not go to the block for them.
  Color flatColorAt0 = Color(0.5f, 0.5f, 0.5f);
  int32_t useColorAt0 = 0;
#endif
};

#if TILVARA_RELEASE == 201
// Release 2.01 keeps its one reference itself.
using PavimoBase = Texmap;
// Entries of the selection table: positions in `submaps`.
using PavimoTableEntry = int;
#else
using PavimoBase = ReferenceManager<Texmap, 0>;
using PavimoTableEntry = Texmap*;
#endif

class Pavimo : public PavimoBase, public FPMixinInterface {
 public:
  // The selection table never grows past this: an index draw is below 32768, so later
  // entries could never be chosen, and a capped table picks exactly as a full one would.
  static constexpr int kMaxTableEntries = 32768;

  Pavimo();
  ~Pavimo() override;

  // Interfaces
  BaseInterface* GetInterface(Interface_ID id) override;
  using ReferenceTarget::GetInterface;
  void DeleteThis() override;

  // Identity
  // From 2022 the host asks for names with a localized switch; the map's names are the same
  // either way.
#if MAX_VERSION_MAJOR >= 24
  void GetClassName(MSTR& s, bool localized) const override;
#else
  void GetClassName(MSTR& s) override;
#endif
  SClass_ID SuperClassID() override {
    return TEXMAP_CLASS_ID;
  }
  Class_ID ClassID() override {
    return PAVIMO_CLASS_ID;
  }

  // Sub-anims and blocks
  int NumSubs() override {
    return 1;
  }
  Animatable* SubAnim(int i) override;
#if MAX_VERSION_MAJOR >= 24
  MSTR SubAnimName(int i, bool localized) override;
#else
  MSTR SubAnimName(int i) override;
#endif
  int SubNumToRefNum(int subNum) override {
    return subNum;
  }
  int RenderBegin(TimeValue t, ULONG flags = 0) override;
  int RenderEnd(TimeValue t) override;
  int NumParamBlocks() override {
    return 1;
  }
  IParamBlock2* GetParamBlock(int i) override;
  IParamBlock2* GetParamBlockByID(BlockID id) override;

#if MAX_VERSION_MAJOR >= 28
  void RefDeleted(ReferenceMaker* oldOwner) override;
#else
  void RefDeleted() override;
#endif
  RefTargetHandle Clone(RemapDir& remap) override;

  // MtlBase
  ULONG LocalRequirements(int subMtlNum) override;
  void Update(TimeValue t, Interval& valid) override;
  Interval Validity(TimeValue t) override;
  void Reset() override;
  ParamDlg* CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) override;
  BOOL SupportTexDisplay() override {
    return TRUE;
  }
  DWORD_PTR GetActiveTexHandle(TimeValue t, TexHandleMaker& thmaker) override;
  void ActivateTexDisplay(BOOL onoff) override;

  // Shading; safe on many threads at once between updates.
  AColor EvalColor(ShadeContext& sc) override;
  float EvalMono(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext& sc) override;

  // Sub-textures are the entries of `submaps`.
  int NumSubTexmaps() override;
  Texmap* GetSubTexmap(int i) override;
  void SetSubTexmap(int i, Texmap* m) override;
#if MAX_VERSION_MAJOR >= 24
  MSTR GetSubTexmapSlotName(int i, bool localized) override;
#else
  MSTR GetSubTexmapSlotName(int i) override;
#endif
  BOOL SetDlgThing(ParamDlg* dlg) override;

  // IPavimo
  FPInterfaceDesc* GetDesc() override;
  FPInterfaceDesc* GetDescByID(Interface_ID id) override;

  // The block at reference 0; null only while it is being built or torn down, or when the
  // reference holds something that is not a parameter block.
  IParamBlock2* Block() const;
  const PavimoCache& Cache() const { return cache_; }
  const Tab<PavimoTableEntry>& SelectionTable() const { return table_; }
  bool SceneRender() const { return sceneRender_ != 0; }
  void DiscardTexHandle();

  // The `ListView` value: the open manager dialog, if any.
  Value* ListView() const {
    return listView_;
  }
  void SetListView(Value* v) {
    listView_ = v;
  }
  // The dialog that the show path protected from the script collector, until the dialog is
  // closed from the map's side; `ListView` may hold something else by then.
  Value* KeptDialog() const {
    return keptDialog_;
  }
  void SetKeptDialog(Value* v) {
    keptDialog_ = v;
  }

 protected:
  FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) override;
#if TILVARA_RELEASE == 201
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;
#endif

 private:
  // What the update writes into bitmap sub-textures, and which of it one write sets.
  struct BitmapSettings {
    int32_t filtering = 0;
    float blur = 0.0f;
    float rotation = 0.0f;  // radians
  };
  struct BitmapWrite {
    bool filtering = false;
    bool blur = false;
    bool rotation = false;
  };

  // Update steps of every release (pavimo_update.cpp). Reads the shading values into the
  // cache, narrowing its validity, and returns the bitmap settings at t.
  BitmapSettings ReadShadingValues(TimeValue t, IParamBlock2* pb);
  // The settings that differ from those written last; all of them before the first write.
  BitmapWrite ChangedSettings(const BitmapSettings& s) const;
  void RememberWrittenSettings(const BitmapSettings& s);
  // Writes the chosen settings into m when it is a bitmap texture.
  static void WriteBitmapSettings(Texmap* m, TimeValue t, const BitmapSettings& s,
                                  const BitmapWrite& which);
  // Appends `weight` copies of entry to the table, as many as fit under the cap.
  void AppendEntries(PavimoTableEntry entry, int weight);
  // Updates every non-empty entry of `submaps`, switched on or off, narrowing the validity.
  void UpdateSubTextures(TimeValue t, IParamBlock2* pb, int n);
  void Recompute(TimeValue t, IParamBlock2* pb);
  // The sub-texture that table entry `index` names; null for no entry (-1) and, in release
  // 2.01, for a position past the end of `submaps` or an empty slot.
  Texmap* EntryTexmap(int index) const;

#if TILVARA_RELEASE == 201
  void BlockMessage(RefMessage message);
  void CheckMaterials();

  ReferenceTarget* ref0_ = nullptr;  // what reference 0 holds
  IParamBlock2* pblock_ = nullptr;   // the same, when it is a parameter block
#else
  static int OnBlockMessage(void* map, RefMessage message, PartID& partID);
  void BlockMessage(RefMessage message);
  void CheckMaterials();

  RefPtr<IParamBlock2, PAVIMO_PBLOCK_REF> pblock_;
#endif
  PavimoCache cache_;
  Tab<PavimoTableEntry> table_;
  tilvara::EntryPicker picker_;  // picks from table_ without a division per sample
  BOOL sceneRender_ = FALSE;
  TexHandle* texHandle_ = nullptr;
  Interval texHandleValid_ = NEVER;
  Value* listView_ = nullptr;
  Value* keptDialog_ = nullptr;

#if TILVARA_RELEASE == 201
 public:
  // The one reference, whatever its index.
  int NumRefs() override;
  RefTargetHandle GetReference(int i) override;
#endif
};

#if TILVARA_RELEASE == 201
inline IParamBlock2* Pavimo::Block() const {
  return pblock_;
}
#else
inline IParamBlock2* Pavimo::Block() const {
  return pblock_.get();
}
#endif

#if TILVARA_RELEASE == 204
// Looks for a material or map, other than the map itself, among a map's dependents.
class FindMaterialEnum : public DependentEnumProc {
 public:
  explicit FindMaterialEnum(ReferenceMaker* map) : map_(map) {}
  int proc(ReferenceMaker* rmaker) override;

  bool found = false;

 private:
  ReferenceMaker* map_;
};
#endif

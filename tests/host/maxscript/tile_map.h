// A texture map for script tests with the parameter layout of a random-tile map: a list
// of sub-maps with parallel on/off and weight lists, integers, floats, an angle and a
// colour. Scripts create it as `Tilvara()`; it records the block's messages.
#pragma once

#include <vector>

#include <ifnpub.h>
#include <imtl.h>
#include <iparamb2.h>
#include <max.h>

#include "core/class_directory.h"
#include "core/year_forms.h"

namespace tile_test {

enum {
  tp_submaps,
  tp_seed,
  tp_rnd_by,
  tp_filtering,
  tp_blur,
  tp_all_gamma,
  tp_submap_on,
  tp_probability,
  tp_rotate,
  tp_sub_color,
  tp_use_color,
  tp_label
};

const Class_ID kTileMapClassId(0x6d1a0001, 0x6d1a0002);
const Interface_ID kTileInterfaceId(0x6d1a0003, 0x6d1a0004);
enum {
  tf_get_turn,
  tf_set_turn,
  tf_get_tiles,
  tf_set_tiles,
  tf_get_shown,
  tf_set_shown,
  tf_get_backing,
  tf_set_backing,
  tf_get_tint
};

class TileMapDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL) override;
  const MCHAR* ClassName() override { return L"Tilvara"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"Tilvara";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return kTileMapClassId; }
  const MCHAR* Category() override { return L""; }
  const MCHAR* InternalName() override { return L"Tilvara"; }
};

inline TileMapDesc& TheTileMapDesc() {
  static TileMapDesc desc;
  return desc;
}

// clang-format off
inline ParamBlockDesc2& TheTileBlockDesc() {
  static ParamBlockDesc2 desc(
      0, L"params", 0, &TheTileMapDesc(), P_AUTO_CONSTRUCT,
      0,
      tp_submaps, L"submaps", TYPE_TEXMAP_TAB, 0, P_VARIABLE_SIZE, 0, p_end,
      tp_seed, L"seed", TYPE_INT, P_ANIMATABLE, 0, p_default, 12345, p_end,
      tp_rnd_by, L"rnd_by", TYPE_INT, 0, 0, p_default, 0, p_end,
      tp_filtering, L"filtering", TYPE_INT, 0, 0, p_default, 0, p_end,
      tp_blur, L"blur", TYPE_FLOAT, P_ANIMATABLE, 0, p_default, 1.0f, p_end,
      tp_all_gamma, L"all_gamma", TYPE_FLOAT, P_ANIMATABLE, 0, p_default, 1.0f, p_end,
      tp_submap_on, L"submap_on", TYPE_BOOL_TAB, 0, P_VARIABLE_SIZE, 0, p_default, TRUE, p_end,
      tp_probability, L"probability", TYPE_INT_TAB, 0, P_VARIABLE_SIZE, 0, p_default, 1, p_end,
      tp_rotate, L"rotate", TYPE_ANGLE, P_ANIMATABLE, 0, p_default, 0.0f, p_end,
      tp_sub_color, L"sub_color", TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.5f, 0.5f, 0.5f), p_end,
      tp_use_color, L"use_color", TYPE_BOOL, 0, 0, p_default, FALSE, p_end,
      tp_label, L"label", TYPE_STRING, 0, 0, p_end,
      p_end);
  return desc;
}
// clang-format on

// Published properties of the map: an angle (held in radians), an integer and a boolean.
class TileInterface : public FPMixinInterface {
 public:
  float turn = 0.0f;
  int tiles = 0;
  BOOL shown = FALSE;
  float GetTurn() { return turn; }
  void SetTurn(float v) { turn = v; }
  int GetTiles() { return tiles; }
  void SetTiles(int v) { tiles = v; }
  BOOL GetShown() { return shown; }
  void SetShown(BOOL v) { shown = v; }
  Texmap* backing = nullptr;  // not a reference: tests keep the map alive
  Texmap* GetBacking() { return backing; }
  void SetBacking(Texmap* t) { backing = t; }
  Color tint = Color(0.25f, 0.5f, 0.75f);
  Color* GetTint() { return &tint; }
  FPInterfaceDesc* GetDesc() override;

  BEGIN_FUNCTION_MAP
  PROP_FNS(tf_get_turn, GetTurn, tf_set_turn, SetTurn, TYPE_ANGLE)
  PROP_FNS(tf_get_tiles, GetTiles, tf_set_tiles, SetTiles, TYPE_INT)
  PROP_FNS(tf_get_shown, GetShown, tf_set_shown, SetShown, TYPE_BOOL)
  PROP_FNS(tf_get_backing, GetBacking, tf_set_backing, SetBacking, TYPE_TEXMAP)
  RO_PROP_FN(tf_get_tint, GetTint, TYPE_RGBA)
  END_FUNCTION_MAP
};

// clang-format off
inline FPInterfaceDesc& TheTileInterfaceDesc() {
  static FPInterfaceDesc desc(kTileInterfaceId, L"ITile", 0, &TheTileMapDesc(), FP_MIXIN,
      properties,
        tf_get_turn, tf_set_turn, L"turn", 0, TYPE_ANGLE,
        tf_get_tiles, tf_set_tiles, L"tiles", 0, TYPE_INT,
        tf_get_shown, tf_set_shown, L"shown", 0, TYPE_BOOL,
        tf_get_backing, tf_set_backing, L"backing", 0, TYPE_TEXMAP,
        tf_get_tint, FP_NO_FUNCTION, L"tint", 0, TYPE_RGBA,
      p_end);
  return desc;
}
// clang-format on

inline FPInterfaceDesc* TileInterface::GetDesc() {
  return &TheTileInterfaceDesc();
}

class TileMap : public Texmap, public TileInterface {
 public:
  TileMap() {
    TheTileBlockDesc();
    TheTileInterfaceDesc();
    TheTileMapDesc().MakeAutoParamBlocks(this);
  }
  ~TileMap() override { DeleteAllRefs(); }
  Class_ID ClassID() override { return kTileMapClassId; }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(L"Tilvara");
  }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  int NumSubTexmaps() override { return pblock ? pblock->Count(tp_submaps) : 0; }
  Texmap* GetSubTexmap(int i) override { return pblock->GetTexmap(tp_submaps, 0, i); }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int) override { return pblock; }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? pblock : nullptr; }
  BaseInterface* GetInterface(Interface_ID id) override {
    if (id == kTileInterfaceId) return static_cast<TileInterface*>(this);
    return Texmap::GetInterface(id);
  }
  AColor EvalColor(ShadeContext&) override { return AColor(0, 0, 0, 1); }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0, 0, 0); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  IParamBlock2* pblock = nullptr;
  // Structure changes of the sub-map list, with the list's count when each arrived.
  std::vector<int> structure_counts;

 protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock = static_cast<IParamBlock2*>(t);
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle h, PartID&, RefMessage message,
                             BOOL) override {
    if (h == pblock && pblock && message == REFMSG_SUBANIM_STRUCTURE_CHANGED &&
        pblock->LastNotifyParamID() == tp_submaps)
      structure_counts.push_back(pblock->Count(tp_submaps));
    return REF_SUCCEED;
  }
};

inline void* TileMapDesc::Create(BOOL) {
  return static_cast<Texmap*>(new TileMap());
}

inline void RegisterTileMap() {
  maxhost::RegisterClassDesc(&TheTileMapDesc());
}

}  // namespace tile_test

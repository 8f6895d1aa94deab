// Host objects in scripts: creation by class name, parameters as properties, list
// parameters with the block's notifications, published interface properties, bitmap
// textures, and deleted objects.
#include <gtest/gtest.h>

#include <imtl.h>
#include <ifnpub.h>
#include <iparamb2.h>
#include <max.h>
#include <maxscript/maxwrapper/mxsobjects.h>

#include "core/class_directory.h"
#include "render/register.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "core/year_forms.h"

namespace {

using namespace maxhost::mxs;

enum { wp_amount, wp_seed, wp_label, wp_maps, wp_on, wp_weight };
enum { ifn_get_held, ifn_set_held };
const Interface_ID kHeldIfaceId(0x5c417001, 0x5c417002);
const Class_ID kWrapMapClassId(0x5c417003, 0x5c417004);

class WrapMap;

class WrapMapDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL) override;
  const MCHAR* ClassName() override { return L"Wrap Map"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"Wrap Map";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return kWrapMapClassId; }
  const MCHAR* Category() override { return L""; }
  const MCHAR* InternalName() override { return L"WrapMap"; }
};

WrapMapDesc& TheWrapMapDesc() {
  static WrapMapDesc desc;
  return desc;
}

// clang-format off
ParamBlockDesc2& TheWrapBlockDesc() {
  static ParamBlockDesc2 desc(
      // block ID, internal name, display name, owning class, flags
      0, L"params", 0, &TheWrapMapDesc(), P_AUTO_CONSTRUCT,
      // P_AUTO_CONSTRUCT: reference number
      0,
      wp_amount, L"amount", TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 1.0f,
        p_end,
      wp_seed, L"seed", TYPE_INT, 0, 0,
        p_default, 12345,
        p_end,
      wp_label, L"label", TYPE_STRING, 0, 0,
        p_end,
      wp_maps, L"submaps", TYPE_TEXMAP_TAB, 0, P_VARIABLE_SIZE, 0,
        p_end,
      wp_on, L"submap_on", TYPE_BOOL_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, TRUE,
        p_end,
      wp_weight, L"probability", TYPE_INT_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, 1,
        p_end,
      p_end);
  return desc;
}
// clang-format on

class HeldInterface : public FPMixinInterface {
 public:
  Value* held = nullptr;
  Value* GetHeld() { return held ? held : &undefined; }
  void SetHeld(Value* v) { held = v; }
  FPInterfaceDesc* GetDesc() override;

  BEGIN_FUNCTION_MAP
  PROP_FNS(ifn_get_held, GetHeld, ifn_set_held, SetHeld, TYPE_VALUE)
  END_FUNCTION_MAP
};

FPInterfaceDesc& TheHeldDesc() {
  static FPInterfaceDesc desc(kHeldIfaceId, L"IHeld", 0, &TheWrapMapDesc(), FP_MIXIN, properties,
                              ifn_get_held, ifn_set_held, L"ListView", 0, TYPE_VALUE, p_end);
  return desc;
}
FPInterfaceDesc* HeldInterface::GetDesc() {
  return &TheHeldDesc();
}

class WrapMap : public Texmap, public HeldInterface {
 public:
  struct Seen {
    RefMessage msg;
    ParamID id;
    int tab;
  };
  WrapMap() {
    TheWrapBlockDesc();
    TheHeldDesc();
    TheWrapMapDesc().MakeAutoParamBlocks(this);
  }
  ~WrapMap() override { DeleteAllRefs(); }
  Class_ID ClassID() override { return kWrapMapClassId; }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(L"Wrap Map");
  }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int) override { return pblock; }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? pblock : nullptr; }
  BaseInterface* GetInterface(Interface_ID id) override {
    if (id == kHeldIfaceId) return static_cast<HeldInterface*>(this);
    return Texmap::GetInterface(id);
  }
  AColor EvalColor(ShadeContext&) override { return AColor(0, 0, 0, 1); }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0, 0, 0); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  IParamBlock2* pblock = nullptr;
  std::vector<Seen> seen;

 protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock = static_cast<IParamBlock2*>(t);
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle h, PartID&, RefMessage message,
                             BOOL) override {
    if (h == pblock && pblock) {
      int tab = -1;
      ParamID id = pblock->LastNotifyParamID(tab);
      seen.push_back({message, id, tab});
    }
    return REF_SUCCEED;
  }
};

void* WrapMapDesc::Create(BOOL) {
  return static_cast<Texmap*>(new WrapMap());
}

class Wrappers : public testing::Test {
 protected:
  void SetUp() override {
    init_MAXScript();
    reset_globals();
    maxhost::RegisterClassDesc(&TheWrapMapDesc());
    maxhost::RegisterRenderClasses();
    set_output_sink([](const std::wstring&) {});
  }
  void TearDown() override {
    set_output_sink(nullptr);
  }

  std::wstring eval(const std::wstring& text) {
    RunResult r = run_string(text);
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    return r.result;
  }
  WrapMap* map_of(const std::wstring& global) {
    Value* v = global_value(global);
    EXPECT_NE(v, nullptr);
    return static_cast<WrapMap*>(dynamic_cast<Texmap*>(v->to_reftarg()));
  }
  static int count(const WrapMap* m, RefMessage msg, ParamID id) {
    int n = 0;
    for (auto& s : m->seen) n += s.msg == msg && s.id == id;
    return n;
  }
};

TEST_F(Wrappers, CreatedByInternalNameWithKeywordArguments) {
  eval(L"m = WrapMap amount:2.5 seed:7 label:\"hi\"");
  EXPECT_EQ(eval(L"m.amount"), L"2.5");
  EXPECT_EQ(eval(L"m.seed"), L"7");
  EXPECT_EQ(eval(L"m.label"), L"\"hi\"");
  EXPECT_EQ(eval(L"classOf m"), L"WrapMap");
  EXPECT_EQ(eval(L"m.seed = 9; m.seed"), L"9");
  EXPECT_EQ(map_of(L"m")->pblock->GetInt(wp_seed), 9);
}

TEST_F(Wrappers, ListParameterReadsAsArrayAndTakesWholeArrays) {
  eval(L"m = WrapMap()");
  WrapMap* m = map_of(L"m");
  EXPECT_EQ(eval(L"m.probability"), L"#()");
  eval(L"m.probability = #(3, 4, 5)");
  EXPECT_EQ(m->pblock->Count(wp_weight), 3);
  EXPECT_EQ(count(m, REFMSG_SUBANIM_STRUCTURE_CHANGED, wp_weight), 1);
  EXPECT_EQ(eval(L"m.probability"), L"#(3, 4, 5)");
  EXPECT_EQ(eval(L"m.probability.count"), L"3");
  // Same count: values change one by one, no structure change.
  m->seen.clear();
  eval(L"m.probability = #(3, 9, 5)");
  EXPECT_EQ(count(m, REFMSG_SUBANIM_STRUCTURE_CHANGED, wp_weight), 0);
  EXPECT_EQ(count(m, REFMSG_CHANGE, wp_weight), 1);
  EXPECT_EQ(m->pblock->GetInt(wp_weight, 0, 1), 9);
}

TEST_F(Wrappers, PerEntrySetIsAChangeMessageAtThatIndex) {
  eval(L"m = WrapMap()\nm.probability = #(1, 1, 1)\nm.submap_on = #(true, true, true)");
  WrapMap* m = map_of(L"m");
  m->seen.clear();
  eval(L"m.probability[2] = 5");
  ASSERT_EQ(m->seen.size(), 1u);
  EXPECT_EQ(m->seen[0].msg, static_cast<RefMessage>(REFMSG_CHANGE));
  EXPECT_EQ(m->seen[0].id, wp_weight);
  EXPECT_EQ(m->seen[0].tab, 1);
  EXPECT_EQ(eval(L"m.submap_on[3] = false; m.submap_on"), L"#(true, true, false)");
}

TEST_F(Wrappers, DeleteItemReachesTheBlockAsStructureChange) {
  eval(L"m = WrapMap()\nm.probability = #(10, 20, 30)");
  WrapMap* m = map_of(L"m");
  m->seen.clear();
  eval(L"deleteItem m.probability 2");
  EXPECT_EQ(eval(L"m.probability"), L"#(10, 30)");
  EXPECT_EQ(count(m, REFMSG_SUBANIM_STRUCTURE_CHANGED, wp_weight), 1);
  RunResult r = run_string(L"deleteItem m.probability 5");
  EXPECT_FALSE(r.ok);
}

TEST_F(Wrappers, TexmapListHoldsWrappedMaps) {
  eval(L"m = WrapMap()\na = WrapMap seed:1\nb = WrapMap seed:2\nm.submaps = #(a, b)");
  WrapMap* m = map_of(L"m");
  EXPECT_EQ(m->pblock->GetTexmap(wp_maps, 0, 1), map_of(L"b"));
  EXPECT_EQ(eval(L"m.submaps[2] == b"), L"true");
  EXPECT_EQ(eval(L"m.submaps[1].seed"), L"1");
  EXPECT_EQ(eval(L"for t in m.submaps collect t.seed"), L"#(1, 2)");
  EXPECT_EQ(eval(L"findItem m.submaps b"), L"2");
  // Reordering is a structure change even at the same count.
  m->seen.clear();
  eval(L"m.submaps = #(b, a)");
  EXPECT_EQ(count(m, REFMSG_SUBANIM_STRUCTURE_CHANGED, wp_maps), 1);
  EXPECT_EQ(eval(L"m.submaps[1].seed"), L"2");
  // A working copy: appending to what was read and writing it back.
  eval(L"local work = m.submaps as array\nappend work (WrapMap seed:3)\nm.submaps = work");
  EXPECT_EQ(m->pblock->Count(wp_maps), 3);
}

TEST_F(Wrappers, InterfacePropertyHoldsScriptValues) {
  eval(L"m = WrapMap()");
  EXPECT_EQ(eval(L"m.ListView"), L"undefined");
  eval(L"struct Dlg (m_form)\nm.ListView = Dlg 5");
  WrapMap* m = map_of(L"m");
  ASSERT_NE(m->held, nullptr);
  EXPECT_TRUE(is_struct(m->held));
  EXPECT_EQ(eval(L"m.ListView.m_form"), L"5");
  eval(L"m.ListView = undefined");
  EXPECT_EQ(m->held, &undefined);
}

TEST_F(Wrappers, WrapperFromCppAndDeletedObjects) {
  auto* raw = new WrapMap();
  Value* w = MAXClass::make_wrapper_for(raw);
  define_global(L"wrapped", w);
  EXPECT_EQ(eval(L"wrapped.seed"), L"12345");
  EXPECT_EQ(eval(L"wrapped == wrapped"), L"true");
  raw->DeleteMe();
  RunResult r = run_string(L"wrapped.seed");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"Attempt to access deleted scene object"), std::wstring::npos);
}

TEST_F(Wrappers, UnknownPropertyUsesHostWording) {
  eval(L"m = WrapMap()");
  RunResult r = run_string(L"m.noSuchParam");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"-- Unknown property: \"noSuchParam\" in "), std::wstring::npos);
  r = run_string(L"m.probability = 5");
  EXPECT_FALSE(r.ok);
}

TEST_F(Wrappers, WrappersAreCollectedButObjectsStay) {
  auto* raw = new WrapMap();
  raw->pblock->SetValue(wp_seed, 0, 77);
  MAXClass::make_wrapper_for(raw);
  collect();
  Value* again = MAXClass::make_wrapper_for(raw);
  define_global(L"again", again);
  EXPECT_EQ(eval(L"again.seed"), L"77");
  raw->DeleteMe();
}

TEST_F(Wrappers, BitmapTextureFilenameAndReload) {
  eval(L"t = bitmapTexture filename:\"no_such_file.png\"");
  EXPECT_EQ(eval(L"t.filename"), L"\"no_such_file.png\"");
  EXPECT_EQ(eval(L"t.reload()"), L"OK");
  EXPECT_EQ(eval(L"classOf t"), L"Bitmaptexture");
  EXPECT_EQ(eval(L"classOf (bitmapTex())"), L"Bitmaptexture");
  EXPECT_EQ(eval(L"(BitmapTexture filename:\"a.png\").filename"), L"\"a.png\"");
}

}  // namespace

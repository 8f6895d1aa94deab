// The names by which scripts know a host class and print its objects: from 2022 the
// non-localized class name, before that the class name the user sees.
#include <gtest/gtest.h>

#include <imtl.h>
#include <iparamb2.h>
#include <max.h>

#include "base/text.h"
#include "core/class_directory.h"
#include "core/year_forms.h"
#include "maxscript/engine.h"

namespace {

using namespace maxhost::mxs;

const Class_ID kLocalMapClassId(0x5c417101, 0x5c417102);

// A class translated for its users: "KarteLokal" on screen, "LocalMap" in English. It has
// no internal name, so scripts reach it by its class name.
class LocalMap : public Texmap {
 public:
  Class_ID ClassID() override { return kLocalMapClassId; }
#if MAX_VERSION_MAJOR >= 24
  void GetClassName(MSTR& s, bool localized) const override {
    s = MSTR(localized ? L"KarteLokal" : L"LocalMap");
  }
  MSTR SubAnimName(int i, bool localized) override {
    return i == 0 ? MSTR(localized ? L"Koordinaten" : L"Coordinates") : MSTR();
  }
#else
  void GetClassName(MSTR& s) override {
    s = MSTR(L"KarteLokal");
  }
  MSTR SubAnimName(int i) override {
    return i == 0 ? MSTR(L"Koordinaten") : MSTR();
  }
#endif
  int NumRefs() override {
    return 0;
  }
  RefTargetHandle GetReference(int) override {
    return nullptr;
  }
  AColor EvalColor(ShadeContext&) override {
    return AColor(0, 0, 0, 1);
  }
  Point3 EvalNormalPerturb(ShadeContext&) override {
    return Point3(0, 0, 0);
  }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override {
    return FOREVER;
  }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override {
    return nullptr;
  }

 protected:
  void SetReference(int, RefTargetHandle) override {}
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }
};

class LocalMapDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL) override { return static_cast<Texmap*>(new LocalMap()); }
  const MCHAR* ClassName() override { return L"KarteLokal"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"LocalMap";
  }
#endif
  SClass_ID SuperClassID() override {
    return TEXMAP_CLASS_ID;
  }
  Class_ID ClassID() override {
    return kLocalMapClassId;
  }
  const MCHAR* Category() override {
    return L"";
  }
};

LocalMapDesc& TheLocalMapDesc() {
  static LocalMapDesc desc;
  return desc;
}

#if MAX_VERSION_MAJOR >= 24
const std::wstring kScriptName = L"LocalMap";
const std::wstring kOtherName = L"KarteLokal";
#else
const std::wstring kScriptName = L"KarteLokal";
const std::wstring kOtherName = L"LocalMap";
#endif

class ClassNames : public testing::Test {
 protected:
  void SetUp() override {
    init_MAXScript();
    reset_globals();
    maxhost::RegisterClassDesc(&TheLocalMapDesc());
    set_output_sink([](const std::wstring&) {});
  }
  void TearDown() override { set_output_sink(nullptr); }

  std::wstring eval(const std::wstring& text) {
    RunResult r = run_string(text);
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    return r.result;
  }
};

TEST_F(ClassNames, ScriptsFindTheClassByTheYearsName) {
  EXPECT_EQ(eval(L"m = " + kScriptName + L"()\nclassOf m"), kScriptName);
  EXPECT_EQ(eval(kScriptName), kScriptName);
  EXPECT_EQ(maxhost::FindClassDescByInternalName(kScriptName.c_str()), &TheLocalMapDesc());
  EXPECT_EQ(maxhost::FindClassDescByInternalName(kOtherName.c_str()), nullptr);
  EXPECT_FALSE(run_string(kOtherName + L"()").ok) << "the other name is no class";
}

TEST_F(ClassNames, ObjectsPrintWithTheScriptName) {
  const std::wstring printed = eval(L"m = " + kScriptName + L"()\nm");
  const std::wstring tail = L":" + kScriptName;
  ASSERT_GE(printed.size(), tail.size()) << maxhost::Utf8FromWide(printed);
  EXPECT_EQ(printed.substr(printed.size() - tail.size()), tail) << maxhost::Utf8FromWide(printed);
}

// The helpers ask for the localized or the English name where the year has both.
TEST(ClassNameForms, LocalizedAndEnglishNames) {
  LocalMap map;
  EXPECT_EQ(std::wstring(maxhost::ClassNameOf(map).data()), L"KarteLokal");
  EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(map, 0).data()), L"Koordinaten");
  EXPECT_EQ(std::wstring(maxhost::ScriptClassName(TheLocalMapDesc())), kScriptName);
  EXPECT_EQ(std::wstring(maxhost::ClassNameOf(map, false).data()), kScriptName);
#if MAX_VERSION_MAJOR >= 24
  EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(map, 0, false).data()), L"Coordinates");
  EXPECT_EQ(std::wstring(map.ClassName(false).data()), L"LocalMap");
#endif
#if MAX_VERSION_MAJOR >= 24 && MAX_VERSION_MAJOR < 28
  // 2022 to 2025 keep the short forms, sealed, for callers: they give the localized names.
  Animatable& anim = map;
  MSTR shortForm;
  anim.GetClassName(shortForm);
  EXPECT_EQ(std::wstring(shortForm.data()), L"KarteLokal");
  EXPECT_EQ(std::wstring(anim.SubAnimName(0).data()), L"Koordinaten");
#endif
}

}  // namespace

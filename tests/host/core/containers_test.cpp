#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include <containers/Array.h>
#include <ifnpub.h>
#include <maxapi.h>
#include <tab.h>

#include "core/assertions.h"
#include "core/core_state.h"
#include "test_classes.h"

namespace {

TEST(TabTest, BadIndexThrowsWithSdkMessage) {
  Tab<int> t;
  const int v[3] = {1, 2, 3};
  t.Append(3, v);
  EXPECT_EQ(t[2], 3);
  try {
    (void)t[3];
    FAIL() << "no exception";
  } catch (const TabOutOfRangeException& e) {
    EXPECT_STREQ(e.what(), "Invalid index passed into a Max SDK Tab::operator[]");
  }
  EXPECT_THROW((void)t[-1], TabOutOfRangeException);
}

TEST(TabTest, AppendInsertDeleteKeepOrder) {
  Tab<int> t;
  const int a[2] = {1, 4};
  const int b[2] = {2, 3};
  t.Append(2, a);
  t.Insert(1, 2, b);
  ASSERT_EQ(t.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t[i], i + 1);
  t.Delete(0, 3);
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t[0], 4);
  t.SetCount(0);
  EXPECT_EQ(t.Count(), 0);
  Tab<int> copy = t;
  EXPECT_EQ(copy.Count(), 0);
}

// Counts the assertions that fail while it lives.
class AssertionWatch {
 public:
  long long Failed() const { return maxhost::AssertionFailureCount() - mStart; }

 private:
  long long mStart = maxhost::AssertionFailureCount();
};

std::vector<int> Items(const MaxSDK::Array<int>& a) {
  return std::vector<int>(a.asArrayPtr(), a.asArrayPtr() + a.length());
}

static_assert(std::is_same_v<decltype(std::declval<MaxSDK::Array<int>&>().append(0)), size_t>);
static_assert(std::is_same_v<decltype(std::declval<MaxSDK::Array<int>&>().setGrowLength(1)),
                             MaxSDK::Array<int>&>);
static_assert(std::is_same_v<decltype(std::declval<MaxSDK::Array<int>&>().insertAt(0, 0)),
                             MaxSDK::Array<int>&>);
static_assert(
    std::is_same_v<decltype(std::declval<MaxSDK::Array<int>&>().removeAt(0)), MaxSDK::Array<int>&>);

TEST(ArrayTest, BadIndexAssertsAndThrowsWithSdkMessage) {
  MaxSDK::Array<int*> a;
  a.setGrowLength(8).append(nullptr);
  EXPECT_EQ(a.length(), 1u);
  EXPECT_EQ(a.lengthReserved(), 8u) << "storage grows in steps of the growth length";
  AssertionWatch watch;
  try {
    (void)a[1];
    FAIL() << "no exception";
  } catch (const MaxSDK::Util::OutOfRangeException& e) {
    EXPECT_STREQ(e.What(), L"Argument index out of bounds, passed into a MaxSDK::Array::operator[]");
  }
  const auto& ca = a;
  // Caught by the SDK's exception base, as a host edge catches it.
  EXPECT_THROW((void)ca[5], MaxSDK::Util::Exception);
  EXPECT_EQ(watch.Failed(), 2);
  EXPECT_EQ(a.first(), nullptr);
  EXPECT_EQ(&a.first(), &a.last());
  MaxSDK::Array<int> empty;
  EXPECT_THROW((void)empty.first(), MaxSDK::Util::RunTimeException);
  EXPECT_THROW((void)empty.last(), MaxSDK::Util::RunTimeException);
}

TEST(ArrayTest, AppendAnswersTheIndexAndFindsFollowTheSdk) {
  MaxSDK::Array<int> a;
  EXPECT_EQ(a.append(5), 0u);
  EXPECT_EQ(a.append(7), 1u);
  EXPECT_EQ(a.append(5), 2u);
  EXPECT_EQ(a.find(5), 0u);
  EXPECT_EQ(a.findFrom(5, 1), 2u);
  EXPECT_EQ(a.find(9), static_cast<size_t>(-1));
  size_t at = 99;
  EXPECT_TRUE(a.find(7, at));
  EXPECT_EQ(at, 1u);
  EXPECT_FALSE(a.find(7, at, 2));
  EXPECT_EQ(at, 1u) << "a failed search leaves the index alone";
  EXPECT_TRUE(a.contains(5, 1));
  EXPECT_FALSE(a.contains(7, 2));
  a.insertAt(3, 8).insertAt(0, 1);
  EXPECT_EQ(Items(a), (std::vector<int>{1, 5, 7, 5, 8}));
}

// The editing operations assert a bad index, as the host's do, and change nothing: the
// plug-in is never handed an exception that the host would not throw.
TEST(ArrayTest, EditsAtBadIndicesAssertAndChangeNothing) {
  MaxSDK::Array<int> a;
  for (int v : {1, 2, 3, 4}) a.append(v);
  AssertionWatch watch;

  EXPECT_NO_THROW(a.insertAt(5, 9));
  EXPECT_EQ(watch.Failed(), 1);
  EXPECT_NE(maxhost::LastAssertionReport().find("insertAt"), std::string::npos)
      << maxhost::LastAssertionReport();
  EXPECT_NE(maxhost::LastAssertionReport().find("Array.h:"), std::string::npos);
  EXPECT_NO_THROW(a.removeAt(4));
  EXPECT_NO_THROW(a.removeAt(static_cast<size_t>(-1)));
  EXPECT_NO_THROW(a.removeSubArray(4, 6));
  EXPECT_NO_THROW(a.removeSubArray(2, 1));
  EXPECT_EQ(watch.Failed(), 5);
  EXPECT_EQ(Items(a), (std::vector<int>{1, 2, 3, 4}));

  a.setGrowLength(0);
  EXPECT_EQ(watch.Failed(), 6);
  EXPECT_EQ(a.growLength(), 1u) << "the growth step is at least one";
}

TEST(ArrayTest, EditsAtGoodIndicesDoNotAssert) {
  MaxSDK::Array<int> a;
  for (int v : {1, 2, 3, 4, 5}) a.append(v);
  AssertionWatch watch;
  a.insertAt(5, 6);
  a.removeAt(0);
  EXPECT_EQ(Items(a), (std::vector<int>{2, 3, 4, 5, 6}));
  a.removeSubArray(3, 99);
  EXPECT_EQ(Items(a), (std::vector<int>{2, 3, 4})) << "an end past the last element is the last";
  a.removeSubArray(1, 1);
  EXPECT_EQ(Items(a), (std::vector<int>{2, 4}));
  a.removeAll().append(3);
  EXPECT_EQ(Items(a), (std::vector<int>{3}));
  EXPECT_EQ(watch.Failed(), 0);
}

TEST(AssertTest, ReportsNameTheExpressionAndCountOnEveryThread) {
  AssertionWatch watch;
  const int value = 3;
  DbgAssert(value == 3);
  EXPECT_EQ(watch.Failed(), 0);
  DbgAssert(value == 4);
  EXPECT_EQ(watch.Failed(), 1);
  const std::string report = maxhost::LastAssertionReport();
  EXPECT_EQ(report.rfind("value == 4 in TestBody (containers_test.cpp:", 0), 0u) << report;
  EXPECT_FALSE(DbgVerify(value == 5));
  EXPECT_TRUE(DbgVerify(value == 3));
  EXPECT_EQ(watch.Failed(), 2);
  const std::string verifyReport = maxhost::LastAssertionReport();
  EXPECT_EQ(verifyReport.rfind("value == 5 in", 0), 0u) << verifyReport;

  std::string otherThreadReport = "unset";
  std::thread other([&] {
    assert1(12, L"dir\\wide.cpp", L"Wide", L"w > 0");
    otherThreadReport = maxhost::LastAssertionReport();
  });
  other.join();
  EXPECT_EQ(otherThreadReport, "w > 0 in Wide (wide.cpp:12)");
  EXPECT_EQ(watch.Failed(), 3);
  EXPECT_EQ(maxhost::LastAssertionReport(), verifyReport) << "each thread keeps its own report";
}

TEST(IntervalTest, IntersectionAndEmptiness) {
  Interval iv = FOREVER;
  EXPECT_TRUE(iv.InInterval(0));
  iv &= Interval(10, 20);
  EXPECT_EQ(iv, Interval(10, 20));
  iv &= Interval(30, 40);
  EXPECT_TRUE(iv.Empty());
  EXPECT_FALSE(NEVER.InInterval(TIME_NegInfinity)) << "the empty interval holds no time";
  EXPECT_EQ(NEVER.Start(), TIME_NegInfinity);
}

TEST(StringTest, FromAcpAndLength) {
  WStr s = WStr::FromACP("abc", 2);
  EXPECT_EQ(s.Length(), 2);
  EXPECT_STREQ(s.data(), L"ab");
  EXPECT_STREQ(WStr::FromACP("caf\xc3\xa9").data(), L"caf\u00e9");
  EXPECT_STREQ(WStr::FromACP("\xe9t\xe9").data(), L"\u00e9t\u00e9") << "Latin-1 bytes";
  EXPECT_EQ(WStr::FromACP(nullptr).Length(), 0);
  MSTR m;
  m.printf(L"%d-%ls", 7, L"x");
  EXPECT_EQ(m, L"7-x");
}

// UTF-8 text converts both ways without loss; malformed bytes become U+FFFD, except that
// the code page form falls back to Latin-1 for text that is not UTF-8 at all.
TEST(StringTest, Utf8BothWays) {
  const WStr emoji = WStr::FromUTF8("a\xF0\x9F\x98\x80z");
  if constexpr (sizeof(wchar_t) == 2) {  // UTF-16: a surrogate pair
    ASSERT_EQ(emoji.Length(), 4);
    EXPECT_EQ(static_cast<unsigned>(emoji.data()[1]), 0xD83Du);
    EXPECT_EQ(static_cast<unsigned>(emoji.data()[2]), 0xDE00u);
  } else {
    ASSERT_EQ(emoji.Length(), 3);
    EXPECT_EQ(static_cast<unsigned>(emoji.data()[1]), 0x1F600u);
  }
  EXPECT_STREQ(emoji.ToUTF8().data(), "a\xF0\x9F\x98\x80z");
  EXPECT_STREQ(WStr::FromUTF8("x\xFFy").data(), L"x\uFFFDy");
  EXPECT_STREQ(WStr::FromACP("x\xFFy").data(), L"x\u00FFy");
  EXPECT_STREQ(WStr::FromACP("kept \xEF\xBF\xBD").data(), L"kept \uFFFD")
      << "a replacement character that was in the text stays";
}

TEST(ColorTest, ClampMinMaxClampsAllFourComponents) {
  AColor c(-0.5f, 0.5f, 1.5f, 2.0f);
  c.ClampMinMax();
  EXPECT_EQ(c, AColor(0.0f, 0.5f, 1.0f, 1.0f));
}

// The release and API number of each host year's final SDK, and the LibVersion they make.
TEST(VersionTest, VersionOfTheHost) {
  struct Year {
    int year, major;
    ULONG release, api, version;
  };
  const Year years[] = {
      {2012, 14, 14000, 38, 0x36B02600}, {2013, 15, 15000, 40, 0x3A982800},
      {2015, 17, 17000, 44, 0x42682C00}, {2017, 19, 19000, 48, 0x4A383000},
      {2018, 20, 20000, 50, 0x4E203200}, {2019, 21, 21000, 52, 0x52083400},
      {2020, 22, 22000, 55, 0x55F03700}, {2021, 23, 23000, 57, 0x59D83900},
      {2022, 24, 24000, 60, 0x5DC03C00}, {2023, 25, 25000, 62, 0x61A83E00},
      {2024, 26, 26000, 64, 0x65904000}, {2025, 27, 27000, 66, 0x69784200},
      {2026, 28, 28000, 68, 0x6D604400},
  };
  const Year* built = nullptr;
  for (const Year& y : years)
    if (y.year == MAX_PRODUCT_YEAR_NUMBER) built = &y;
  ASSERT_NE(built, nullptr) << "no entry for host year " << MAX_PRODUCT_YEAR_NUMBER;
  EXPECT_EQ(MAX_VERSION_MAJOR, built->major);
  EXPECT_EQ(static_cast<ULONG>(MAX_RELEASE), built->release);
  EXPECT_EQ(static_cast<ULONG>(MAX_API_NUM), built->api);
  EXPECT_EQ(static_cast<ULONG>(VERSION_3DSMAX), built->version);
  EXPECT_EQ(GET_MAX_RELEASE(VERSION_3DSMAX), built->release);
  EXPECT_EQ(GET_MAX_API_NUM(VERSION_3DSMAX), built->api);
  EXPECT_EQ(GET_MAX_SDK_REV(VERSION_3DSMAX), 0u);
  EXPECT_EQ(TEXMAP_CLASS_ID, 0xC10);
  EXPECT_STREQ(TEXMAP_CAT_COMP, L"Compositors");
}

// --- function publishing

enum { fn_double, prop_get, prop_set };
const Interface_ID kTestIfaceId(0x11112222, 0x33334444);

class TestMixin : public FPMixinInterface {
 public:
  int Double(int v) { return v * 2; }
  Value* GetHeld() { return held; }
  void SetHeld(Value* v) { held = v; }
  Value* held = nullptr;
  FPInterfaceDesc* GetDesc() override;

  BEGIN_FUNCTION_MAP
  FN_1(fn_double, TYPE_INT, Double, TYPE_INT)
  PROP_FNS(prop_get, GetHeld, prop_set, SetHeld, TYPE_VALUE)
  END_FUNCTION_MAP
};

FPInterfaceDesc& TestIfaceDesc() {
  static FPInterfaceDesc desc(kTestIfaceId, L"ITest", 0, &coretest::TheTestMapDesc(), FP_MIXIN,
                              fn_double, L"double", 0, TYPE_INT, 0, 1, L"value", 0, TYPE_INT,
                              properties, prop_get, prop_set, L"Held", 0, TYPE_VALUE, p_end);
  return desc;
}

FPInterfaceDesc* TestMixin::GetDesc() {
  return &TestIfaceDesc();
}

TEST(FunctionPublishingTest, TableAndDispatch) {
  FPInterfaceDesc& d = TestIfaceDesc();
  ASSERT_EQ(d.functions.size(), 1u);
  EXPECT_STREQ(d.functions[0].internal_name, L"double");
  ASSERT_EQ(d.functions[0].params.size(), 1u);
  ASSERT_EQ(d.props.size(), 1u);
  EXPECT_EQ(d.props[0].prop_type, TYPE_VALUE);
  EXPECT_EQ(d.FindProp(L"held"), &d.props[0]);
  EXPECT_EQ(coretest::TheTestMapDesc().GetInterface(kTestIfaceId), &d);

  TestMixin m;
  EXPECT_EQ(m.GetID(), kTestIfaceId);
  FPParams p(1);
  p.params[0].Load(TYPE_INT, 21);
  FPValue r;
  EXPECT_EQ(m.Invoke(fn_double, 0, r, &p), FPS_OK);
  EXPECT_EQ(r.type, TYPE_INT);
  EXPECT_EQ(r.i, 42);

  auto* fake = reinterpret_cast<Value*>(&m);
  p.params[0].Load(TYPE_VALUE, fake);
  EXPECT_EQ(m.Invoke(prop_set, 0, r, &p), FPS_OK);
  EXPECT_EQ(m.Invoke(prop_get, 0, r, nullptr), FPS_OK);
  EXPECT_EQ(r.v, fake);
  EXPECT_EQ(m.Invoke(99, 0, r, nullptr), FPS_NO_SUCH_FUNCTION);
  EXPECT_EQ(m.Invoke(prop_set, 0, r, nullptr), FPS_FAIL) << "a setter needs its argument";
}

TEST(FunctionPublishingTest, OwnedStringsSurviveCopies) {
  FPValue a;
  a.LoadString(L"hello");
  FPValue b = a;
  a.Free();
  EXPECT_STREQ(b.s, L"hello");
}

// --- core interface

TEST(CoreInterfaceTest, TimeAndRedrawSuspension) {
  Interface* ip = GetCOREInterface();
  ASSERT_NE(ip, nullptr);
  ip->SetTime(320);
  EXPECT_EQ(ip->GetTime(), 320);
  ip->DisableSceneRedraw();
  ip->DisableSceneRedraw();
  EXPECT_EQ(maxhost::SceneRedrawDisableCount(), 2);
  ip->EnableSceneRedraw();
  ip->EnableSceneRedraw();
  ip->EnableSceneRedraw();
  EXPECT_EQ(ip->IsSceneRedrawDisabled(), 0);
  ip->SetTime(0);
  maxhost::SetCoreInterfaceOverride(nullptr);
  EXPECT_EQ(GetCOREInterface(), nullptr);
  maxhost::ClearCoreInterfaceOverride();
  EXPECT_EQ(GetCOREInterface(), ip);
}

// --- texture display

class CountingHandleMaker : public TexHandleMaker {
 public:
  TexHandle* MakeHandle(BITMAPINFO* bmi) override {
    last = bmi;
    return nullptr;
  }
  int Size() override { return 4; }
  BITMAPINFO* last = nullptr;
};

TEST(TexmapTest, DefaultDisplayBitmapRendersTheMap) {
  auto* map = new coretest::TestMap();
  CountingHandleMaker maker;
  Interval valid = FOREVER;
  BITMAPINFO* bmi = map->GetVPDisplayDIB(0, maker, valid);
  ASSERT_NE(bmi, nullptr);
  EXPECT_EQ(bmi->bmiHeader.biWidth, 4);
  EXPECT_EQ(bmi->bmiHeader.biHeight, 4);
  EXPECT_EQ(bmi->bmiHeader.biBitCount, 24);
  const auto* px = reinterpret_cast<const unsigned char*>(bmi) + sizeof(BITMAPINFOHEADER);
  // Pixel (3, 0): u = 0.875, v = 0.125; stored blue, green, red.
  EXPECT_EQ(px[9 + 2], static_cast<unsigned char>(0.875f * 255.0f + 0.5f));
  EXPECT_EQ(px[9 + 1], static_cast<unsigned char>(0.125f * 255.0f + 0.5f));
  EXPECT_EQ(px[9 + 0], static_cast<unsigned char>(0.25f * 255.0f + 0.5f));
  std::free(bmi);
  BITMAPINFO* forced = map->GetVPDisplayDIB(0, maker, valid, TRUE, 3, 2);
  ASSERT_NE(forced, nullptr);
  EXPECT_EQ(forced->bmiHeader.biWidth, 3);
  EXPECT_EQ(forced->bmiHeader.biHeight, 2);
  std::free(forced);
  map->DeleteMe();
}

}  // namespace

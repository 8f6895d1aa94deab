// The collector frees what no global, value local, permanent value, marker hook or
// evaluator temporary reaches, and nothing else.
#include <gtest/gtest.h>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "probe.h"

namespace {

using namespace maxhost::mxs;

class Collector : public testing::Test {
 protected:
  void SetUp() override {
    init_MAXScript();
    reset_globals();
    collect();
    ProbeValue::destroyed = 0;
    set_output_sink([](const std::wstring&) {});
  }
  void TearDown() override { set_output_sink(nullptr); }
};

TEST_F(Collector, UnreachableValueIsFreed) {
  new ProbeValue();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, HeapPermanentSurvivesUntilCollectable) {
  Value* p = (new ProbeValue())->make_heap_permanent();
  collect();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  p->make_collectable();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, PermanentValueKeepsWhatItReaches) {
  auto* holder = new Array(0);
  holder->append(new ProbeValue());
  holder->make_heap_permanent();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  holder->make_collectable();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

#if MAX_VERSION_MAJOR >= 19
// From 2017 a value-local array unlinks itself when its C++ scope ends.
TEST_F(Collector, ValueLocalsAreRootsUntilTheirScopeEnds) {
  {
    Value** vl;
    value_local_array(vl, 2);
    vl[1] = new ProbeValue();
    collect();
    EXPECT_EQ(ProbeValue::destroyed, 0);
    EXPECT_EQ(mxs_current_locals_frame(), &vl[-2]);
  }
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, NestedArraysUnlinkInnermostFirst) {
  Value** outer;
  value_local_array(outer, 1);
  outer[0] = new ProbeValue();
  {
    Value** inner;
    value_local_array(inner, 1);
    inner[0] = new ProbeValue();
    EXPECT_EQ(reinterpret_cast<Value**>(inner[-1]), &outer[-2]);
  }
  EXPECT_EQ(mxs_current_locals_frame(), &outer[-2]);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, AnExceptionLeavingTheScopeUnlinksTheArray) {
  Value** outer;
  value_local_array(outer, 1);
  outer[0] = new ProbeValue();
  try {
    Value** vl;
    value_local_array(vl, 1);
    vl[0] = new ProbeValue();
    throw RuntimeError(L"leaving");
  } catch (MAXScriptException&) {
  }
  EXPECT_EQ(mxs_current_locals_frame(), &outer[-2]);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

// A scope object declared without a frame of its own, or a second one for a frame that
// already has one, must not unlink the caller's frame when it ends.
TEST_F(Collector, AScopeWithoutAFrameOfItsOwnLeavesTheChainAlone) {
  const std::size_t before = frameless_value_local_scopes();
  { MXS_Exit_ValueLocal_Scope stray(true); }
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  Value** outer;
  value_local_array(outer, 1);
  outer[0] = new ProbeValue();
  { MXS_Exit_ValueLocal_Scope second(true); }
  EXPECT_EQ(mxs_current_locals_frame(), &outer[-2]);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  EXPECT_EQ(frameless_value_local_scopes(), before + 2);
}
#else
// Before 2017 the caller unlinks a value-local array itself.
TEST_F(Collector, ValueLocalsAreRootsUntilPopped) {
  Value** vl;
  value_local_array(vl, 2);
  vl[1] = new ProbeValue();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  pop_value_local_array(vl);
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}
#endif

TEST_F(Collector, GlobalsAreRoots) {
  Value* name = Name::intern(L"probeHolder");
  globals->put(name, new GlobalThunk(name, new ProbeValue()));
  RunResult r = run_string(L"gc(); classOf probeHolder");
  EXPECT_EQ(ProbeValue::destroyed, 0);
  run_string(L"probeHolder = undefined; gc()");
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, RootMarkerHookKeepsValues) {
  Value* held = new ProbeValue();
  int id = add_root_marker([held] { Value::gc_mark(held); });
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  remove_root_marker(id);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, EvaluatorTemporariesSurviveCollectionMidExpression) {
  RunResult r = run_string(
      L"fn churn = (gc(); for i = 1 to 3 collect (i as string))\n"
      L"struct Pair (a, b)\n"
      L"p = Pair (\"left\" + \"!\") (churn())\n"
      L"#(\"x\" + \"y\", churn(), (gc(); \"z\"), p)");
  ASSERT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(
      r.result,
      L"#(\"xy\", #(\"1\", \"2\", \"3\"), \"z\", (Pair a:\"left!\" b:#(\"1\", \"2\", \"3\")))");
}

TEST_F(Collector, FunctionScopesAndClosuresStayAlive) {
  RunResult r = run_string(
      L"fn mk = (local kept = #(1, 2); fn get = kept)\n"
      L"g = mk()\n"
      L"gc()\n"
      L"g()");
  EXPECT_EQ(r.result, L"#(1, 2)");
}

// A reference keeps the place it refers to: a function's local, an array, a struct.
TEST_F(Collector, ReferencesKeepWhatTheyReferTo) {
  RunResult r = run_string(
      L"fn mk = (local kept = #(\"local\"); &kept)\n"
      L"r1 = mk()\n"
      L"r2 = &(#(1, #(2)))[2]\n"
      L"struct S (v = \"member\")\n"
      L"r3 = &(S()).v\n"
      L"for i = 1 to 2000 do (local junk = #(i, i))\n"
      L"gc()\n"
      L"#(*r1, *r2, *r3)");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"#(#(\"local\"), #(2), \"member\")");
}

// A struct copy and its bound member functions survive a collection that runs while the
// clone handler allocates.
TEST_F(Collector, StructCopiesSurviveCollectionInTheirCloneHandler) {
  RunResult r = run_string(
      L"struct P (items = #(1), fn n = items.count, on clone do (for i = 1 to 3000 do "
      L"(local t = #(i)); gc()))\n"
      L"c = copy (P())\n"
      L"gc()\n"
      L"append c.items 2\n"
      L"c.n()");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"2");
}

TEST_F(Collector, CyclesAreFreed) {
  run_string(L"struct Node2 (next)\nfor i = 1 to 100 do (local n = Node2(); n.next = n)");
  collect();
  std::size_t before = live_value_count();
  run_string(L"for i = 1 to 100 do (local n = Node2(); n.next = n)");
  collect();
  EXPECT_EQ(live_value_count(), before);
}

TEST_F(Collector, AllocationPressureCollectsDuringLongLoops) {
  std::size_t collections = collection_count();
  RunResult r = run_string(L"global s\nfor i = 1 to 150000 do (s = i as string); s");
  EXPECT_EQ(r.result, L"\"150000\"");
  EXPECT_GT(collection_count(), collections);
  EXPECT_LT(live_value_count(), 300000u);
}

}  // namespace

namespace {

using namespace maxhost::mxs;

class HeapBudget : public Collector {
 protected:
  void TearDown() override {
    set_run_limits(RunLimits{});
    Collector::TearDown();
  }
};

// The heap's size follows what the values own: a long string counts its characters, and
// a collection gives them back once nothing holds the string.
TEST_F(HeapBudget, SizeCountsOwnedStorage) {
  std::size_t before = heap_bytes();
  run_string(L"big = \"0123456789\"; for i = 1 to 16 do big = big + big");
  collect();
  std::size_t held = heap_bytes();
  EXPECT_GE(held, before + (std::size_t{10} << 16) * sizeof(wchar_t));
  run_string(L"big = undefined");
  collect();
  EXPECT_LT(heap_bytes(), held - (std::size_t{10} << 16) * sizeof(wchar_t));
}

// Reaching the limit outside a safe point measures without freeing: an array that only a
// native local holds survives the failed growth and stays usable.
TEST_F(HeapBudget, FailedGrowthFreesNothingInUse) {
  RunLimits limits;
  limits.heap_limit_bytes = heap_bytes() + (std::size_t{4} << 20);
  set_run_limits(limits);
  auto* native = new Array(0);
  auto* item = new String(L"kept");
  bool stopped = false;
  try {
    for (int i = 0; i < 10000000; ++i) native->append(item);
  } catch (MAXScriptException& e) {
    stopped = true;
    EXPECT_NE(e.message().find(L"out of memory"), std::wstring::npos);
  }
  EXPECT_TRUE(stopped);
  EXPECT_GT(native->count(), 1000);
  EXPECT_EQ(native->get(native->count() - 1), item);
  EXPECT_EQ(item->string, L"kept");
  native->data.clear();
  native->data.shrink_to_fit();
  set_run_limits(RunLimits{});
  collect();
}

}  // namespace

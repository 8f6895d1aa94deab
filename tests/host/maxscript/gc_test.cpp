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

TEST_F(Collector, ValueLocalsAreRoots) {
  {
    MXS_Exit_ValueLocal_Scope scope;
    Value** vl;
    value_local_array(vl, 2);
    vl[1] = new ProbeValue();
    collect();
    EXPECT_EQ(ProbeValue::destroyed, 0);
  }
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Collector, ExitScopeDeclaredAfterTheArrayStillUnlinksIt) {
  {
    Value** vl;
    value_local_array(vl, 1);
    MXS_Exit_ValueLocal_Scope scope(true);
    vl[0] = new ProbeValue();
  }
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

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

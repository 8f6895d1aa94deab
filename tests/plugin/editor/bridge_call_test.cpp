// What a call into the dialog script's entries does to the engine: the evaluation context
// (2019 on) or none (2017 and 2018), one allocation frame, the value-local chain left as it
// was found, and how an error inside an entry is reported or swallowed in each host year.
#include <stdexcept>

#include "editor/script_bridge.h"
#include "editor_support.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "shell/tilvara.h"

namespace editor_test {
namespace {

namespace mxs = maxhost::mxs;

// A value that counts its destruction, to see what the collector frees during a call.
struct CountedValue : public Value {
  static inline int destroyed = 0;
  ~CountedValue() override { ++destroyed; }
  void sprin1(CharStream* s) override { s->puts(L"<counted>"); }
};

// The engine's state as an entry function sees it.
struct Seen {
  int contexts = -1;
  int allocFrames = -1;
  int destroyedAfterCollect = -1;
};

class BridgeCallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TheHost().error.empty()) GTEST_FAIL() << TheHost().error;
    mxs::clear_reported_errors();
    maxhost::ClearMessageBoxLog();
    MAXScript_signals = 0;
    CountedValue::destroyed = 0;
    mxs::collect();
    CountedValue::destroyed = 0;
  }
  void TearDown() override { MAXScript_signals = 0; }

  // Defines the global `bridgeTestProbe`, which records what it sees and collects garbage.
  void DefineProbe(Seen& seen) {
    mxs::define_primitive(L"bridgeTestProbe", [&seen](Value**, int) -> Value* {
      mxs::ThreadState& t = mxs::thread_state();
      seen.contexts = t.eval_contexts;
      seen.allocFrames = t.alloc_frames;
      mxs::collect();
      seen.destroyedAfterCollect = CountedValue::destroyed;
      return Integer::intern(7);
    });
  }
};

TEST_F(BridgeCallTest, AnEntryRunsInTheHostYearsContextWithItsArgumentRooted) {
  Seen seen;
  DefineProbe(seen);
  RunScript(L"fn bridgeTestEntry x = bridgeTestProbe()\nok");
  Value** headBefore = mxs_current_locals_frame();
  const std::size_t framelessBefore = mxs::frameless_value_local_scopes();
  Value* kept = CallScriptFunction(L"bridgeTestEntry", new CountedValue(), true);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->to_int(), 7);
#if MAX_VERSION_MAJOR >= 21
  EXPECT_EQ(seen.contexts, 1);
#else
  EXPECT_EQ(seen.contexts, 0);
#endif
  // One frame: the context's from 2019, the bridge's own before; never both.
  EXPECT_EQ(seen.allocFrames, 1);
  // The argument is only reachable through the bridge's value locals during the call.
  EXPECT_EQ(seen.destroyedAfterCollect, 0);
  // Afterwards the engine is as it was, and the argument is garbage.
  EXPECT_EQ(mxs::thread_state().eval_contexts, 0);
  EXPECT_EQ(mxs::thread_state().alloc_frames, 0);
  EXPECT_EQ(mxs_current_locals_frame(), headBefore);
  EXPECT_EQ(mxs::frameless_value_local_scopes(), framelessBefore);
  mxs::collect();
  EXPECT_EQ(CountedValue::destroyed, 1);
}

TEST_F(BridgeCallTest, AScriptErrorInAnEntryIsReportedFrom2019AndSwallowedBefore) {
  RunScript(L"fn bridgeTestFail x = x.nothingHere\nok");
  Value** headBefore = mxs_current_locals_frame();
  MAXScript_signals = 5;
  EXPECT_EQ(CallScriptFunction(L"bridgeTestFail", Integer::intern(3), true), nullptr);
  std::vector<mxs::ReportedError> errors = mxs::reported_errors();
#if MAX_VERSION_MAJOR >= 21
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, L"Tilva BitmapList");
  EXPECT_TRUE(errors[0].message_box);
  ASSERT_EQ(MessageBoxes().size(), 1u);
  // A reported script error leaves the pending signals to the engine.
  EXPECT_EQ(MAXScript_signals, 5);
#else
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_EQ(MAXScript_signals, 0);
  EXPECT_EQ(mxs::thread_state().current_exception, nullptr);
#endif
  EXPECT_EQ(mxs_current_locals_frame(), headBefore);
  EXPECT_EQ(mxs::thread_state().alloc_frames, 0);
}

TEST_F(BridgeCallTest, ANativeExceptionInAnEntryResetsTheEngineInEveryYear) {
  mxs::define_primitive(L"bridgeTestThrow",
                        [](Value**, int) -> Value* { throw std::runtime_error("native"); });
  RunScript(L"fn bridgeTestNative x = bridgeTestThrow()\nok");
  Value** headBefore = mxs_current_locals_frame();
  MAXScript_signals = 3;
  mxs::thread_state().current_exception = &undefined;
  EXPECT_EQ(CallScriptFunction(L"bridgeTestNative", Integer::intern(1), true), nullptr);
  EXPECT_EQ(MAXScript_signals, 0);
  EXPECT_EQ(mxs::thread_state().current_exception, nullptr);
  std::vector<mxs::ReportedError> errors = mxs::reported_errors();
#if MAX_VERSION_MAJOR >= 21
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, L"Tilva BitmapList");
  EXPECT_FALSE(errors[0].message_box);
  EXPECT_EQ(errors[0].text, L"-- Unknown system exception\n");
#else
  EXPECT_TRUE(errors.empty());
#endif
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_EQ(mxs_current_locals_frame(), headBefore);
  EXPECT_EQ(mxs::thread_state().eval_contexts, 0);
  EXPECT_EQ(mxs::thread_state().alloc_frames, 0);
}

// Keeps a global's value for the test and gives it back afterwards.
class SavedGlobal {
 public:
  explicit SavedGlobal(const wchar_t* name) : name_(name), value_(mxs::global_value(name)) {
    if (value_) value_->make_heap_permanent();
  }
  ~SavedGlobal() {
    mxs::define_global(name_, value_ ? value_ : &undefined, false);
    if (value_) value_->make_collectable();
  }
  SavedGlobal(const SavedGlobal&) = delete;
  SavedGlobal& operator=(const SavedGlobal&) = delete;

 private:
  const wchar_t* name_;
  Value* value_;
};

// The plug-in's objects linked into this program have their own load-once flag: a dialog
// script that fails is run again from 2019, and only once in 2017 and 2018.
TEST_F(BridgeCallTest, AFailingDialogScriptIsRetriedOnlyFrom2019) {
  if (DialogScriptLoaded()) GTEST_SKIP() << "an earlier test of this process loaded the script";
  SavedGlobal getStruct(L"getStruct");
  SavedGlobal closeEntry(L"fn_From_Cpp_CloseTilva_Dialog");
  hInstance = TheHost().module;
  // The script defines getStruct first; a read-only global of that name makes its run fail.
  mxs::define_global(L"getStruct", Integer::intern(1), true);
  EnsureDialogScriptLoaded();
  const bool loadedAfterFailure = DialogScriptLoaded();
  const std::size_t errorsAfterFailure = mxs::reported_errors().size();
  // A second call runs the script again only if the flag stayed clear; a run would replace
  // the sentinel by the close entry.
  mxs::define_global(L"getStruct", &undefined, false);
  mxs::define_global(L"fn_From_Cpp_CloseTilva_Dialog", Integer::intern(99), false);
  EnsureDialogScriptLoaded();
  Value* closeAfterRetry = mxs::global_value(L"fn_From_Cpp_CloseTilva_Dialog");
  const bool loadedAfterRetry = DialogScriptLoaded();
  hInstance = nullptr;
  EXPECT_EQ(errorsAfterFailure, 1u);
#if TILVARA_RELEASE == 201
  // Release 2.01 runs the script with its errors shown.
  EXPECT_EQ(MessageBoxes().size(), 1u);
#else
  // The failed run was logged quietly.
  EXPECT_TRUE(MessageBoxes().empty());
#endif
  ASSERT_NE(closeAfterRetry, nullptr);
#if MAX_VERSION_MAJOR >= 21
  EXPECT_FALSE(loadedAfterFailure);
  EXPECT_TRUE(loadedAfterRetry);
  EXPECT_FALSE(is_integer(closeAfterRetry));
  EXPECT_EQ(mxs::reported_errors().size(), 1u);
#else
  EXPECT_TRUE(loadedAfterFailure);
  EXPECT_TRUE(loadedAfterRetry);
  EXPECT_EQ(closeAfterRetry->to_int(), 99);
#endif
}

}  // namespace
}  // namespace editor_test

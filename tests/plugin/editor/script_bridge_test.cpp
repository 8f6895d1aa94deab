// The script bridge: the dialog script runs once per process, entry functions are looked up by
// name on every call, missing ones are skipped, script errors are reported under the plug-in's
// caption, and the map's structure changes and material check refresh or close the dialog.
#include "dotnet/driver.h"
#include "editor/script_bridge.h"
#include "editor_support.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

namespace editor_test {
namespace {

namespace user = maxhost::dotnet::user;
namespace mxs = maxhost::mxs;
using Ints = std::vector<int>;

const wchar_t* const kEntries[] = {L"fn_From_Cpp_ShowTilva_Dialog",
                                   L"fn_From_Cpp_UpdateTilva_Dialog",
                                   L"fn_From_Cpp_CloseTilva_Dialog"};

// Keeps the dialog script's entry functions as they were before the test changed them.
class ScriptBridgeTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The first press of the process runs the dialog script.
    PressManageTextures();
    if (form_) user::closeForm(*form_);
    for (const wchar_t* name : kEntries) {
      Value* fn = mxs::global_value(name);
      ASSERT_NE(fn, nullptr) << "the dialog script did not define " << maxhost::Utf8FromWide(name);
      saved_.push_back(fn->make_heap_permanent());
    }
    maxhost::ClearMessageBoxLog();
    mxs::clear_reported_errors();
  }
  void TearDown() override {
    for (size_t i = 0; i < saved_.size(); ++i) {
      RestoreGlobal(kEntries[i]);
      mxs::define_global(L"editorTestSaved", saved_[i]);
      RunScript(std::wstring(L"::") + kEntries[i] + L" = editorTestSaved; ok");
      saved_[i]->make_collectable();
    }
    mxs::define_global(L"editorTestSaved", &undefined);
    EditorTest::TearDown();
  }
  // Takes a global out of the engine's table, as if the script had not defined it.
  void RemoveGlobal(const wchar_t* name) {
    Value* key = Name::intern(name);
    Value* thunk = globals->get(key);
    ASSERT_NE(thunk, nullptr);
    removed_.emplace_back(key, thunk->make_heap_permanent());
    globals->remove(key);
  }
  void RestoreGlobal(const wchar_t* name) {
    Value* key = Name::intern(name);
    for (auto it = removed_.begin(); it != removed_.end(); ++it)
      if (it->first == key) {
        globals->put(key, it->second);
        it->second->make_collectable();
        removed_.erase(it);
        return;
      }
  }

  std::vector<Value*> saved_;
  std::vector<std::pair<Value*, Value*>> removed_;
};

TEST_F(ScriptBridgeTest, TheScriptRunsOnTheFirstPressAndNeverAgain) {
  // Loading the plug-in and starting the bridge ran no script.
  EXPECT_FALSE(TheHost().showEntryBeforeFirstPress);
  RunScript(
      LR"(
global editorTestShows = 0
global editorTestShow = fn_From_Cpp_ShowTilva_Dialog
::fn_From_Cpp_ShowTilva_Dialog = fn countingShow tex = (editorTestShows += 1; editorTestShow tex)
ok)");
  PressManageTextures();
  PressManageTextures();
  // Had the script run again, it would have replaced the counting entry.
  EXPECT_EQ(RunScript(L"editorTestShows"), L"2");
  EXPECT_EQ(user::openForms().size(), 1u);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  EXPECT_TRUE(MessageBoxes().empty());
}

#if TILVARA_RELEASE == 204
TEST_F(ScriptBridgeTest, AScriptErrorInTheShowEntryIsReportedAndTheNextPressRetries) {
  RunScript(L"::fn_From_Cpp_ShowTilva_Dialog = fn failingShow tex = tex.noSuchSetting\nok");
  PressManageTextures();
  EXPECT_FALSE(form_);
  EXPECT_EQ(HeldDialog(map_), nullptr);
#if MAX_VERSION_MAJOR >= 21
  const size_t boxesPerPress = 1;
  std::vector<maxhost::MessageBoxRecord> boxes = MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Tilva BitmapList");
  EXPECT_NE(boxes[0].text.find(L"noSuchSetting"), std::wstring::npos)
      << maxhost::Utf8FromWide(boxes[0].text);
  std::vector<mxs::ReportedError> errors = mxs::reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, L"Tilva BitmapList");
  EXPECT_TRUE(errors[0].message_box);
#else
  // 2017 and 2018 swallow the error.
  const size_t boxesPerPress = 0;
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(mxs::reported_errors().empty());
  RunScript(L"global editorTestShowCalls = 0\nok");
  RunScript(
      L"::fn_From_Cpp_ShowTilva_Dialog = fn failingShow tex = (editorTestShowCalls += 1; "
      L"tex.noSuchSetting)\nok");
#endif
  // The next press calls the show entry again.
  PressManageTextures();
  EXPECT_EQ(MessageBoxes().size(), 2 * boxesPerPress);
#if MAX_VERSION_MAJOR < 21
  EXPECT_EQ(RunScript(L"editorTestShowCalls"), L"1");
#endif
  RestoreGlobal(kEntries[0]);
  mxs::define_global(L"editorTestSaved", saved_[0]);
  RunScript(L"::fn_From_Cpp_ShowTilva_Dialog = editorTestSaved; ok");
  PressManageTextures();
  ASSERT_TRUE(form_);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  EXPECT_EQ(MessageBoxes().size(), 2 * boxesPerPress);
}

#endif

TEST_F(ScriptBridgeTest, AMissingShowEntryIsSkippedSilently) {
  RemoveGlobal(kEntries[0]);
  PressManageTextures();
  EXPECT_FALSE(form_);
  EXPECT_EQ(HeldDialog(map_), nullptr);
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(mxs::reported_errors().empty());
}

#if TILVARA_RELEASE == 204
TEST_F(ScriptBridgeTest, MissingUpdateAndCloseEntriesAreSkippedAndTheFormKeepsItsStruct) {
  pb_->SetCount(pb_submaps, 2);
  PressManageTextures();
  ASSERT_TRUE(form_ && list_);
  net::FormPtr first = form_;
  auto firstList = list_;
  EXPECT_EQ(firstList->items.size(), 2u);
  RemoveGlobal(kEntries[1]);
  RemoveGlobal(kEntries[2]);
  pb_->SetCount(pb_submaps, 3);  // no update entry: the rows stay as they were
  EXPECT_EQ(firstList->items.size(), 2u);
  // No close entry: the old form stays open while the map lets go of its struct.
  PressManageTextures();
  EXPECT_FALSE(first->isDisposed());
  EXPECT_EQ(user::openForms().size(), 2u);
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(mxs::reported_errors().empty());
  // The released struct is still the old form's: a collection must not free it.
  CollectGarbage();
  CollectGarbage();
  user::clickListCell(*firstList, 0, 1);
  auto firstSpinner =
      std::dynamic_pointer_cast<net::NumericUpDown>(user::findByName(*first, L"popSpinner"));
  ASSERT_TRUE(firstSpinner);
  EXPECT_TRUE(firstSpinner->visible());
  user::typeText(*firstSpinner, L"9");
  user::unfocus();
  EXPECT_EQ(Probabilities(map_), (Ints{9, 1, 1}));
  EXPECT_TRUE(user::closeForm(*first));
  EXPECT_TRUE(mxs::reported_errors().empty());
}

#endif

TEST_F(ScriptBridgeTest, EachStructureChangeOfSubmapsRefillsTheDialogOnceAfterTheUpdate) {
  RunScript(
      LR"(
global editorTestUpdates = #()
global editorTestUpdate = fn_From_Cpp_UpdateTilva_Dialog
::fn_From_Cpp_UpdateTilva_Dialog = fn countingUpdate d = (
  if d == undefined then append editorTestUpdates #none else (
    local m = d.m_texture
    append editorTestUpdates #(m.submaps.count, m.submap_on.count, m.probability.count))
  editorTestUpdate d)
ok)");
  // A map that holds no dialog gets no update call.
  Texmap* fresh = NewMap();
  fresh->GetParamBlock(0)->SetCount(pb_submaps, 2);
  EXPECT_EQ(RunScript(L"editorTestUpdates"), L"#()");
  // The map whose form the user closed holds undefined, which the entry is given.
  pb_->SetCount(pb_submaps, 1);
  EXPECT_EQ(RunScript(L"editorTestUpdates"), L"#(#none)");
  RunScript(L"editorTestUpdates = #()\nok");
  PressManageTextures();
  ASSERT_TRUE(list_);
  EXPECT_EQ(list_->items.size(), 1u);
  pb_->SetCount(pb_submaps, 3);
  EXPECT_EQ(RunScript(L"editorTestUpdates"), L"#(#(3, 3, 3))");
  EXPECT_EQ(list_->items.size(), 3u);
  // Value changes and structure changes of the other lists refill nothing.
  pb_->SetValue(pb_probability, 0, 4, 0);
  pb_->SetCount(pb_submap_on, 5);
  pb_->SetCount(pb_probability, 5);
  editor_->SetSpinner(1017, 77.0f);  // seed
  EXPECT_EQ(RunScript(L"editorTestUpdates.count"), L"1");
  EXPECT_EQ(RowProbabilities(*list_), (std::vector<std::wstring>{L"1", L"1", L"1"}));
  // A script that replaces the list is a structure change too.
  RunScript(L"theMap.submaps = #(undefined, undefined)\nok");
  EXPECT_EQ(RunScript(L"editorTestUpdates"), L"#(#(3, 3, 3), #(2, 2, 2))");
  EXPECT_EQ(list_->items.size(), 2u);
  EXPECT_TRUE(MessageBoxes().empty());
}

#if TILVARA_RELEASE == 204
TEST_F(ScriptBridgeTest, AValueAssignedByAScriptIsHandedToTheEntries) {
  RunScript(L"theMap.ListView = 42\nok");
  Value* held = HeldDialog(map_);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->to_int(), 42);
  // The update entry gets the number and fails on it (silently in 2017 and 2018).
  pb_->SetCount(pb_submaps, 1);
  std::vector<maxhost::MessageBoxRecord> boxes = MessageBoxes();
#if MAX_VERSION_MAJOR >= 21
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Tilva BitmapList");
#else
  EXPECT_TRUE(boxes.empty());
#endif
  // So does the close entry when the map leaves its last material; the map lets go anyway.
  material_->SetDiffuseMap(nullptr);
  boxes = MessageBoxes();
#if MAX_VERSION_MAJOR >= 21
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, L"Tilva BitmapList");
#else
  EXPECT_TRUE(boxes.empty());
#endif
  EXPECT_EQ(HeldDialog(map_), nullptr);
}

#endif

// The plug-in's objects linked into this program have their own load-once flag and no module
// until one is given: they show what a missing script resource does.
class ScriptResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TheHost().error.empty()) GTEST_FAIL() << TheHost().error;
    mxs::clear_reported_errors();
    maxhost::ClearMessageBoxLog();
  }
  void TearDown() override { hInstance = nullptr; }
};

#if TILVARA_RELEASE == 204
TEST_F(ScriptResourceTest, AMissingResourceLeavesTheFlagClearAndTheNextCallRetries) {
  // 2017 and 2018 set the flag after any run, also a failing one of an earlier test.
  if (DialogScriptLoaded()) GTEST_SKIP() << "an earlier test of this process loaded the script";
  hInstance = nullptr;
  EnsureDialogScriptLoaded();
  EXPECT_FALSE(DialogScriptLoaded());
  hInstance = TheHost().module;
  EnsureDialogScriptLoaded();
  EXPECT_TRUE(DialogScriptLoaded());
  EXPECT_NE(mxs::global_value(L"fn_From_Cpp_ShowTilva_Dialog"), nullptr);
  // Once loaded, the script is not run again: a function it defines keeps a new value (a
  // global of both forms of the script).
  Value* original = mxs::global_value(L"getStruct");
  ASSERT_NE(original, nullptr);
  original->make_heap_permanent();
  RunScript(L"::getStruct = 7\nok");
  EnsureDialogScriptLoaded();
  EXPECT_EQ(RunScript(L"getStruct"), L"7");
  mxs::define_global(L"editorTestSaved", original);
  RunScript(L"::getStruct = editorTestSaved\nok");
  mxs::define_global(L"editorTestSaved", &undefined);
  original->make_collectable();
  EXPECT_TRUE(mxs::reported_errors().empty());
}

TEST_F(ScriptResourceTest, CallScriptFunctionCallsGlobalsByName) {
  RunScript(L"fn editorTestTwice x = x * 2\nfn editorTestFail x = x.nothingHere\nok");
  // Nothing is run for a null argument.
  EXPECT_EQ(CallScriptFunction(L"editorTestTwice", nullptr, true), nullptr);
  Value* arg = Integer::intern(21);
  Value* kept = CallScriptFunction(L"editorTestTwice", arg, true);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->to_int(), 42);
  EXPECT_TRUE(kept->is_permanent() || !kept->is_collectable());
  kept->make_collectable();
  EXPECT_EQ(CallScriptFunction(L"editorTestTwice", arg, false), nullptr);
  EXPECT_EQ(CallScriptFunction(L"editorTestNoSuchFunction", arg, true), nullptr);
  EXPECT_TRUE(mxs::reported_errors().empty());
  EXPECT_EQ(CallScriptFunction(L"editorTestFail", arg, true), nullptr);
#if MAX_VERSION_MAJOR >= 21
  std::vector<mxs::ReportedError> errors = mxs::reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, L"Tilva BitmapList");
  EXPECT_TRUE(errors[0].message_box);
  EXPECT_EQ(MessageBoxes().size(), 1u);
#else
  EXPECT_TRUE(mxs::reported_errors().empty());
  EXPECT_TRUE(MessageBoxes().empty());
#endif
}

#endif

#if TILVARA_RELEASE == 201
// Release 2.01: calls report nothing, "Manage Textures" leaves closing to the show entry, and
// the material check asks the map's dependents for a node.

// A maker that holds the map and, when it answers, raises the node counter as a node would.
class NodeLike : public ReferenceMaker {
 public:
  NodeLike(Texmap* map, bool answers) : answers_(answers) { ReplaceReference(0, map); }
  ~NodeLike() override { DeleteAllRefs(); }
  SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int) override { return held_; }

 protected:
  void SetReference(int, RefTargetHandle r) override { held_ = r; }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID& partID, RefMessage message,
                             BOOL) override {
    if (message == REFMSG_GET_NODE_HANDLE && answers_) ++*reinterpret_cast<ULONG*>(partID);
    return REF_SUCCEED;
  }

 private:
  bool answers_;
  RefTargetHandle held_ = nullptr;
};

TEST_F(ScriptBridgeTest, Release201DropsAScriptErrorInTheShowEntrySilently) {
  RunScript(L"::fn_From_Cpp_ShowTilva_Dialog = fn failingShow tex = tex.noSuchSetting\nok");
  PressManageTextures();
  EXPECT_FALSE(form_);
  EXPECT_EQ(HeldDialog(map_), nullptr);
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(mxs::reported_errors().empty());
  EXPECT_EQ(MAXScript_signals, 0);
  RestoreGlobal(kEntries[0]);
  mxs::define_global(L"editorTestSaved", saved_[0]);
  RunScript(L"::fn_From_Cpp_ShowTilva_Dialog = editorTestSaved; ok");
  PressManageTextures();
  ASSERT_TRUE(form_);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
}

// The show entry closes the previous form itself: the close entry is not called.
TEST_F(ScriptBridgeTest, Release201ManageTexturesCallsNoCloseEntry) {
  RunScript(
      LR"(
global editorTestCloses = 0
::fn_From_Cpp_CloseTilva_Dialog = fn countingClose d = (editorTestCloses += 1; ok)
ok)");
  PressManageTextures();
  ASSERT_TRUE(form_);
  net::FormPtr first = form_;
  Value* firstDialog = HeldDialog(map_);
  PressManageTextures();
  ASSERT_TRUE(form_);
  EXPECT_EQ(RunScript(L"editorTestCloses"), L"0");
  EXPECT_TRUE(first->isDisposed());
  EXPECT_EQ(user::openForms().size(), 1u);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  EXPECT_NE(HeldDialog(map_), firstDialog);
  // The struct of the first form was let go; the open one's is kept.
  CollectGarbage();
  EXPECT_EQ(RunScript(L"theMap.ListView.m_form.Text"), L"\"Manage Textures\"");
}

TEST_F(ScriptBridgeTest, Release201HandsAScriptsValueToTheEntriesAndKeepsIt) {
  RunScript(L"theMap.ListView = 42\nok");
  pb_->SetCount(pb_submaps, 1);       // the update entry fails on the number, silently
  material_->SetDiffuseMap(nullptr);  // so does the close entry
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(mxs::reported_errors().empty());
  Value* held = HeldDialog(map_);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->to_int(), 42);
}

// A dependent that raises the counter keeps the dialog open; without one, the form closes and
// the map holds what the form's closing handler left.
TEST_F(ScriptBridgeTest, Release201MaterialCheckClosesUnlessANodeAnswers) {
  PressManageTextures();
  ASSERT_TRUE(form_);
  auto* node = new NodeLike(map_, true);
  material_->SetDiffuseMap(nullptr);
  EXPECT_FALSE(form_->isDisposed());
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  // The block's reference-deleted message is not a material check in this release.
  PartID part = PART_ALL;
  map_->NotifyRefChangedFrom(FOREVER, pb_, part, REFMSG_REF_DELETED, TRUE);
  EXPECT_FALSE(form_->isDisposed());
  delete node;
  EXPECT_TRUE(form_->isDisposed());
  EXPECT_EQ(HeldDialog(map_), &undefined);
  CollectGarbage();
  EXPECT_TRUE(mxs::reported_errors().empty());
}

// The script is tried once per process, even when its resource could not be found: after a
// first attempt (this test's without a module, or an earlier test's), nothing runs it again.
TEST_F(ScriptResourceTest, Release201TriesTheScriptOnce) {
  hInstance = nullptr;
  EnsureDialogScriptLoaded();
  EXPECT_TRUE(DialogScriptLoaded());
  Value* original = mxs::global_value(L"GetUserFileSelection");
  if (original) original->make_heap_permanent();
  RunScript(L"::GetUserFileSelection = 7\nok");
  hInstance = TheHost().module;
  EnsureDialogScriptLoaded();
  // Had the script run, it would have defined the function again.
  EXPECT_EQ(RunScript(L"GetUserFileSelection"), L"7");
  mxs::define_global(L"editorTestSaved", original ? original : &undefined);
  RunScript(L"::GetUserFileSelection = editorTestSaved\nok");
  mxs::define_global(L"editorTestSaved", &undefined);
  if (original) original->make_collectable();
}

TEST_F(ScriptResourceTest, Release201CallScriptFunctionReportsNothing) {
  RunScript(L"fn editorTestTwice x = x * 2\nfn editorTestFail x = x.nothingHere\nok");
  EXPECT_EQ(CallScriptFunction(L"editorTestTwice", nullptr, true), nullptr);
  Value* kept = CallScriptFunction(L"editorTestTwice", Integer::intern(21), true);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->to_int(), 42);
  kept->make_collectable();
  EXPECT_EQ(CallScriptFunction(L"editorTestFail", Integer::intern(1), true), nullptr);
  EXPECT_TRUE(mxs::reported_errors().empty());
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_EQ(MAXScript_signals, 0);
}
#endif

}  // namespace
}  // namespace editor_test

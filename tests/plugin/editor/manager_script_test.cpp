// The plug-in's texture manager script on the headless forms, with a stand-in map made of
// script structs (the plug-in's own tests drive it with real maps).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "dotnet/bridge.h"
#include "dotnet/driver.h"
#include "base/text.h"
#include "maxscript/engine.h"

namespace maxhost::dotnet {
namespace {

std::wstring readScript(const char* file) {
  const char* path = std::getenv("TILVARA_MANAGER_SCRIPT_OVERRIDE");
  std::ifstream in(path ? path : file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return maxhost::WideFromUtf8(text.str());
}

const wchar_t* kStandInMap =
    LR"(
struct FakeBitmap (filename, reloads = 0, fn reload = (reloads += 1; ok))
struct FakeMap (submaps = #(), submap_on = #(), probability = #(), ListView = undefined)
global theMap = FakeMap \
  submaps:(for f in #("a.png", "b.png", "c.png", "d.png", "e.png") collect FakeBitmap filename:f) \
  submap_on:#(true, true, false, true, true) probability:#(10, 20, 30, 40, 50)
theMap.ListView = fn_From_Cpp_ShowTilva_Dialog theMap
ok
)";

// Both forms of the script: global functions, and (for the hosts up to 2018) members of the
// dialog's struct. They behave the same.
class ManagerScriptTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    std::wstring script = readScript(GetParam());
    ASSERT_NE(script.find(L"GenerateListView"), std::wstring::npos)
        << "the manager dialog script is missing";
    installBridge();
    user::reset();
    mxs::clear_reported_errors();
    ASSERT_TRUE(mxs::run_string(script, L"TilvaraManager.ms").ok);
    run(kStandInMap);
    form = user::findForm(L"Manage Textures");
    ASSERT_TRUE(form);
    list = user::findFirst<ListView>(*form);
    spinner = std::dynamic_pointer_cast<NumericUpDown>(user::findByName(*form, L"popSpinner"));
    ASSERT_TRUE(list && spinner);
  }
  void TearDown() override {
    EXPECT_TRUE(mxs::reported_errors().empty());
    user::reset();
  }

  std::wstring run(const std::wstring& text) {
    mxs::RunResult r = mxs::run_string(text, L"test");
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    return r.result;
  }

  FormPtr form;
  std::shared_ptr<ListView> list;
  std::shared_ptr<NumericUpDown> spinner;
};

TEST_P(ManagerScriptTest, ShowsTheMapsEntries) {
  EXPECT_EQ(form->bounds().width, 600);
  EXPECT_EQ(form->bounds().height, 460);
  EXPECT_TRUE(form->visible());
  EXPECT_TRUE(user::findByName(*form, L"rootLayout"));
  EXPECT_FALSE(spinner->visible());
  std::vector<std::wstring> buttons;
  for (auto& c : user::findFirst<FlowLayoutPanel>(*form)->children()) buttons.push_back(c->text());
  EXPECT_EQ(buttons, (std::vector<std::wstring>{L"Add Bitmaps", L"Remove", L"Reload All"}));
  ASSERT_EQ(list->items.size(), 5u);
  EXPECT_FALSE(list->items[2]->checked());
  EXPECT_EQ(list->items[3]->subItems[1]->text, L"40");
  EXPECT_EQ(list->items[3]->subItems[1]->name, L"prob");
  EXPECT_EQ(list->items[3]->subItems[2]->text, L"d.png");
  EXPECT_EQ(list->columnWidth(0), 50);
  EXPECT_EQ(list->columnWidth(1), 70);
  EXPECT_EQ(list->backColor(), Color::fromArgb(255, 68, 68, 68));
}

TEST_P(ManagerScriptTest, ProbabilityCellOpensTheSpinnerAndLeavingStoresIt) {
  user::clickListCell(*list, 1, 1);
  ASSERT_TRUE(spinner->visible());
  EXPECT_TRUE(spinner->focused());
  EXPECT_EQ(spinner->text(), L"20");
  EXPECT_EQ(spinner->bounds(),
            (Rectangle{50 + 2 + 3, 43 + kListHeaderHeight + kListRowHeight, 70, kListRowHeight}));
  user::typeText(*spinner, L"35");
  user::clickListCell(*list, 1, 2);
  EXPECT_FALSE(spinner->visible());
  EXPECT_EQ(run(L"theMap.probability"), L"#(10, 35, 30, 40, 50)");
  EXPECT_EQ(list->items[1]->subItems[1]->text, L"35");
  // A click in another cell of a selected row shows nothing.
  user::clickListCell(*list, 1, 2);
  EXPECT_FALSE(spinner->visible());
}

TEST_P(ManagerScriptTest, DraggingTheSpinnerStepsByTenPixelsAndClampsTheShownValue) {
  user::clickListCell(*list, 0, 1);
  ASSERT_TRUE(spinner->visible());
  user::press(*spinner, 10, 50);
  user::move(*spinner, 10, 40);
  EXPECT_EQ(spinner->value(), 11);
  user::move(*spinner, 10, -1000);
  EXPECT_EQ(spinner->value(), 100);
  user::move(*spinner, 10, -900);  // the running value 105 is still past the maximum
  EXPECT_EQ(spinner->value(), 100);
  user::move(*spinner, 10, -800);
  EXPECT_EQ(spinner->value(), 95);
  user::release(*spinner, 10, -800);
  user::press(*spinner, 10, 5, MouseButtons::Right);
  EXPECT_EQ(spinner->value(), 0);
  user::release(*spinner, 10, 5, MouseButtons::Right);
  user::unfocus();
  EXPECT_EQ(run(L"theMap.probability[1]"), L"0");
}

TEST_P(ManagerScriptTest, CheckBoxesWriteTheMapOnlyForPlainClicksAfterARelease) {
  // Before the first press and release on the list, changes are not written.
  run(L"(theMap.ListView.m_theListView.Items.Item[0]).Checked = false");
  EXPECT_EQ(run(L"theMap.submap_on[1]"), L"true");
  // The first click toggles the box before the list has seen any press: not written, and
  // the release puts every box back to the map's state.
  user::clickListCheckBox(*list, 2);
  EXPECT_EQ(run(L"theMap.submap_on"), L"#(true, true, false, true, true)");
  EXPECT_TRUE(list->items[0]->checked());
  EXPECT_FALSE(list->items[2]->checked());
  // From then on a plain click writes the new state.
  user::clickListCheckBox(*list, 2);
  EXPECT_EQ(run(L"theMap.submap_on"), L"#(true, true, true, true, true)");
  EXPECT_TRUE(list->items[2]->checked());
  // Exactly Ctrl or exactly Shift blocks the write; the release restores the box.
  user::clickListCheckBox(*list, 1, Keys::Control);
  user::clickListCheckBox(*list, 3, Keys::Shift);
  EXPECT_EQ(run(L"theMap.submap_on"), L"#(true, true, true, true, true)");
  EXPECT_TRUE(list->items[1]->checked());
  EXPECT_TRUE(list->items[3]->checked());
  // Ctrl and Shift together do not block.
  user::clickListCheckBox(*list, 4, Keys::Control | Keys::Shift);
  EXPECT_EQ(run(L"theMap.submap_on"), L"#(true, true, true, true, false)");
}

TEST_P(ManagerScriptTest, RemoveDeletesTheSelectedEntriesWhateverTheSelectionOrder) {
  user::clickListCell(*list, 3, 2);
  user::clickListCell(*list, 1, 2, Keys::Control);
  user::clickButton(*form, L"Remove");
  EXPECT_EQ(run(L"for t in theMap.submaps collect t.filename"),
            L"#(\"a.png\", \"c.png\", \"e.png\")");
  EXPECT_EQ(run(L"theMap.probability"), L"#(10, 30, 50)");
  EXPECT_EQ(run(L"theMap.submap_on"), L"#(true, false, true)");
  // The plug-in answers with the update entry, which rebuilds the rows.
  run(L"fn_From_Cpp_UpdateTilva_Dialog theMap.ListView");
  ASSERT_EQ(list->items.size(), 3u);
  EXPECT_EQ(list->items[1]->subItems[2]->text, L"c.png");
}

TEST_P(ManagerScriptTest, ReloadAllAndACancelledAddTouchNothingElse) {
  user::clickButton(*form, L"Reload All");
  EXPECT_EQ(run(L"for t in theMap.submaps collect t.reloads"), L"#(1, 1, 1, 1, 1)");
  user::cancelOpenFile();
  user::clickButton(*form, L"Add Bitmaps");
  EXPECT_EQ(run(L"theMap.submaps.count"), L"5");
  auto& shown = Application::instance().fileDialogsShown;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, L"Select Textures to add to the Pavimo");
  EXPECT_EQ(shown[0].filterIndex, 3);
  EXPECT_TRUE(shown[0].multiselect);
}

TEST_P(ManagerScriptTest, ClosingClearsTheMapsDialogAndShowingAgainReplacesTheForm) {
  run(L"theMap.ListView = fn_From_Cpp_ShowTilva_Dialog theMap\nok");
  EXPECT_TRUE(form->isDisposed());
  ASSERT_EQ(user::openForms().size(), 1u);
  auto second = user::openForms()[0];
  EXPECT_TRUE(user::closeForm(*second));
  EXPECT_EQ(run(L"theMap.ListView"), L"undefined");
  run(L"fn_From_Cpp_UpdateTilva_Dialog undefined\nfn_From_Cpp_CloseTilva_Dialog undefined");
  EXPECT_TRUE(user::openForms().empty());
}

INSTANTIATE_TEST_SUITE_P(BothForms, ManagerScriptTest,
                         ::testing::Values(TILVARA_MANAGER_SCRIPT, TILVARA_MANAGER_MEMBERS_SCRIPT),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "Globals" : "Members");
                         });

// The member form keeps no global functions but the back links, the file selection and the
// entries.
TEST(ManagerScriptMembers, FunctionsAreMembersOfTheStruct) {
  installBridge();
  mxs::clear_reported_errors();
  ASSERT_TRUE(mxs::run_string(readScript(TILVARA_MANAGER_MEMBERS_SCRIPT), L"members.ms").ok);
  for (const wchar_t* global :
       {L"getStruct", L"getTexture", L"GetUserFileSelection", L"fn_From_Cpp_ShowTilva_Dialog",
        L"fn_From_Cpp_UpdateTilva_Dialog", L"fn_From_Cpp_CloseTilva_Dialog"})
    EXPECT_NE(mxs::global_value(global), nullptr) << maxhost::Utf8FromWide(global);
  for (const wchar_t* member :
       {L"PopulateList", L"AddColumns", L"evAddBitmap", L"GenerateListView"})
    EXPECT_EQ(mxs::global_value(member), nullptr) << maxhost::Utf8FromWide(member);
  const mxs::RunResult r = mxs::run_string(
      L"s = TilvaraListView()\n#(classOf s.PopulateList, s.m_selectedIndex, s.m_isMouseDown)",
      L"test");
  ASSERT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"#(MAXScriptFunction, 0, undefined)");
}

}  // namespace
}  // namespace maxhost::dotnet

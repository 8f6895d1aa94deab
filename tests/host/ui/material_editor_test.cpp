// The material editor builds the rollout from the template and the block description, keeps
// controls and parameters in step both ways, and passes messages and maps to the user dialog
// procedure as the host does.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "editor_test_map.h"
#include "ui/material_editor.h"
#include "ui/param_map.h"
#include "win32/window.h"

namespace uitest {
namespace {

using maxhost::ui::MaterialEditor;

EditorTestDesc& Desc() {
  static auto* d = new EditorTestDesc(0x7E5A0001, 114);
  return *d;
}
EditorTestDesc& OtherDesc() {
  static auto* d = new EditorTestDesc(0x7E5A0002, 114);
  return *d;
}
EditorTestDesc& BrokenDesc() {
  static auto* d = new EditorTestDesc(0x7E5A0003, 999);  // no such dialog
  return *d;
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(TestModule(), nullptr);
    Log().Clear();
    map = static_cast<EditorTestMap*>(Desc().Create(FALSE));
  }
  void TearDown() override {
    editor.reset();
    if (map) map->DeleteMe();
    if (other) other->DeleteMe();
  }
  float Float(ParamID id) { return map->pblock->GetFloat(id); }
  int Int(ParamID id) { return map->pblock->GetInt(id); }

  std::unique_ptr<MaterialEditor> editor = std::make_unique<MaterialEditor>();
  EditorTestMap* map = nullptr;
  EditorTestMap* other = nullptr;
};

TEST_F(EditorTest, RolloutHasEveryTemplateControlAtItsPosition) {
  editor->Show(map);
  ASSERT_TRUE(editor->IsOpen()) << editor->Error();
  const auto controls = editor->Controls();
  ASSERT_EQ(controls.size(), 50u);
  EXPECT_EQ(editor->WidthDialogUnits(), 217);
  EXPECT_EQ(editor->HeightDialogUnits(), 196);
  // First, a custom control and the logo, as the template lists them.
  EXPECT_EQ(controls[0].id, 1006);
  EXPECT_EQ(controls[0].cls, L"Button");
  EXPECT_EQ(controls[0].text, L"Pyramidal");
  EXPECT_EQ(controls[0].style, 0x50000009u);
  EXPECT_EQ(controls[7].id, 1490);
  EXPECT_EQ(controls[7].cls, L"CustEdit");
  EXPECT_EQ(controls[7].text, L"1.0");  // its value
  EXPECT_EQ((std::array{controls[7].x, controls[7].y, controls[7].cx, controls[7].cy}),
            (std::array{66, 109, 35, 10}));
  EXPECT_EQ(controls[41].id, 1007);
  EXPECT_EQ(controls[41].style, 0x5000110Eu);
  // The windows sit at the template positions in pixels of the 8-point font.
  maxhost::Window* rollout = maxhost::WindowFromHandle(editor->RolloutWindow());
  ASSERT_NE(rollout, nullptr);
  ASSERT_EQ(rollout->children.size(), 50u);
  const maxhost::Window& edit = *rollout->children[7];
  EXPECT_EQ(edit.rect.left, 99);    // 66 * 1.5
  EXPECT_EQ(edit.rect.top, 177);    // 109 * 1.625, rounded
  EXPECT_EQ(edit.rect.right, 152);  // (66 + 35) * 1.5, rounded
  EXPECT_EQ(rollout->text, L"Parameters");
  // The logo static holds bitmap 103.
  EXPECT_NE(rollout->children[41]->image, nullptr);
}

TEST_F(EditorTest, NewMapShowsItsValues) {
  editor->Show(map);
  EXPECT_EQ(editor->EditText(1490), L"1.0");
  EXPECT_EQ(editor->EditText(1493), L"0.2");
  EXPECT_EQ(editor->EditText(1491), L"0.0");
  EXPECT_EQ(editor->EditText(1492), L"100.0");
  EXPECT_EQ(editor->EditText(1015), L"12345");
  EXPECT_EQ(editor->EditText(1510), L"1.0");
  EXPECT_TRUE(editor->RadioChecked(1006));
  EXPECT_FALSE(editor->RadioChecked(1008));
  EXPECT_TRUE(editor->RadioChecked(1002));
  EXPECT_TRUE(editor->RadioChecked(1005));
  EXPECT_FALSE(editor->RadioChecked(1082));
  const Color c = editor->SwatchColor(1079);
  EXPECT_FLOAT_EQ(c.r, 0.5f);
  EXPECT_FLOAT_EQ(c.b, 0.5f);
  EXPECT_NE(map->pblock->GetMap(0), nullptr);
}

TEST_F(EditorTest, SpinnersSetParametersWithinTheirRange) {
  editor->Show(map);
  editor->SetSpinner(1496, 2.5f);
  EXPECT_FLOAT_EQ(Float(ep_gamma), 2.5f);
  EXPECT_EQ(editor->EditText(1490), L"2.5");
  editor->SetSpinner(1490, 150.0f);  // by the edit id; above the range
  EXPECT_FLOAT_EQ(Float(ep_gamma), 100.0f);
  editor->SetSpinner(1017, 0.0f);  // seed cannot go below 1
  EXPECT_EQ(Int(ep_seed), 1);
  EXPECT_EQ(editor->EditText(1015), L"1");
  editor->SetSpinner(1017, 77.6f);  // integer edit: rounded
  EXPECT_EQ(Int(ep_seed), 78);
  editor->SetSpinner(1511, 0.0f);  // blur cannot go below 0.01
  EXPECT_FLOAT_EQ(Float(ep_blur), 0.01f);
  EXPECT_EQ(editor->EditText(1510), L"0.01");
  editor->SetSpinner(1497, -500.0f);
  EXPECT_FLOAT_EQ(Float(ep_hue), -360.0f);
  // The user procedure hears of each change after the map has acted.
  EXPECT_GE(Log().Count(maxhost::ui::kSpinnerChange), 6);
}

TEST_F(EditorTest, DraggingStepsBySpinnerStepOrAutomatically) {
  editor->Show(map);
  editor->DragSpinner(1496, 3);
  EXPECT_NEAR(Float(ep_gamma), 1.03f, 1e-5f);
  editor->DragSpinner(1497, -2);
  EXPECT_FLOAT_EQ(Float(ep_hue), -2.0f);
  // Automatic step of an integer spinner: a hundredth of the value.
  editor->DragSpinner(1017, 1);
  EXPECT_EQ(Int(ep_seed), 12345 + 123);
  editor->DragSpinner(1496, -100000);
  EXPECT_FLOAT_EQ(Float(ep_gamma), 0.0f);
}

TEST_F(EditorTest, TypedTextIsParsedClampedOrReverted) {
  editor->Show(map);
  editor->TypeInEdit(1490, L" 3.25 ");
  EXPECT_FLOAT_EQ(Float(ep_gamma), 3.25f);
  editor->TypeInEdit(1490, L"abc");
  EXPECT_FLOAT_EQ(Float(ep_gamma), 3.25f);
  EXPECT_EQ(editor->EditText(1490), L"3.25");
  editor->TypeInEdit(1490, L"1e9");
  EXPECT_FLOAT_EQ(Float(ep_gamma), 100.0f);
  editor->TypeInEdit(1015, L"-5");
  EXPECT_EQ(Int(ep_seed), 1);
  editor->TypeInEdit(1015, L"123456");
  EXPECT_EQ(Int(ep_seed), 99999);
  EXPECT_EQ(Log().Count(maxhost::ui::kCustEditEnter), 5);
}

TEST_F(EditorTest, AngleIsShownAndSetInDegrees) {
  editor->Show(map);
  editor->TypeInEdit(1512, L"90");
  EXPECT_NEAR(Float(ep_rotate), 3.14159265f / 2, 1e-5f);
  EXPECT_EQ(editor->EditText(1512), L"90.0");
  editor->SetSpinner(1513, 400.0f);
  EXPECT_NEAR(Float(ep_rotate), 2 * 3.14159265f, 1e-5f);
  map->pblock->SetValue(ep_rotate, 0, 3.14159265f / 4);
  EXPECT_EQ(editor->EditText(1512), L"45.0");
}

TEST_F(EditorTest, RadioButtonsStoreTheirIndexOrValue) {
  editor->Show(map);
  editor->ChooseRadio(1010);
  EXPECT_EQ(Int(ep_rnd_by), 2);
  EXPECT_TRUE(editor->RadioChecked(1010));
  EXPECT_FALSE(editor->RadioChecked(1002));
  editor->ChooseRadio(1009);
  EXPECT_EQ(Int(ep_filtering), 2);
  // Choosing in one group leaves the other group's choice shown.
  EXPECT_TRUE(editor->RadioChecked(1010));
  editor->ChooseRadio(1082);
  EXPECT_EQ(Int(ep_use_color), 1);
  EXPECT_TRUE(editor->RadioChecked(1082));
  EXPECT_FALSE(editor->RadioChecked(1005));
  editor->ChooseRadio(1005);
  EXPECT_EQ(Int(ep_use_color), 0);
  // Each choice is a command message that reaches the user procedure.
  EXPECT_EQ(Log().Count(WM_COMMAND), 4);
  EXPECT_EQ(editor->CommandMessagesSent(), 4);
  // Radio choices enable or disable nothing.
  for (int id : {1006, 1008, 1009, 1510, 1511, 1512, 1513}) EXPECT_TRUE(editor->IsEnabled(id));
}

TEST_F(EditorTest, SwatchSetsTheColour) {
  editor->Show(map);
  editor->SetSwatchColor(1079, Color(1.0f, 0.25f, 0.0f));
  const Color c = map->pblock->GetColor(ep_color);
  EXPECT_FLOAT_EQ(c.r, 1.0f);
  EXPECT_FLOAT_EQ(c.g, 0.25f);
  EXPECT_FLOAT_EQ(editor->SwatchColor(1079).g, 0.25f);
  EXPECT_EQ(Log().Count(maxhost::ui::kColorChange), 1);
}

TEST_F(EditorTest, ParameterChangedElsewhereRedrawsWhenAsked) {
  editor->Show(map);
  map->invalidate_on_change = false;
  map->pblock->SetValue(ep_gamma, 0, 7.0f);
  map->pblock->SetValue(ep_filtering, 0, 1);
  // Nothing asked for a redraw yet: the controls still show the old values.
  EXPECT_EQ(editor->EditText(1490), L"1.0");
  EXPECT_TRUE(editor->RadioChecked(1006));
  const int before = editor->Redraws(1490);
  map->pblock->GetDesc()->InvalidateUI(ep_gamma);
  EXPECT_EQ(editor->EditText(1490), L"7.0");
  EXPECT_EQ(editor->Redraws(1490), before + 1);
  EXPECT_TRUE(editor->RadioChecked(1006));  // only the named parameter is redrawn
  map->pblock->GetDesc()->InvalidateUI();
  EXPECT_TRUE(editor->RadioChecked(1008));
  // With the map's change handler asking, as plug-ins do, changes show at once.
  map->invalidate_on_change = true;
  map->pblock->SetValue(ep_seed, 0, 42);
  EXPECT_EQ(editor->EditText(1015), L"42");
  map->pblock->SetValue(ep_color, 0, Color(0.0f, 1.0f, 0.0f));
  EXPECT_FLOAT_EQ(editor->SwatchColor(1079).g, 1.0f);
}

TEST_F(EditorTest, UserProcIsInstalledInitialisedAndGetsCommands) {
  editor->Show(map);
  EXPECT_EQ(Log().live, 1);
  EXPECT_EQ(Log().Count(WM_INITDIALOG), 1);
  editor->ClickButton(1001);
  ASSERT_EQ(Log().Count(WM_COMMAND), 1);
  const ProcEvent& e = Log().events.back();
  EXPECT_EQ(LOWORD(e.wParam), 1001);
  EXPECT_EQ(HIWORD(e.wParam), BN_CLICKED);
  EXPECT_EQ(e.thing, map);
  // A double click on the notifying logo: two command messages.
  editor->DoubleClick(1007);
  ASSERT_EQ(Log().Count(WM_COMMAND), 3);
  EXPECT_EQ(LOWORD(Log().events[Log().events.size() - 2].wParam), 1007);
  EXPECT_EQ(HIWORD(Log().events[Log().events.size() - 2].wParam), STN_CLICKED);
  EXPECT_EQ(HIWORD(Log().events.back().wParam), STN_DBLCLK);
  EXPECT_EQ(editor->CommandMessagesSent(), 3);
  // Other messages pass too, with the procedure's answer.
  EXPECT_EQ(editor->SendToDialog(WM_COMMAND, MAKEWPARAM(1510, 0x0100), 0), TRUE);
  EXPECT_EQ(editor->SendToDialog(WM_USER + 7, 1, 2), FALSE);
  EXPECT_EQ(Log().events.back().msg, static_cast<UINT>(WM_USER + 7));
}

// The plug-in may install its procedure on the descriptor at any time while the rollout is
// open; the rollout's map takes it over (deleting the one it had) before the next message.
TEST_F(EditorTest, ProcedureSetOnTheDescriptorWhileOpenTakesOver) {
  editor->Show(map);
  Desc().block->SetUserDlgProc(new RecordingProc(map));
  editor->ClickButton(1001);
  EXPECT_EQ(Log().deleted, 1);
  EXPECT_EQ(Log().live, 1);
  EXPECT_EQ(Log().Count(WM_INITDIALOG), 2);
  EXPECT_EQ(Log().Count(WM_COMMAND), 1);
  editor->Close();
  EXPECT_EQ(Log().live, 0);
}

TEST_F(EditorTest, ProcedureSetBeforeTheRolloutIsBuiltIsUsedAndForgottenAtClose) {
  map->proc_before_build = true;
  editor->Show(map);
  EXPECT_EQ(Log().live, 1);
  EXPECT_EQ(Log().Count(WM_INITDIALOG), 1);
  editor->Close();
  EXPECT_EQ(Log().live, 0);
  EXPECT_EQ(Desc().block->GetUserDlgProc(), nullptr);
  // Shown again: only the new procedure is reached.
  editor->Show(map);
  editor->ClickButton(1001);
  EXPECT_EQ(Log().live, 1);
  EXPECT_EQ(Log().Count(WM_COMMAND), 1);
}

TEST_F(EditorTest, DisabledAndMissingControlsTakeNoAction) {
  editor->Show(map);
  HWND button = GetDlgItem(editor->RolloutWindow(), 1001);
  ASSERT_NE(button, nullptr);
  EnableWindow(button, FALSE);
  EXPECT_FALSE(editor->IsEnabled(1001));
  editor->ClickButton(1001);
  editor->ClickButton(4242);
  editor->SetSpinner(4242, 1.0f);
  editor->TypeInEdit(4242, L"1");
  EXPECT_EQ(Log().Count(WM_COMMAND), 0);
  EnableWindow(GetDlgItem(editor->RolloutWindow(), 1496), FALSE);
  editor->SetSpinner(1496, 5.0f);
  EXPECT_FLOAT_EQ(Float(ep_gamma), 1.0f);
}

TEST_F(EditorTest, AnotherMapOfTheClassIsHandedToTheOpenRollout) {
  other = static_cast<EditorTestMap*>(Desc().Create(FALSE));
  other->pblock->SetValue(ep_gamma, 0, 4.0f);
  other->pblock->SetValue(ep_rnd_by, 0, 1);
  editor->Show(map);
  const HWND rollout = editor->RolloutWindow();
  editor->Show(other);
  EXPECT_EQ(editor->Current(), other);
  EXPECT_EQ(editor->RolloutWindow(), rollout);  // the same rollout
  EXPECT_EQ(Log().live, 1);                     // and the same procedure
  ASSERT_EQ(Log().things.size(), 1u);
  EXPECT_EQ(Log().things[0], other);
  ASSERT_EQ(Log().blocks.size(), 1u);
  EXPECT_EQ(Log().blocks[0], other->pblock);
  EXPECT_EQ(editor->EditText(1490), L"4.0");
  EXPECT_TRUE(editor->RadioChecked(1003));
  EXPECT_EQ(map->pblock->GetMap(0), nullptr);
  EXPECT_NE(other->pblock->GetMap(0), nullptr);
  // Clicks now act for the new map, and edits set its parameters.
  editor->ClickButton(1001);
  EXPECT_EQ(Log().events.back().thing, other);
  editor->SetSpinner(1496, 9.0f);
  EXPECT_FLOAT_EQ(other->pblock->GetFloat(ep_gamma), 9.0f);
  EXPECT_FLOAT_EQ(Float(ep_gamma), 1.0f);
}

TEST_F(EditorTest, MapOfAnotherClassReplacesTheRollout) {
  other = static_cast<EditorTestMap*>(OtherDesc().Create(FALSE));
  editor->Show(map);
  editor->Show(other);
  EXPECT_EQ(editor->Current(), other);
  EXPECT_EQ(Log().deleted, 1);
  EXPECT_EQ(Log().live, 1);
  EXPECT_EQ(Log().Count(WM_INITDIALOG), 2);
  EXPECT_EQ(map->pblock->GetMap(0), nullptr);
  EXPECT_NE(other->pblock->GetMap(0), nullptr);
}

TEST_F(EditorTest, CloseDeletesTheProcedureAndReopenInstallsANewOne) {
  const size_t windows = maxhost::LiveWindowCount();
  editor->Show(map);
  EXPECT_EQ(maxhost::LiveWindowCount(), windows + 51);
  editor->Close();
  EXPECT_FALSE(editor->IsOpen());
  EXPECT_EQ(editor->Current(), nullptr);
  EXPECT_EQ(Log().Count(WM_DESTROY), 1);
  EXPECT_EQ(Log().deleted, 1);
  EXPECT_EQ(Log().live, 0);
  EXPECT_EQ(Desc().block->GetUserDlgProc(), nullptr);
  EXPECT_EQ(map->pblock->GetMap(0), nullptr);
  EXPECT_EQ(maxhost::LiveWindowCount(), windows);
  editor->Show(map);
  EXPECT_EQ(Log().live, 1);
  editor->ClickButton(1001);
  EXPECT_EQ(Log().Count(WM_COMMAND), 1);
}

TEST_F(EditorTest, DeletingTheShownMapClosesTheRollout) {
  editor->Show(map);
  map->DeleteMe();
  map = nullptr;
  EXPECT_FALSE(editor->IsOpen());
  EXPECT_EQ(editor->Current(), nullptr);
  EXPECT_EQ(Log().live, 0);
  editor->ClickButton(1001);  // nothing there any more
  EXPECT_EQ(Log().Count(WM_COMMAND), 0);
}

TEST_F(EditorTest, ClosingLeavesTheMapToItsOwner) {
  editor->Show(map);
  editor.reset();
  // Still alive and whole: the editor's reference let go without deleting it.
  EXPECT_FLOAT_EQ(Float(ep_gamma), 1.0f);
}

TEST_F(EditorTest, MissingDialogTemplateShowsNothingWithAReason) {
  other = static_cast<EditorTestMap*>(BrokenDesc().Create(FALSE));
  editor->Show(other);
  EXPECT_FALSE(editor->IsOpen());
  EXPECT_EQ(editor->Current(), nullptr);
  EXPECT_NE(editor->Error().find("999"), std::string::npos) << editor->Error();
  std::string why;
  EXPECT_FALSE(editor->DrawToPng(UI_TEST_OUTPUT_DIR "/none.png", 1, why));
  EXPECT_FALSE(why.empty());
}

TEST(SpinnerText, FloatsKeepOneToThreeDecimalsIntegersNone) {
  using maxhost::ui::FormatSpinnerValue;
  EXPECT_EQ(FormatSpinnerValue(1.0f, false), L"1.0");
  EXPECT_EQ(FormatSpinnerValue(0.01f, false), L"0.01");
  EXPECT_EQ(FormatSpinnerValue(-12.5f, false), L"-12.5");
  EXPECT_EQ(FormatSpinnerValue(1.23456f, false), L"1.235");
  EXPECT_EQ(FormatSpinnerValue(-0.0001f, false), L"0.0");
  EXPECT_EQ(FormatSpinnerValue(12345.0f, true), L"12345");
  EXPECT_EQ(FormatSpinnerValue(2.6f, true), L"3");
  EXPECT_FLOAT_EQ(maxhost::ui::AutoSpinnerStep(12345.0f, true), 123.0f);
  EXPECT_FLOAT_EQ(maxhost::ui::AutoSpinnerStep(3.0f, true), 1.0f);
  EXPECT_FLOAT_EQ(maxhost::ui::AutoSpinnerStep(0.0f, false), 0.1f);
}

}  // namespace
}  // namespace uitest

// The rollout's dialog procedure: "Manage Textures" and the logo, as the material editor
// passes their command messages; every other message is left to the host.
#include <iparamm2.h>

#include "dotnet/driver.h"
#include "editor_support.h"
#include "texmap/pavimo.h"

namespace editor_test {
namespace {

namespace user = maxhost::dotnet::user;

class DlgProcTest : public EditorTest {
 protected:
  ParamMap2UserDlgProc* InstalledProc() {
    IParamMap2* map = pb_->GetMap(0);
    return map ? map->GetUserDlgProc() : nullptr;
  }
};

TEST_F(DlgProcTest, TheLogoOpensTheMakersPageForEveryCommand) {
  editor_->ClickButton(kLogo);
  std::vector<maxhost::ShellExecuteRecord> log = maxhost::ShellExecuteLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[0].operation, std::optional<std::wstring>(L"open"));
  EXPECT_EQ(log[0].file, L"" TILVARA_WEB_PAGE_FOR_TEST);
  EXPECT_EQ(log[0].parameters, std::nullopt);
  EXPECT_EQ(log[0].directory, std::nullopt);
  EXPECT_EQ(log[0].show_command, SW_SHOWNORMAL);
  // A double click sends two command messages: the page opens twice more.
  editor_->DoubleClick(kLogo);
  EXPECT_EQ(maxhost::ShellExecuteLog().size(), 3u);
  EXPECT_TRUE(user::openForms().empty());
  EXPECT_EQ(HeldDialog(map_), nullptr);
}

TEST_F(DlgProcTest, CommandsAnswerTrueWhateverTheirCodeAndOtherMessagesFalse) {
  // Commands from bound controls pass through and change nothing here.
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(1005, BN_CLICKED), 0), 1);
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(1490, EN_CHANGE), 0), 1);
  EXPECT_TRUE(maxhost::ShellExecuteLog().empty());
  EXPECT_EQ(editor_->SendToDialog(WM_PAINT, 0, 0), 0);
  EXPECT_EQ(editor_->SendToDialog(WM_USER + 7, 1001, 1007), 0);
  EXPECT_EQ(HeldDialog(map_), nullptr);
  // The notification code is not looked at.
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(kLogo, STN_DBLCLK), 0), 1);
  EXPECT_EQ(maxhost::ShellExecuteLog().size(), 1u);
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(kManageTextures, BN_DOUBLECLICKED), 0), 1);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  EXPECT_EQ(user::openForms().size(), 1u);
}

TEST_F(DlgProcTest, EveryRolloutGetsItsOwnProcedure) {
  ParamMap2UserDlgProc* first = InstalledProc();
  ASSERT_NE(first, nullptr);
  editor_->Close();
  editor_->Show(map_);
  ASSERT_TRUE(editor_->IsOpen());
  EXPECT_NE(InstalledProc(), nullptr);
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(kLogo, 0), 0), 1);
  EXPECT_EQ(maxhost::ShellExecuteLog().size(), 1u);
}

TEST_F(DlgProcTest, ARolloutSwitchedToAnotherMapOpensTheDialogOfThatMap) {
  Texmap* other = NewMap();
  material_->SetDiffuseMap(other);
  auto* keep = holder_->Hold(new maxhost::StandardMaterial);
  keep->SetDiffuseMap(map_);
  editor_->Show(other);
  PressManageTextures();
  ASSERT_TRUE(form_);
  EXPECT_TRUE(is_struct(HeldDialog(other)));
  EXPECT_EQ(HeldDialog(map_), nullptr);
  // Each map can have its own dialog open.
  editor_->Show(map_);
  editor_->ClickButton(kManageTextures);
#if TILVARA_RELEASE == 201
  // Release 2.01 closes a dialog whenever a reference to its map goes and no node answers:
  // the editor letting go of the other map closed that one.
  EXPECT_EQ(user::openForms().size(), 1u);
  EXPECT_EQ(HeldDialog(other), &undefined);
#else
  EXPECT_EQ(user::openForms().size(), 2u);
#endif
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  EXPECT_NE(HeldDialog(map_), HeldDialog(other));
}

}  // namespace
}  // namespace editor_test

// The editor with the real plug-in, loaded as the host loads it: its rollout comes from its own
// template and block description, controls set its parameters, its change handler redraws the
// rollout, and its dialog procedure acts on the command messages.
#include <gtest/gtest.h>

#include <memory>

#include <imtl.h>
#include <iparamb2.h>
#include <iparamm2.h>
#include <maxversion.h>
#include <plugapi.h>

#include "loader/plugin_loader.h"
#include "render/ref_holder.h"
#include "ui/material_editor.h"
#include "win32/records.h"

namespace uitest {
namespace {

using maxhost::ui::MaterialEditor;

// Parameter ids of the plug-in's block.
enum {
  kAllGamma = 1,
  kAllHue = 2,
  kRndBy = 10,
  kSeed = 11,
  kBlur = 12,
  kFiltering = 13,
  kSubColor = 14,
  kUseColor = 15,
  kRotate = 18
};

// Release 2.01 (the hosts up to 2015) has its own ids for "Use Textures" and the swatch.
#if MAX_VERSION_MAJOR <= 17
constexpr int kUseTexturesId = 1081;
constexpr int kSwatchId = 1083;
#else
constexpr int kUseTexturesId = 1005;
constexpr int kSwatchId = 1079;
#endif

class PluginEditorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    loader_ = new maxhost::PluginLoader;
    const maxhost::PluginLoadResult r = loader_->LoadPlugin(TILVARA_PLUGIN_FILE);
    if (!r.ok) load_error_ = r.error;
  }
  static void TearDownTestSuite() {
    delete loader_;
    loader_ = nullptr;
  }
  void SetUp() override {
    if (!load_error_.empty()) GTEST_FAIL() << "plug-in not loadable: " << load_error_;
    desc_ = nullptr;
    for (const auto& lib : loader_->Libraries())
      for (ClassDesc* cd : lib.classes)
        if (cd->SuperClassID() == TEXMAP_CLASS_ID) desc_ = cd;
    ASSERT_NE(desc_, nullptr);
    a_ = NewMap();
    b_ = NewMap();
    maxhost::ClearShellExecuteLog();
  }
  void TearDown() override {
    editor_.reset();
    holder_.reset();
  }
  Texmap* NewMap() { return holder_->Hold(static_cast<Texmap*>(desc_->Create(FALSE))); }
  static IParamBlock2* Block(Texmap* m) { return m->GetParamBlockByID(0); }
  bool HasUserProc() {
    IParamMap2* map = Block(a_)->GetMap(0);
    return map && map->GetUserDlgProc();
  }

  static inline maxhost::PluginLoader* loader_ = nullptr;
  static inline std::string load_error_;
  ClassDesc* desc_ = nullptr;
  std::unique_ptr<maxhost::RefHolder> holder_ = std::make_unique<maxhost::RefHolder>();
  std::unique_ptr<MaterialEditor> editor_ = std::make_unique<MaterialEditor>();
  Texmap* a_ = nullptr;
  Texmap* b_ = nullptr;
};

TEST_F(PluginEditorTest, RolloutIsTemplate114WithTheResetValues) {
  editor_->Show(a_);
  ASSERT_TRUE(editor_->IsOpen()) << editor_->Error();
  EXPECT_EQ(editor_->Controls().size(), 50u);
  // A new map shows the reset values, not the descriptor's defaults.
  EXPECT_EQ(editor_->EditText(1493), L"0.0");
  EXPECT_EQ(editor_->EditText(1494), L"0.0");
  EXPECT_EQ(editor_->EditText(1495), L"0.0");
  EXPECT_EQ(editor_->EditText(1015), L"12345");
  EXPECT_TRUE(editor_->RadioChecked(1006));
  EXPECT_TRUE(editor_->RadioChecked(kUseTexturesId));
}

TEST_F(PluginEditorTest, ControlsSetTheMapsParameters) {
  editor_->Show(a_);
  IParamBlock2* pb = Block(a_);
  editor_->SetSpinner(1017, 0.0f);
  EXPECT_EQ(pb->GetInt(kSeed), 1);
  editor_->SetSpinner(1511, 0.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(kBlur), 0.01f);
  editor_->DragSpinner(1496, 5);
  EXPECT_NEAR(pb->GetFloat(kAllGamma), 1.05f, 1e-5f);
  editor_->TypeInEdit(1512, L"180");
  EXPECT_NEAR(pb->GetFloat(kRotate), 3.14159265f, 1e-5f);
  editor_->ChooseRadio(1010);
  EXPECT_EQ(pb->GetInt(kRndBy), 2);
  editor_->ChooseRadio(1009);
  EXPECT_EQ(pb->GetInt(kFiltering), 2);
  editor_->ChooseRadio(1082);
  EXPECT_EQ(pb->GetInt(kUseColor), 1);
  editor_->ChooseRadio(kUseTexturesId);
  EXPECT_EQ(pb->GetInt(kUseColor), 0);
  editor_->ChooseRadio(1082);
  editor_->SetSwatchColor(kSwatchId, Color(0.0f, 0.0f, 1.0f));
  EXPECT_FLOAT_EQ(pb->GetColor(kSubColor).b, 1.0f);
  // "Use Color" leaves filtering, blur and rotate enabled.
  for (int id : {1006, 1008, 1009, 1510, 1511, 1512, 1513}) EXPECT_TRUE(editor_->IsEnabled(id));
}

TEST_F(PluginEditorTest, ChangeMadeElsewhereIsRedrawnThroughTheChangeHandler) {
  editor_->Show(a_);
  Block(a_)->SetValue(kAllHue, 0, -45.0f);
  EXPECT_EQ(editor_->EditText(1491), L"-45.0");
  Block(a_)->SetValue(kRndBy, 0, 1);
  EXPECT_TRUE(editor_->RadioChecked(1003));
}

TEST_F(PluginEditorTest, SwitchingToAnotherMapShowsItsValues) {
  Block(b_)->SetValue(kSeed, 0, 777);
  editor_->Show(a_);
  editor_->Show(b_);
  EXPECT_EQ(editor_->Current(), b_);
  EXPECT_EQ(editor_->EditText(1015), L"777");
  editor_->SetSpinner(1496, 3.0f);
  EXPECT_FLOAT_EQ(Block(b_)->GetFloat(kAllGamma), 3.0f);
  EXPECT_FLOAT_EQ(Block(a_)->GetFloat(kAllGamma), 1.0f);
}

TEST_F(PluginEditorTest, LogoClicksOpenThePageOncePerCommand) {
  editor_->Show(a_);
  ASSERT_TRUE(HasUserProc()) << "the plug-in installs its dialog procedure with the rollout";
  editor_->ClickButton(1007);
  ASSERT_EQ(maxhost::ShellExecuteLog().size(), 1u);
  const auto record = maxhost::ShellExecuteLog()[0];
  EXPECT_EQ(record.owner, nullptr);
  EXPECT_EQ(record.operation.value_or(L""), L"open");
  EXPECT_FALSE(record.file.empty());
  EXPECT_FALSE(record.parameters.has_value());
  EXPECT_FALSE(record.directory.has_value());
  EXPECT_EQ(record.show_command, SW_SHOWNORMAL);
  editor_->DoubleClick(1007);
  EXPECT_EQ(maxhost::ShellExecuteLog().size(), 3u);
  // Commands from bound controls do nothing beyond what the parameter map does.
  EXPECT_EQ(editor_->SendToDialog(WM_COMMAND, MAKEWPARAM(1510, 0), 0), TRUE);
  EXPECT_EQ(maxhost::ShellExecuteLog().size(), 3u);
}

#if MAX_VERSION_MAJOR <= 17
// Release 2.01's rollout: "Manage Textures" is a host custom button, and its commands reach
// the dialog procedure.
TEST_F(PluginEditorTest, Release201RolloutHasTheCustomButtonAndItsVersion) {
  editor_->Show(a_);
  ASSERT_TRUE(editor_->IsOpen()) << editor_->Error();
  ASSERT_TRUE(HasUserProc());
  bool button = false, version = false;
  for (const auto& c : editor_->Controls()) {
    if (c.id == 1079) {
      button = true;
      EXPECT_EQ(c.cls, L"CustButton");
      EXPECT_EQ(c.text, L"Manage Textures");
      EXPECT_EQ(c.x, 11);
      EXPECT_EQ(c.y, 16);
      EXPECT_EQ(c.cx, 68);
      EXPECT_EQ(c.cy, 14);
    }
    EXPECT_NE(c.id, 1001);
    if (c.text == L"2.01") version = true;
  }
  EXPECT_TRUE(button);
  EXPECT_TRUE(version);
  const int before = editor_->CommandMessagesSent();
  editor_->ClickButton(1079);
  EXPECT_EQ(editor_->CommandMessagesSent(), before + 1);
}
#endif

TEST_F(PluginEditorTest, ClosingDeletesTheDialogProcedure) {
  editor_->Show(a_);
  editor_->Close();
  EXPECT_EQ(Block(a_)->GetMap(0), nullptr);
  // Shown again, the rollout works as before.
  editor_->Show(a_);
  ASSERT_TRUE(editor_->IsOpen());
  editor_->SetSpinner(1017, 5.0f);
  EXPECT_EQ(Block(a_)->GetInt(kSeed), 5);
}

}  // namespace
}  // namespace uitest

#include "editor_support.h"

#include <unistd.h>

#include <filesystem>

#include <ifnpub.h>
#include <plugapi.h>

#include "dotnet/bridge.h"
#include "dotnet/driver.h"
#include "loader/plugin_loader.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "render/image.h"
#include "texmap/pavimo.h"

namespace editor_test {

namespace user = maxhost::dotnet::user;
namespace mxs = maxhost::mxs;

namespace {

Host LoadHost() {
  Host h;
  static maxhost::PluginLoader loader;
  const maxhost::PluginLoadResult r = loader.LoadPlugin(TILVARA_PLUGIN_FILE);
  if (!r.ok) {
    h.error = r.error;
    return h;
  }
  for (const auto& lib : loader.Libraries())
    for (ClassDesc* cd : lib.classes)
      if (cd->ClassID() == PAVIMO_CLASS_ID && cd->SuperClassID() == TEXMAP_CLASS_ID) {
        h.desc = static_cast<ClassDesc2*>(cd);
        h.module = lib.instance;
      }
  if (!h.desc) h.error = "Tilvara.dlt registered no Tilvara class";
  // As the host does at start-up.
  maxhost::dotnet::installBridge();
  h.showEntryBeforeFirstPress = mxs::global_value(L"fn_From_Cpp_ShowTilva_Dialog") != nullptr;
  return h;
}

}  // namespace

const Host& TheHost() {
  static const Host host = LoadHost();
  return host;
}

std::wstring RunScript(const std::wstring& script) {
  const mxs::RunResult r = mxs::run_string(script, L"test");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error) << "\nin: " << maxhost::Utf8FromWide(script);
  return r.result;
}

std::vector<std::wstring> FileNames(Texmap* map) {
  std::vector<std::wstring> out;
  IParamBlock2* pb = map->GetParamBlock(0);
  for (int i = 0; i < pb->Count(pb_submaps); ++i) {
    auto* bt = dynamic_cast<BitmapTex*>(pb->GetTexmap(pb_submaps, 0, i));
    out.push_back(bt ? bt->GetMapName() : L"");
  }
  return out;
}

std::vector<int> SubmapOn(Texmap* map) {
  std::vector<int> out;
  IParamBlock2* pb = map->GetParamBlock(0);
  for (int i = 0; i < pb->Count(pb_submap_on); ++i) out.push_back(pb->GetInt(pb_submap_on, 0, i));
  return out;
}

std::vector<int> Probabilities(Texmap* map) {
  std::vector<int> out;
  IParamBlock2* pb = map->GetParamBlock(0);
  for (int i = 0; i < pb->Count(pb_probability); ++i)
    out.push_back(pb->GetInt(pb_probability, 0, i));
  return out;
}

Value* HeldDialog(Texmap* map) {
  auto* fpi = dynamic_cast<FPInterface*>(map->GetInterface(PAVIMO_INTERFACE_ID));
  if (!fpi) {
    ADD_FAILURE() << "the map offers no IPavimo";
    return nullptr;
  }
  FPValue result;
  EXPECT_EQ(fpi->Invoke(pavimo_get_listview, 0, result, nullptr), FPS_OK);
  EXPECT_EQ(result.type, TYPE_VALUE);
  return result.v;
}

std::vector<std::wstring> RowFiles(net::ListView& list) {
  std::vector<std::wstring> out;
  for (auto& item : list.items)
    out.push_back(item->subItems.size() > 2 ? item->subItems[2]->text : L"?");
  return out;
}

std::vector<std::wstring> RowProbabilities(net::ListView& list) {
  std::vector<std::wstring> out;
  for (auto& item : list.items)
    out.push_back(item->subItems.size() > 1 ? item->subItems[1]->text : L"?");
  return out;
}

std::vector<int> RowChecks(net::ListView& list) {
  std::vector<int> out;
  for (auto& item : list.items) out.push_back(item->checked() ? 1 : 0);
  return out;
}

std::vector<maxhost::MessageBoxRecord> MessageBoxes() {
  return maxhost::MessageBoxLog();
}

namespace {

// This program's image folder, removed when the program ends.
struct ImageFolder {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("tilvara_editor_tests_" + std::to_string(getpid()));
  ~ImageFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

std::wstring WriteImage(const std::string& name) {
  namespace fs = std::filesystem;
  static const ImageFolder folder;
  const fs::path& dir = folder.path;
  fs::create_directories(dir);
  const fs::path file = dir / name;
  std::string error;
  maxhost::Image image(2, 2, maxhost::Rgba{0.25f, 0.5f, 0.75f, 1.0f});
  EXPECT_TRUE(maxhost::WritePng(file.string(), image, error)) << error;
  return file.wstring();
}

std::wstring CheckBoxClickEvents() {
  static const std::wstring events = [] {
    RunScript(
        LR"(
global editorTestEvents = #()
global editorTestForm = dotNetObject "MaxCustomControls.MaxForm"
editorTestForm.Text = "Event order probe"
global editorTestList = dotNetObject "System.Windows.Forms.ListView"
editorTestList.View = (dotNetClass "System.Windows.Forms.View").Details
editorTestList.CheckBoxes = true
editorTestList.Dock = (dotNetClass "System.Windows.Forms.DockStyle").Fill
editorTestList.Columns.Add "On/Off" 50
editorTestList.Items.AddRange #(dotNetObject "System.Windows.Forms.ListViewItem" "")
dotNet.addEventHandler editorTestList "MouseDown" (fn down s a = append editorTestEvents #down)
dotNet.addEventHandler editorTestList "ItemCheck" (fn check s a = append editorTestEvents #check)
editorTestForm.Controls.Add editorTestList
editorTestForm.ShowModeless()
ok
)");
    auto form = user::findForm(L"Event order probe");
    if (!form) return std::wstring(L"no probe form");
    auto list = user::findFirst<net::ListView>(*form);
    if (list) user::clickListCheckBox(*list, 0);
    const std::wstring events = RunScript(L"editorTestEvents");
    form->close();
    RunScript(L"editorTestForm = undefined; editorTestList = undefined; ok");
    return events;
  }();
  return events;
}

void EditorTest::SetUp() {
  const Host& host = TheHost();
  if (!host.error.empty()) GTEST_FAIL() << "plug-in not loadable: " << host.error;
  user::reset();
  maxhost::ClearMessageBoxLog();
  maxhost::ClearShellExecuteLog();
  mxs::clear_reported_errors();
  holder_ = std::make_unique<maxhost::RefHolder>();
  material_ = holder_->Hold(new maxhost::StandardMaterial);
  map_ = NewMap();
  ASSERT_NE(map_, nullptr);
  material_->SetDiffuseMap(map_);
  pb_ = map_->GetParamBlock(0);
  ASSERT_NE(pb_, nullptr);
  mxs::define_global(L"theMap", MAXClass::make_wrapper_for(map_));
  editor_ = std::make_unique<maxhost::ui::MaterialEditor>();
  editor_->Show(map_);
  ASSERT_TRUE(editor_->IsOpen()) << editor_->Error();
}

void EditorTest::TearDown() {
  form_.reset();
  list_.reset();
  spinner_.reset();
  editor_.reset();
  // Deleting the maps closes their dialogs.
  holder_.reset();
  user::reset();
  mxs::define_global(L"theMap", &undefined);
}

Texmap* EditorTest::NewMap() {
  return holder_->Hold(static_cast<Texmap*>(TheHost().desc->Create(FALSE)));
}

void EditorTest::PressManageTextures() {
  editor_->ClickButton(kManageTextures);
  FindDialog();
}

void EditorTest::FindDialog() {
  form_ = user::findForm(L"Manage Textures");
  list_ = form_ ? user::findFirst<net::ListView>(*form_) : nullptr;
  spinner_ =
      form_ ? std::dynamic_pointer_cast<net::NumericUpDown>(user::findByName(*form_, L"popSpinner"))
            : nullptr;
}

void EditorTest::CollectGarbage() {
  mxs::collect();
}

}  // namespace editor_test

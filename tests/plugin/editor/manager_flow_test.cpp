// The manager dialog as a user drives it: "Manage Textures" in the material editor's rollout,
// then the dialog's buttons, list, check boxes and spinner through the forms driver. After
// each step the map's lists, its `ListView`, the rows and the message boxes are checked, and
// the script collector runs, which must free nothing that the open form still uses.
#include <filesystem>

#include "dotnet/driver.h"
#include "editor_support.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "render/bitmap_texture.h"
#include "texmap/pavimo.h"

namespace editor_test {
namespace {

namespace user = maxhost::dotnet::user;
namespace mxs = maxhost::mxs;
using Files = std::vector<std::wstring>;
using Ints = std::vector<int>;

class ManagerFlowTest : public EditorTest {
 protected:
  // Adds files through "Add Bitmaps" and the open-file dialog.
  void AddFiles(const Files& paths) {
    user::answerOpenFile(paths);
    user::clickButton(*form_, L"Add Bitmaps");
  }
  // Opens the dialog on a map with these entries and weights (all switched on).
  Files OpenWithEntries(const Ints& weights) {
    Files files;
    for (size_t i = 0; i < weights.size(); ++i)
      files.push_back(WriteImage("entry" + std::to_string(i) + ".png"));
    PressManageTextures();
    EXPECT_TRUE(form_ && list_ && spinner_);
    if (!form_) return files;
    AddFiles(files);
    for (size_t i = 0; i < weights.size(); ++i)
      pb_->SetValue(pb_probability, 0, weights[i], static_cast<int>(i));
    // The rows show the weights after a refill, which a new dialog does.
    PressManageTextures();
    return files;
  }
  void ExpectNoErrors() {
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_TRUE(mxs::reported_errors().empty());
  }
};

TEST_F(ManagerFlowTest, ManageTexturesOpensTheDialogOfTheMap) {
  EXPECT_EQ(HeldDialog(map_), nullptr);
  PressManageTextures();
  ASSERT_TRUE(form_ && list_ && spinner_);
  EXPECT_TRUE(form_->visible());
  Value* dialog = HeldDialog(map_);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(is_struct(dialog));
  EXPECT_EQ(RunScript(L"theMap.ListView.m_texture == theMap"), L"true");
  EXPECT_EQ(RunScript(L"theMap.ListView.m_form.Text"), L"\"Manage Textures\"");
  EXPECT_TRUE(list_->items.empty());
  EXPECT_FALSE(spinner_->visible());
  CollectGarbage();
  EXPECT_EQ(HeldDialog(map_), dialog);
  EXPECT_EQ(RunScript(L"theMap.ListView.m_theListView.Items.Count"), L"0");
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, AddBitmapsAppendsNewFilesInTheDialogsOrder) {
  PressManageTextures();
  ASSERT_TRUE(form_);
  const std::wstring a = WriteImage("a.png"), b = WriteImage("b.png"), c = WriteImage("c.png"),
                     d = WriteImage("d.png"), e = WriteImage("e.png");
  AddFiles({a, b, c});
  EXPECT_EQ(FileNames(map_), (Files{a, b, c}));
  // The update that the structure change runs fits the other two lists.
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 1, 1}));
  EXPECT_EQ(Probabilities(map_), (Ints{1, 1, 1}));
  EXPECT_EQ(RowFiles(*list_), (Files{a, b, c}));
  EXPECT_EQ(RowProbabilities(*list_), (Files{L"1", L"1", L"1"}));
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 1, 1}));
  CollectGarbage();

  // One file already present is skipped; the other two are appended in the dialog's order.
  AddFiles({e, b, d});
  EXPECT_EQ(FileNames(map_), (Files{a, b, c, e, d}));
  EXPECT_EQ(SubmapOn(map_).size(), 5u);
  EXPECT_EQ(Probabilities(map_).size(), 5u);
  EXPECT_EQ(RowFiles(*list_), (Files{a, b, c, e, d}));
  CollectGarbage();

  // A cancelled dialog changes nothing.
  user::cancelOpenFile();
  user::clickButton(*form_, L"Add Bitmaps");
  EXPECT_EQ(FileNames(map_), (Files{a, b, c, e, d}));
  EXPECT_EQ(list_->items.size(), 5u);
  const auto& shown = net::Application::instance().fileDialogsShown;
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].title, L"Select Textures to add to the Pavimo");
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, RemoveDeletesTheSelectedRowsFromAllThreeLists) {
  const Files f = OpenWithEntries({10, 20, 30, 40, 50});
  ASSERT_TRUE(list_);
  pb_->SetValue(pb_submap_on, 0, FALSE, 2);
  // Rows 4 and 2 (1-based), selected in that order.
  user::clickListCell(*list_, 3, 2);
  user::clickListCell(*list_, 1, 2, net::Keys::Control);
  EXPECT_EQ(list_->selectedIndices(), (Ints{1, 3}));
  CollectGarbage();
  user::clickButton(*form_, L"Remove");
  EXPECT_EQ(FileNames(map_), (Files{f[0], f[2], f[4]}));
  EXPECT_EQ(Probabilities(map_), (Ints{10, 30, 50}));
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  // The plug-in refilled the rows after each deletion from `submaps`.
  EXPECT_EQ(RowFiles(*list_), (Files{f[0], f[2], f[4]}));
  EXPECT_EQ(RowProbabilities(*list_), (Files{L"10", L"30", L"50"}));
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 0, 1}));
  CollectGarbage();
  // Nothing selected now: Remove does nothing.
  user::clickButton(*form_, L"Remove");
  EXPECT_EQ(FileNames(map_).size(), 3u);
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, ReloadAllReadsEveryFileAgain) {
  const Files f = OpenWithEntries({1, 1});
  ASSERT_TRUE(form_);
  IParamBlock2* pb = pb_;
  auto image = [pb](int i) {
    auto* bt = dynamic_cast<maxhost::BitmapTexture*>(pb->GetTexmap(pb_submaps, 0, i));
    return bt && bt->HasImage();
  };
  EXPECT_TRUE(image(0));
  EXPECT_TRUE(image(1));
  std::filesystem::remove(std::filesystem::path(f[1]));
  user::clickButton(*form_, L"Reload All");
  EXPECT_TRUE(image(0));
  EXPECT_FALSE(image(1));  // read again: the file is gone
  EXPECT_EQ(FileNames(map_), f);
  EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(ManagerFlowTest, TheSpinnerEditsTheProbabilityOfAClickedCell) {
  OpenWithEntries({10, 20, 30});
  ASSERT_TRUE(list_ && spinner_);
  // A click on the Probability cell selects the row and lays the spinner over the cell.
  user::clickListCell(*list_, 1, 1);
  ASSERT_TRUE(spinner_->visible());
  EXPECT_TRUE(spinner_->focused());
  EXPECT_EQ(spinner_->text(), L"20");
  const net::Rectangle cell = list_->items[1]->subItems[1]->bounds();
  const net::Rectangle at = spinner_->bounds();
  EXPECT_EQ(at.x, cell.x + 2 + list_->bounds().x);
  EXPECT_EQ(at.y, cell.y + list_->bounds().y);
  EXPECT_EQ(at.width, cell.width);
  CollectGarbage();

  // Up 10 pixels adds 1; past 100 the shown value stays while the running value grows.
  user::press(*spinner_, 10, 50);
  user::move(*spinner_, 10, 40);
  EXPECT_EQ(spinner_->value(), 21);
  user::move(*spinner_, 10, -1000);  // running value 125
  EXPECT_EQ(spinner_->value(), 100);
  CollectGarbage();
  user::move(*spinner_, 10, -900);  // 115: still past the maximum
  EXPECT_EQ(spinner_->value(), 100);
  user::move(*spinner_, 10, -700);  // 95
  EXPECT_EQ(spinner_->value(), 95);
  user::release(*spinner_, 10, -700);
  // Nothing reaches the map before the spinner loses the focus.
  EXPECT_EQ(Probabilities(map_), (Ints{10, 20, 30}));

  // A right-button press sets 0; a drag from there starts at 0.
  user::press(*spinner_, 10, 5, net::MouseButtons::Right);
  EXPECT_EQ(spinner_->value(), 0);
  user::release(*spinner_, 10, 5, net::MouseButtons::Right);
  user::dragVertically(*spinner_, 10, 30, {20, 10});
  EXPECT_EQ(spinner_->value(), 2);
  CollectGarbage();

  // Leaving it writes the whole number to the cell and the map.
  user::unfocus();
  EXPECT_FALSE(spinner_->visible());
  EXPECT_EQ(Probabilities(map_), (Ints{10, 2, 30}));
  EXPECT_EQ(RowProbabilities(*list_), (Files{L"10", L"2", L"30"}));
  EXPECT_EQ(RunScript(L"theMap.probability"), L"#(10, 2, 30)");

  // A click in the file-name cell of the selected row shows no spinner.
  user::clickListCell(*list_, 1, 2);
  EXPECT_FALSE(spinner_->visible());
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, PlainCheckBoxClicksSwitchEntriesAndCtrlOrShiftClicksDoNot) {
  OpenWithEntries({1, 1, 1});
  ASSERT_TRUE(list_);
  user::clickListCell(*list_, 0, 2);  // a first press and release on the list
  user::clickListCheckBox(*list_, 1);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 0, 1}));
  CollectGarbage();
  user::clickListCheckBox(*list_, 2, net::Keys::Control);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  user::clickListCheckBox(*list_, 1, net::Keys::Shift);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  // Ctrl and Shift together do not block.
  user::clickListCheckBox(*list_, 2, net::Keys::Control | net::Keys::Shift);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 0}));
  ExpectNoErrors();
}

// The dialog puts every box back to the map's state on the release; that relies on the list
// toggling a clicked box before it raises MouseDown, as Windows Forms does.
TEST_F(ManagerFlowTest, CheckBoxesShowTheMapsStateAfterEveryRelease) {
  const std::wstring events = CheckBoxClickEvents();
  ASSERT_EQ(events, L"#(#check, #down)")
      << "Windows Forms toggles a clicked check box before it raises MouseDown";
  OpenWithEntries({1, 1, 1});
  ASSERT_TRUE(list_);
  // Before the first press and release on the list, a check change is not written.
  user::clickListCheckBox(*list_, 1);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 1, 1}));
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 1, 1}));
  user::clickListCheckBox(*list_, 1);
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 0, 1}));
  user::clickListCheckBox(*list_, 2, net::Keys::Control);
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 0, 1}));
  user::clickListCheckBox(*list_, 0, net::Keys::Shift);
  EXPECT_EQ(RowChecks(*list_), (Ints{1, 0, 1}));
  EXPECT_EQ(SubmapOn(map_), (Ints{1, 0, 1}));
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, ManageTexturesWhileOpenReplacesTheForm) {
  OpenWithEntries({5, 6});
  ASSERT_TRUE(form_);
  net::FormPtr first = form_;
  Value* firstDialog = HeldDialog(map_);
  pb_->SetValue(pb_probability, 0, 7, 1);
  PressManageTextures();
  EXPECT_TRUE(first->isDisposed());
  ASSERT_EQ(user::openForms().size(), 1u);
  EXPECT_EQ(user::openForms()[0], form_);
  Value* secondDialog = HeldDialog(map_);
  ASSERT_NE(secondDialog, nullptr);
  EXPECT_NE(secondDialog, firstDialog);
  EXPECT_TRUE(is_struct(secondDialog));
  EXPECT_EQ(RowProbabilities(*list_), (Files{L"5", L"7"}));
  CollectGarbage();
  // The new form works after a collection.
  user::clickListCell(*list_, 0, 1);
  EXPECT_TRUE(spinner_->visible());
  user::unfocus();
  EXPECT_EQ(Probabilities(map_), (Ints{5, 7}));
  ExpectNoErrors();
}

TEST_F(ManagerFlowTest, ClosingTheFormLeavesListViewUndefined) {
  OpenWithEntries({1, 2});
  ASSERT_TRUE(form_);
  EXPECT_TRUE(user::closeForm(*form_));
  EXPECT_TRUE(form_->isDisposed());
  EXPECT_EQ(HeldDialog(map_), &undefined);
  EXPECT_EQ(RunScript(L"theMap.ListView"), L"undefined");
  CollectGarbage();
  // A structure change calls the update entry with undefined, which does nothing.
  pb_->SetCount(pb_submaps, 1);
  EXPECT_EQ(SubmapOn(map_).size(), 1u);
  EXPECT_EQ(HeldDialog(map_), &undefined);
  // The next press opens a new dialog.
  PressManageTextures();
  ASSERT_TRUE(form_ && list_);
  EXPECT_EQ(list_->items.size(), 1u);
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  ExpectNoErrors();
}

#if TILVARA_RELEASE == 204
TEST_F(ManagerFlowTest, TakingTheMapOutOfItsLastMaterialClosesTheDialog) {
  auto* second = holder_->Hold(new maxhost::StandardMaterial);
  second->SetDiffuseMap(map_);
  OpenWithEntries({1});
  ASSERT_TRUE(form_);
  // Another material still uses the map: the dialog stays.
  material_->SetDiffuseMap(nullptr);
  EXPECT_FALSE(form_->isDisposed());
  EXPECT_TRUE(is_struct(HeldDialog(map_)));
  CollectGarbage();
  second->SetDiffuseMap(nullptr);
  EXPECT_TRUE(form_->isDisposed());
  EXPECT_TRUE(user::openForms().empty());
  EXPECT_EQ(HeldDialog(map_), nullptr);
  CollectGarbage();
  ExpectNoErrors();
}
#endif

TEST_F(ManagerFlowTest, DeletingTheMapWhileOpenClosesTheDialog) {
  OpenWithEntries({1, 1});
  ASSERT_TRUE(form_);
  net::FormPtr form = form_;
  editor_->Close();
  map_->DeleteMe();
  map_ = nullptr;
  EXPECT_TRUE(form->isDisposed());
  EXPECT_TRUE(user::openForms().empty());
  CollectGarbage();
  EXPECT_TRUE(MessageBoxes().empty());
  for (const auto& e : mxs::reported_errors()) ADD_FAILURE() << maxhost::Utf8FromWide(e.text);
}

}  // namespace
}  // namespace editor_test

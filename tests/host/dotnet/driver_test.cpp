// The user driver: dialogs answered from a queue, message boxes recorded, controls found.
#include <gtest/gtest.h>

#include "dotnet/driver.h"

namespace maxhost::dotnet {
namespace {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override { user::reset(); }
  void TearDown() override { user::reset(); }
};

TEST_F(DriverTest, OpenFileDialogsTakeQueuedAnswersInOrder) {
  Value ofd = construct(typeNamed(L"System.Windows.Forms.OpenFileDialog"), {});
  setProperty(ofd, L"Multiselect", Value::boolean(true));
  setProperty(ofd, L"Title", Value::string(L"Pick"));
  setProperty(ofd, L"Filter", Value::string(L"Bitmap(*.bmp)|*.bmp|All Files|*.*"));
  setProperty(ofd, L"FilterIndex", Value::int32(2));
  user::answerOpenFile({L"/a/one.png", L"/a/two.png"});
  user::cancelOpenFile();
  Value result = callMethod(ofd, L"ShowDialog", {});
  EXPECT_EQ(result.toString(), L"OK");
  auto names = getProperty(ofd, L"FileNames").as<Array>();
  ASSERT_TRUE(names);
  ASSERT_EQ(names->items().size(), 2u);
  EXPECT_EQ(names->items()[1].asString(), L"/a/two.png");
  EXPECT_EQ(getProperty(ofd, L"FileName").asString(), L"/a/one.png");
  EXPECT_EQ(callMethod(ofd, L"ShowDialog", {}).toString(), L"Cancel");
  // With no answer queued the user cancels.
  EXPECT_EQ(callMethod(ofd, L"ShowDialog", {}).toString(), L"Cancel");
  auto& shown = Application::instance().fileDialogsShown;
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, L"Pick");
  EXPECT_EQ(shown[0].filterIndex, 2);
  EXPECT_TRUE(shown[0].multiselect);
}

TEST_F(DriverTest, SingleSelectionDialogsKeepTheFirstPath) {
  OpenFileDialog d;
  user::answerOpenFile({L"/x.png", L"/y.png"});
  EXPECT_EQ(d.showDialog(), DialogResult::OK);
  EXPECT_EQ(d.fileNames, (std::vector<std::wstring>{L"/x.png"}));
}

TEST_F(DriverTest, MessageBoxesAreRecordedWithTheirCaptions) {
  const TypeInfo& box = typeNamed(L"System.Windows.Forms.MessageBox");
  EXPECT_EQ(callStatic(box, L"Show", {Value::string(L"hello")}).toString(), L"OK");
  callStatic(box, L"Show", {Value::string(L"text"), Value::string(L"Caption")});
  ASSERT_EQ(user::messageBoxes().size(), 2u);
  EXPECT_EQ(user::messageBoxes()[1].caption, L"Caption");
  EXPECT_EQ(user::messageBoxes()[1].text, L"text");
  user::clearMessageBoxes();
  EXPECT_TRUE(user::messageBoxes().empty());
}

TEST_F(DriverTest, ControlsAreFoundByNameTextAndType) {
  auto form = std::make_shared<Form>();
  auto panel = std::make_shared<FlowLayoutPanel>();
  auto button = std::make_shared<Button>();
  button->setText(L"Remove");
  button->setName(L"removeButton");
  panel->controls().add(button);
  form->controls().add(panel);
  form->setText(L"Manage Textures");
  form->show();
  EXPECT_EQ(user::findForm(L"Manage Textures"), form);
  EXPECT_EQ(user::findForm(L"Other"), nullptr);
  EXPECT_EQ(user::findByName(*form, L"removeButton"), button);
  EXPECT_EQ(user::findByText(*form, L"Remove"), button);
  EXPECT_EQ(user::findByType(*form, L"Button"), button);
  EXPECT_EQ(user::findByType(*form, L"System.Windows.Forms.FlowLayoutPanel"), panel);
  EXPECT_EQ(user::findFirst<Button>(*form), button);
  EXPECT_THROW(user::clickButton(*form, L"Missing"), std::exception);
}

TEST_F(DriverTest, ResetDisposesOpenFormsWithoutEvents) {
  auto form = std::make_shared<Form>();
  int closing = 0;
  form->addHandler(L"Closing", std::make_shared<FunctionHandler>(
                                   [&](const ObjectPtr&, const ObjectPtr&) { ++closing; }));
  form->show();
  user::answerOpenFile({L"/a.png"});
  user::reset();
  EXPECT_EQ(closing, 0);
  EXPECT_TRUE(form->isDisposed());
  EXPECT_TRUE(user::openForms().empty());
  EXPECT_TRUE(Application::instance().openFileAnswers.empty());
}

}  // namespace
}  // namespace maxhost::dotnet

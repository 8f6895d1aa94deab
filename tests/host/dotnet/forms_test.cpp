// Forms, layout, focus, the numeric up-down control and closing.
#include <gtest/gtest.h>

#include "dotnet/controls.h"
#include "dotnet/driver.h"
#include "dotnet/listview.h"

namespace maxhost::dotnet {
namespace {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { user::reset(); }
  void TearDown() override { user::reset(); }

  // Records the named events of a control as "name:Event".
  void record(const ObjectPtr& o, const std::wstring& label,
              std::initializer_list<const wchar_t*> events) {
    for (const wchar_t* e : events) {
      std::wstring entry = label + L":" + e;
      o->addHandler(
          e, std::make_shared<FunctionHandler>(
                 [this, entry](const ObjectPtr&, const ObjectPtr&) { log.push_back(entry); }));
    }
  }
  std::vector<std::wstring> log;
};

// The manager dialog's layout: a table with a 40-pixel row for a button bar over a list.
struct ManagerLayout {
  std::shared_ptr<Form> form = std::make_shared<Form>(typeNamed(L"MaxCustomControls.MaxForm"));
  std::shared_ptr<TableLayoutPanel> root = std::make_shared<TableLayoutPanel>();
  std::shared_ptr<FlowLayoutPanel> bar = std::make_shared<FlowLayoutPanel>();
  std::shared_ptr<ListView> list = std::make_shared<ListView>();
  std::shared_ptr<NumericUpDown> spinner = std::make_shared<NumericUpDown>();
  std::vector<std::shared_ptr<Button>> buttons;

  ManagerLayout() {
    form->setSize(600, 460);
    root->columnCount = 1;
    root->rowCount = 2;
    auto& styles = typeNamed(L"System.Windows.Forms.ColumnStyle");
    auto& rowStyle = typeNamed(L"System.Windows.Forms.RowStyle");
    root->columnStyles->styles.push_back(std::make_shared<TableLayoutStyle>(styles, 2, 100.f));
    root->rowStyles->styles.push_back(std::make_shared<TableLayoutStyle>(rowStyle, 1, 40.f));
    root->rowStyles->styles.push_back(std::make_shared<TableLayoutStyle>(rowStyle, 2, 100.f));
    root->setDock(DockStyle::Fill);
    bar->wrapContents = false;
    bar->setSize(200, 26);
    bar->setDock(DockStyle::Fill);
    for (const wchar_t* text : {L"Add Bitmaps", L"Remove", L"Reload All"}) {
      auto b = std::make_shared<Button>();
      b->setText(text);
      bar->controls().add(b);
      buttons.push_back(b);
    }
    list->view = 1;
    list->checkBoxes = true;
    list->setDock(DockStyle::Fill);
    root->controls().add(bar);
    root->setCellPosition(bar.get(), 0, 0);
    root->controls().add(list);
    root->setCellPosition(list.get(), 0, 1);
    spinner->setVisible(false);
    form->controls().add(spinner);
    form->controls().add(root);
  }
};

TEST_F(FormsTest, TableRowsTakeAbsoluteSizesFirstAndPercentRowsTheRest) {
  ManagerLayout m;
  m.form->show();
  EXPECT_EQ(m.form->clientSize().width, 584);
  EXPECT_EQ(m.root->bounds(), (Rectangle{0, 0, 584, 421}));
  // Children of a table keep their margins (3 pixels) inside their cells.
  EXPECT_EQ(m.bar->bounds(), (Rectangle{3, 3, 578, 34}));
  EXPECT_EQ(m.list->bounds(), (Rectangle{3, 43, 578, 375}));
}

TEST_F(FormsTest, FlowPanelPlacesDefaultSizedButtonsLeftToRight) {
  ManagerLayout m;
  m.form->show();
  EXPECT_EQ(m.buttons[0]->bounds(), (Rectangle{3, 3, 75, 23}));
  EXPECT_EQ(m.buttons[1]->bounds(), (Rectangle{84, 3, 75, 23}));
  EXPECT_EQ(m.buttons[2]->bounds(), (Rectangle{165, 3, 75, 23}));
}

TEST_F(FormsTest, LayoutFollowsLaterChanges) {
  ManagerLayout m;
  m.form->show();
  m.form->setSize(800, 460);
  EXPECT_EQ(m.list->bounds().width, 778);
  m.root->rowStyles->styles[0]->size = 60.f;
  Application::instance().invalidateLayout();
  EXPECT_EQ(m.list->bounds().y, 63);
}

TEST_F(FormsTest, VisibilityAndHandlesFollowTheForm) {
  ManagerLayout m;
  EXPECT_FALSE(m.list->visible());  // a form is hidden until shown
  EXPECT_FALSE(m.list->isHandleCreated());
  m.form->show();
  EXPECT_TRUE(m.list->visible());
  EXPECT_TRUE(m.list->isHandleCreated());
  EXPECT_FALSE(m.spinner->visible());
  EXPECT_EQ(m.list->topLevelControl(), m.form.get());
  EXPECT_EQ(m.form->topLevelControl(), m.form.get());
  EXPECT_EQ(m.list->findForm(), m.form.get());
  EXPECT_EQ(user::openForms().size(), 1u);
}

TEST_F(FormsTest, FocusChangeFiresLeaveOnTheOldAndEnterOnTheNew) {
  ManagerLayout m;
  m.form->show();
  record(m.buttons[0], L"add", {L"Enter", L"GotFocus", L"Leave", L"LostFocus"});
  record(m.list, L"list", {L"Enter", L"GotFocus", L"Leave", L"LostFocus"});
  EXPECT_TRUE(user::focus(*m.buttons[0]));
  EXPECT_TRUE(m.buttons[0]->focused());
  EXPECT_TRUE(user::focus(*m.list));
  EXPECT_EQ(log, (std::vector<std::wstring>{L"add:Enter", L"add:GotFocus", L"add:Leave",
                                            L"add:LostFocus", L"list:Enter", L"list:GotFocus"}));
  // A hidden control cannot take the focus.
  EXPECT_FALSE(user::focus(*m.spinner));
}

TEST_F(FormsTest, HidingTheFocusedControlInsideItsLeaveHandlerIsSafe) {
  ManagerLayout m;
  m.form->show();
  m.spinner->setVisible(true);
  ASSERT_TRUE(m.spinner->focus());
  int leaves = 0;
  m.spinner->addHandler(L"Leave",
                        std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr&) {
                          ++leaves;
                          m.spinner->setVisible(false);
                        }));
  user::focus(*m.list);
  EXPECT_EQ(leaves, 1);
  EXPECT_FALSE(m.spinner->visible());
  EXPECT_TRUE(m.list->focused());
}

TEST_F(FormsTest, NumericUpDownDefaults) {
  NumericUpDown n;
  EXPECT_EQ(n.minimum(), 0);
  EXPECT_EQ(n.maximum(), 100);
  EXPECT_EQ(n.value(), 0);
  EXPECT_EQ(n.increment, 1);
  EXPECT_EQ(n.decimalPlaces(), 0);
  EXPECT_EQ(n.text(), L"0");
}

TEST_F(FormsTest, NumericUpDownValueOutsideTheRangeThrows) {
  auto n = std::make_shared<NumericUpDown>();
  Value v = Value::object(n);
  setProperty(v, L"Value", Value::int32(42));
  EXPECT_EQ(n->text(), L"42");
  try {
    setProperty(v, L"Value", Value::int32(101));
    FAIL() << "expected ArgumentOutOfRangeException";
  } catch (const DotNetError& e) {
    EXPECT_EQ(e.typeName(), L"System.ArgumentOutOfRangeException");
  }
  EXPECT_THROW(setProperty(v, L"Value", Value::real(-0.5)), DotNetError);
  EXPECT_EQ(n->value(), 42);
  // A fractional value is kept and shown rounded to the decimal places.
  setProperty(v, L"Value", Value::real(12.6));
  EXPECT_EQ(n->text(), L"13");
  EXPECT_DOUBLE_EQ(getProperty(v, L"Value").asDouble(), 12.6);
}

TEST_F(FormsTest, NumericUpDownTextIsValidatedWhenTheFocusLeaves) {
  ManagerLayout m;
  m.form->show();
  m.spinner->setVisible(true);
  std::wstring textInLeave;
  m.spinner->addHandler(
      L"Leave", std::make_shared<FunctionHandler>(
                    [&](const ObjectPtr&, const ObjectPtr&) { textInLeave = m.spinner->text(); }));
  user::typeText(*m.spinner, L"150");
  EXPECT_EQ(m.spinner->text(), L"150");  // not yet validated
  user::focus(*m.list);
  EXPECT_EQ(textInLeave, L"100");  // clamped before Leave runs
  EXPECT_EQ(m.spinner->value(), 100);

  user::typeText(*m.spinner, L"abc");
  user::focus(*m.list);
  EXPECT_EQ(m.spinner->text(), L"100");  // unparsable text leaves the value
  EXPECT_EQ(m.spinner->value(), 100);

  user::typeText(*m.spinner, L" 7 ");
  user::focus(*m.list);
  EXPECT_EQ(m.spinner->value(), 7);
  EXPECT_EQ(m.spinner->text(), L"7");
}

TEST_F(FormsTest, NumericUpDownReadingValueValidatesPendingText) {
  NumericUpDown n;
  n.setText(L"-5");
  EXPECT_EQ(n.value(), 0);  // clamped to the minimum
  EXPECT_EQ(n.text(), L"0");
  n.setMaximum(10);
  n.setValue(10);
  n.setMaximum(5);
  EXPECT_EQ(n.value(), 5);  // a lower maximum pulls the value down
}

TEST_F(FormsTest, ClosingCanBeCancelledAndOtherwiseDisposesTheForm) {
  ManagerLayout m;
  m.form->show();
  bool cancel = true;
  m.form->addHandler(
      L"Closing", std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr& args) {
        std::static_pointer_cast<CancelEventArgs>(args)->cancel = cancel;
      }));
  record(m.form, L"form", {L"FormClosing", L"FormClosed", L"Closed"});
  EXPECT_FALSE(user::closeForm(*m.form));
  EXPECT_FALSE(m.form->isDisposed());
  EXPECT_EQ(user::openForms().size(), 1u);
  cancel = false;
  EXPECT_TRUE(user::closeForm(*m.form));
  EXPECT_TRUE(m.form->isDisposed());
  EXPECT_TRUE(m.list->isDisposed());
  EXPECT_TRUE(user::openForms().empty());
  EXPECT_EQ(log, (std::vector<std::wstring>{L"form:FormClosing", L"form:FormClosing",
                                            L"form:FormClosed", L"form:Closed"}));
  // Showing a disposed form is an ObjectDisposedException.
  EXPECT_THROW(m.form->show(), DotNetError);
}

TEST_F(FormsTest, ClosingAFormTakesTheFocusWithoutLeaveEvents) {
  ManagerLayout m;
  m.form->show();
  m.spinner->setVisible(true);
  ASSERT_TRUE(m.spinner->focus());
  record(m.spinner, L"spinner", {L"Leave", L"LostFocus"});
  EXPECT_TRUE(user::closeForm(*m.form));
  EXPECT_EQ(Application::instance().focused(), nullptr);
  EXPECT_TRUE(log.empty());
}

TEST_F(FormsTest, TagHoldsAnyValueAndModifierKeysIsStatic) {
  Form f;
  f.setTag(Value::string(L"state"));
  EXPECT_EQ(f.tag().asString(), L"state");
  const TypeInfo& control = typeNamed(L"System.Windows.Forms.Control");
  user::holdKeys(Keys::Control | Keys::Shift);
  Value mods = getStatic(control, L"ModifierKeys");
  EXPECT_EQ(mods.asInt(), Keys::Control | Keys::Shift);
  EXPECT_EQ(mods.enumType(), &typeNamed(L"System.Windows.Forms.Keys"));
  user::releaseKeys();
  EXPECT_EQ(getStatic(control, L"ModifierKeys").asInt(), 0);
}

TEST_F(FormsTest, ButtonClickFiresOnlyForTheLeftButtonAndInOrder) {
  ManagerLayout m;
  m.form->show();
  record(m.buttons[1], L"remove", {L"MouseDown", L"Click", L"MouseClick", L"MouseUp"});
  user::clickButton(*m.form, L"Remove");
  user::click(*m.buttons[1], 5, 5, MouseButtons::Right);
  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"remove:MouseDown", L"remove:Click", L"remove:MouseClick",
                                       L"remove:MouseUp", L"remove:MouseDown", L"remove:MouseUp"}));
  log.clear();
  callMethod(Value::object(m.buttons[1]), L"PerformClick", {});
  EXPECT_EQ(log, (std::vector<std::wstring>{L"remove:Click"}));
}

TEST_F(FormsTest, MouseEventsCarryButtonPositionAndHeldButtons) {
  ManagerLayout m;
  m.form->show();
  m.spinner->setVisible(true);
  std::vector<std::tuple<std::wstring, int, int, int>> seen;
  for (const wchar_t* e : {L"MouseDown", L"MouseMove", L"MouseUp"}) {
    std::wstring name = e;
    m.spinner->addHandler(
        e, std::make_shared<FunctionHandler>([&, name](const ObjectPtr&, const ObjectPtr& a) {
          Value args = Value::object(a);
          seen.emplace_back(name, int(getProperty(args, L"Button").asInt()),
                            int(getProperty(args, L"Y").asInt()),
                            int(getProperty(args, L"Clicks").asInt()));
        }));
  }
  user::dragVertically(*m.spinner, 10, 15, {5});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], std::make_tuple(std::wstring(L"MouseDown"), MouseButtons::Left, 15, 1));
  EXPECT_EQ(seen[1], std::make_tuple(std::wstring(L"MouseMove"), MouseButtons::Left, 5, 0));
  EXPECT_EQ(seen[2], std::make_tuple(std::wstring(L"MouseUp"), MouseButtons::Left, 5, 1));
  EXPECT_EQ(Application::instance().mouseButtons, MouseButtons::None);
}

}  // namespace
}  // namespace maxhost::dotnet

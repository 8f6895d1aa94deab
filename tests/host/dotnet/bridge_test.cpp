// The script bridge: creating .NET objects from scripts, conversions, members by
// juxtaposition, event handlers, lifetime and the collector.
#include <gtest/gtest.h>

#include "dotnet/bridge.h"
#include "dotnet/driver.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/values_util.h"

namespace maxhost::dotnet {
namespace {

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installBridge();
    user::reset();
    mxs::clear_reported_errors();
  }
  void TearDown() override {
    user::reset();
    mxs::collect();
  }

  // Runs script text and answers the printed result; a failing run fails the test.
  std::wstring run(const std::wstring& text) {
    mxs::RunResult r = mxs::run_string(text, L"test");
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    return r.result;
  }
  mxs::RunResult runRaw(const std::wstring& text) { return mxs::run_string(text, L"test"); }
};

TEST_F(BridgeTest, ObjectsAndClassesPrintLikeTheHost) {
  EXPECT_EQ(run(L"dotNetObject \"System.Windows.Forms.Button\""),
            L"dotNetObject:System.Windows.Forms.Button");
  EXPECT_EQ(run(L"dotNetObject \"button\""), L"dotNetObject:System.Windows.Forms.Button");
  EXPECT_EQ(run(L"dotNetClass \"Windows.Forms.DockStyle\""),
            L"dotNetClass:System.Windows.Forms.DockStyle");
  EXPECT_EQ(run(L"(dotNetClass \"DockStyle\").Fill"),
            L"dotNetObject:System.Windows.Forms.DockStyle");
  EXPECT_EQ(run(L"((dotNetClass \"DockStyle\").Fill).ToString()"), L"\"Fill\"");
  mxs::RunResult bad = runRaw(L"dotNetObject \"System.Windows.Forms.NoSuchThing\"");
  EXPECT_FALSE(bad.ok);
}

// Static members through a class value: System.Math picks the Int32 overload for integers
// and the Double one otherwise; Double results read as script floats.
TEST_F(BridgeTest, StaticMethodsAndPropertiesOfAClass) {
  EXPECT_EQ(run(L"(dotNetClass \"System.Math\").Max 3 7"), L"7");
  EXPECT_EQ(run(L"(dotNetClass \"System.Math\").Max 3 7.5"), L"7.5");
  EXPECT_EQ(run(L"(dotNetClass \"System.Math\").Min -2 9"), L"-2");
  EXPECT_EQ(run(L"(dotNetClass \"Math\").PI"), L"3.14159");
  EXPECT_EQ(run(L"m = dotNetClass \"System.Math\"\nm.Round 2.5"), L"2.0");
  EXPECT_EQ(run(L"m.Round 3.5"), L"4.0");
  EXPECT_EQ(run(L"m.Abs -4"), L"4");
  EXPECT_EQ(run(L"m.Pow 2 10"), L"1024.0");
  EXPECT_EQ(run(L"m.Sqrt 2.25d0"), L"1.5");
  EXPECT_EQ(run(L"classOf (m.Max 1 2)"), L"Integer");
  mxs::RunResult r = runRaw(L"m.Abs (-2147483647 - 1)");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L".NET runtime exception: Negating the minimum value"), std::wstring::npos)
      << Utf8FromWide(r.error);
  r = runRaw(L"m.Max 1");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"No overload of System.Math.Max"), std::wstring::npos);
}

// 64-bit script values go to .NET as Int64 and Double; an Int64 that does not fit a script
// Integer comes back as an Integer64 instead of losing its high bits.
TEST_F(BridgeTest, WideNumbersCrossTheBridge) {
  EXPECT_EQ(run(L"p = dotNetObject \"System.IntPtr\" 8589934592L\np.ToInt64()"), L"8589934592L");
  EXPECT_EQ(run(L"p = dotNetObject \"System.IntPtr\" 12\np.ToInt64()"), L"12");
}

TEST_F(BridgeTest, PropertiesMethodsAndConversions) {
  EXPECT_EQ(run(L"b = dotNetObject \"System.Windows.Forms.Button\"\n"
                L"b.Text = \"Remove\"\nb.text"),
            L"\"Remove\"");
  EXPECT_EQ(run(L"b.Width"), L"75");
  EXPECT_EQ(run(L"b.Tag = undefined\nb.Tag"), L"undefined");
  // Decimal becomes an integer, rounded.
  EXPECT_EQ(run(L"n = dotNetObject \"NumericUpDown\"\nn.Value = 12.6\nn.Value"), L"13");
  EXPECT_EQ(run(L"n.Maximum"), L"100");
  EXPECT_EQ(run(L"n.Text"), L"\"13\"");
  // Out of range: a .NET exception becomes a script error.
  mxs::RunResult r = runRaw(L"n.Value = 101");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L".NET runtime exception"), std::wstring::npos);
  // Single stays a float.
  EXPECT_EQ(run(L"s = dotNetObject \"System.Windows.Forms.ColumnStyle\" "
                L"(dotNetClass \"SizeType\").Percent 100\ns.Width"),
            L"100.0");
  EXPECT_EQ(run(L"c = (dotNetClass \"System.Drawing.Color\").FromArgb 10 20 30\nc.G"), L"20");
  EXPECT_EQ(run(L"classOf b"), L"dotNetObject");
}

TEST_F(BridgeTest, EnumsCompareAndCombine) {
  EXPECT_EQ(run(L"keys = dotNetClass \"System.Windows.Forms.Keys\"\n"
                L"keys.Control == keys.Control"),
            L"true");
  EXPECT_EQ(run(L"keys.Control == keys.Shift"), L"false");
  EXPECT_EQ(run(L"keys.Shift.Equals keys.Shift"), L"true");
  EXPECT_EQ(run(L"(dotNet.combineEnums keys.Control keys.Shift).ToString()"),
            L"\"Shift, Control\"");
  EXPECT_EQ(run(L"(dotNetClass \"Control\").ModifierKeys.Equals keys.None"), L"true");
  user::holdKeys(Keys::Control);
  EXPECT_EQ(run(L"(dotNetClass \"Control\").ModifierKeys == keys.Control"), L"true");
  user::releaseKeys();
}

TEST_F(BridgeTest, ArraysConvertBothWays) {
  run(L"lv = dotNetObject \"System.Windows.Forms.ListView\"\n"
      L"rows = for i = 1 to 3 collect (dotNetObject \"ListViewItem\" (i as string))\n"
      L"lv.Items.AddRange rows");
  EXPECT_EQ(run(L"lv.Items.Count"), L"3");
  EXPECT_EQ(run(L"lv.Items.Item[2].Text"), L"\"3\"");
  EXPECT_EQ(run(L"(lv.Items.Item[0]).Index"), L"0");
  user::answerOpenFile({L"/t/a.png", L"/t/b.png"});
  EXPECT_EQ(run(L"ofd = dotNetObject \"OpenFileDialog\"\nofd.Multiselect = true\n"
                L"r = ofd.ShowDialog()\nr.Equals (dotNetClass \"DialogResult\").OK"),
            L"true");
  EXPECT_EQ(run(L"ofd.FileNames"), L"#(\"/t/a.png\", \"/t/b.png\")");
  // A script array of the wrong element type does not bind.
  EXPECT_FALSE(runRaw(L"lv.Items.AddRange #(1, 2)").ok);
}

TEST_F(BridgeTest, MXSValueProxyGivesBackTheScriptValue) {
  EXPECT_EQ(run(L"struct Holder (a = 1)\nf = dotNetObject \"MaxCustomControls.MaxForm\"\n"
                L"f.Tag = dotNetMXSValue (Holder a:42)\nf.Tag.value.a"),
            L"42");
  EXPECT_EQ(run(L"classOf f.Tag"), L"dotNetMXSValue");
}

TEST_F(BridgeTest, HandlersReceiveSenderAndArgsByTheirParameterCount) {
  run(L"global seen = #()\n"
      L"fn two s a = append seen (s.Text + \":\" + (a.Button.ToString()))\n"
      L"fn one a = append seen (a.X as string)\n"
      L"fn none = append seen \"none\"\n"
      L"f = dotNetObject \"Form\"\nbtn = dotNetObject \"Button\"\nbtn.Text = \"Go\"\n"
      L"f.Controls.Add btn\n"
      L"dotNet.addEventHandler btn \"MouseClick\" two\n"
      L"dotNet.addEventHandler btn \"mouseclick\" one\n"
      L"dotNet.addEventHandler btn \"Click\" none\nf.Show()");
  auto form = user::openForms().at(0);
  user::click(*user::findByText(*form, L"Go"), 7, 5);
  EXPECT_EQ(run(L"seen"), L"#(\"none\", \"Go:Left\", \"7\")");
}

TEST_F(BridgeTest, HandlerErrorsAreReportedAndDoNotEscape) {
  run(L"f = dotNetObject \"Form\"\nbtn = dotNetObject \"Button\"\nf.Controls.Add btn\n"
      L"fn broken s a = undefined + 1\n"
      L"dotNet.addEventHandler btn \"Click\" broken\nf.Show()");
  auto btn = user::findFirst<Button>(*user::openForms().at(0));
  EXPECT_NO_THROW(user::clickButton(*btn));
  auto errors = mxs::reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].message_box);
  EXPECT_NE(errors[0].text.find(L"No \"\"+\"\" function for undefined"), std::wstring::npos);
}

TEST_F(BridgeTest, ColorManAnswersHostColoursAsPoints) {
  EXPECT_EQ(run(L"c = colorMan.getColor #window\n(c.x * 255) as integer"), L"68");
  EXPECT_EQ(run(L"c = colorMan.getColor #windowText\n(c.y * 255) as integer"), L"220");
  EXPECT_FALSE(runRaw(L"colorMan.getColor #noSuchColour").ok);
}

TEST_F(BridgeTest, OpenFormsKeepTheirHandlersThroughCollections) {
  run(L"global clicks = 0\n"
      L"fn makeForm = (\n"
      L"  local f = dotNetObject \"MaxCustomControls.MaxForm\"\n"
      L"  local b = dotNetObject \"Button\"\n"
      L"  b.Text = \"Count\"\n"
      L"  local counter = fn onClick s a = clicks += 1\n"
      L"  dotNet.addEventHandler b \"Click\" counter\n"
      L"  f.Controls.Add b\n"
      L"  f.Tag = dotNetMXSValue #(\"state\", 1)\n"
      L"  f.ShowModeless()\n"
      L"  ok\n"
      L")\n"
      L"makeForm()\ngc()\ngc()");
  auto form = user::openForms().at(0);
  user::clickButton(*form, L"Count");
  EXPECT_EQ(run(L"clicks"), L"1");
  EXPECT_EQ(mxs::printed(proxiedValue(form->tag().asObject())), L"#(\"state\", 1)");
  std::size_t openCount = mxs::live_value_count();
  user::closeForm(*form);
  form.reset();
  mxs::collect();
  // The closed form's handler and Tag value are no longer roots.
  EXPECT_LT(mxs::live_value_count(), openCount);
}

// A dialog built like the texture manager: a table with a button bar over a list with
// three columns, rows from arrays, a pop-up spinner and handlers that find their state
// through the form's Tag.
const wchar_t* kManagerLike =
    LR"(
struct DialogState (list, spinner, names = #("a.png", "b.png", "c.png"), ons = #(true, false, true),
                    probs = #(5, 10, 15), selectedRow = 0, form, log = #())
fn getState sender = sender.TopLevelControl.Tag.value
fn fillRows lv st = (
  local rows = #()
  for i = 1 to st.names.count do (
    local item = dotNetObject "System.Windows.Forms.ListViewItem" ""
    item.Checked = st.ons[i]
    local p = item.SubItems.Add (st.probs[i] as string)
    p.Name = "prob"
    item.SubItems.Add st.names[i]
    append rows item
  )
  lv.Items.AddRange rows
)
fn onRemove sender args = (
  local st = getState sender
  local sel = st.list.SelectedIndices
  for i = sel.Count to 1 by -1 do (
    local r = sel.Item[i - 1] + 1
    deleteItem st.names r; deleteItem st.ons r; deleteItem st.probs r
  )
  st.list.Items.Clear()
  fillRows st.list st
)
fn onListClick sender args = (
  local st = getState sender
  local lv = st.list
  for i = 0 to lv.SelectedIndices.Count - 1 do (
    local row = lv.SelectedIndices.Item[i]
    local cell = (lv.Items.Item[row]).GetSubItemAt args.X args.Y
    if cell != undefined and cell.Name == "prob" do (
      st.spinner.Left = cell.Bounds.Left + 2 + lv.Left
      st.spinner.Top = cell.Bounds.Top + lv.Top
      st.spinner.Width = cell.Bounds.Width
      st.spinner.Text = cell.Text
      st.spinner.Show()
      st.spinner.Focus()
      st.selectedRow = row + 1
    )
  )
)
fn onSpinnerLeave sender args = (
  local st = getState sender
  st.probs[st.selectedRow] = sender.Text as integer
  (st.list.Items.Item[st.selectedRow - 1]).SubItems.Item[1].Text = sender.Text
  sender.Hide()
)
fn onItemCheck sender args = (
  local st = getState sender
  append st.log (args.Index as string + ":" + (args.NewValue.ToString()))
  st.ons[args.Index + 1] = args.NewValue.Equals (dotNetClass "CheckState").Checked
)
fn onClosing sender args = (getState sender).form = undefined
fn openDialog = (
  local st = DialogState()
  local form = dotNetObject "MaxCustomControls.MaxForm"
  form.Width = 600; form.Height = 460; form.Text = "Manager Like"
  form.Tag = dotNetMXSValue st
  st.form = form
  local sizeType = dotNetClass "SizeType"
  local root = dotNetObject "TableLayoutPanel"
  root.ColumnCount = 1; root.RowCount = 2
  root.ColumnStyles.Add (dotNetObject "ColumnStyle" sizeType.Percent 100)
  root.RowStyles.Add (dotNetObject "RowStyle" sizeType.Absolute 40)
  root.RowStyles.Add (dotNetObject "RowStyle" sizeType.Percent 100)
  root.Dock = (dotNetClass "DockStyle").Fill
  local bar = dotNetObject "FlowLayoutPanel"
  bar.WrapContents = false; bar.Height = 26; bar.Dock = (dotNetClass "DockStyle").Fill
  local remove = dotNetObject "Button"
  remove.Text = "Remove"
  dotNet.addEventHandler remove "Click" onRemove
  bar.Controls.Add remove
  local lv = dotNetObject "ListView"
  lv.View = (dotNetClass "View").Details
  lv.CheckBoxes = true; lv.FullRowSelect = true; lv.GridLines = true; lv.MultiSelect = true
  lv.Dock = (dotNetClass "DockStyle").Fill
  lv.Columns.Add "On/Off" 50; lv.Columns.Add "Probability" 70; lv.Columns.Add "Filename" -2
  dotNet.addEventHandler lv "MouseClick" onListClick
  dotNet.addEventHandler lv "ItemCheck" onItemCheck
  st.list = lv
  fillRows lv st
  root.Controls.Add bar 0 0
  root.Controls.Add lv 0 1
  local spinner = dotNetObject "NumericUpDown"
  spinner.Visible = false
  dotNet.addEventHandler spinner "Leave" onSpinnerLeave
  st.spinner = spinner
  form.Controls.Add spinner
  form.Controls.Add root
  dotNet.addEventHandler form "Closing" onClosing
  dotNet.setLifetimeControl form #dotnet
  form.ShowModeless()
  st
)
global dialog = openDialog()
gc()
)";

TEST_F(BridgeTest, ManagerLikeDialogIsDrivenAsAUser) {
  run(kManagerLike);
  auto form = user::findForm(L"Manager Like");
  ASSERT_TRUE(form);
  auto list = user::findFirst<ListView>(*form);
  auto spinner = user::findFirst<NumericUpDown>(*form);
  ASSERT_TRUE(list && spinner);
  ASSERT_EQ(list->items.size(), 3u);
  EXPECT_TRUE(list->items[0]->checked());
  EXPECT_EQ(list->columnWidth(2), 578 - 4 - 120);

  // Select row 2 and click its Probability cell: the spinner opens over the cell.
  user::clickListCell(*list, 1, 1);
  EXPECT_TRUE(spinner->visible());
  EXPECT_TRUE(spinner->focused());
  EXPECT_EQ(spinner->text(), L"10");
  EXPECT_EQ(spinner->bounds().x, 50 + 2 + 3);
  // Typing and leaving writes the value back to the state and the cell.
  user::typeText(*spinner, L"42");
  user::clickListCell(*list, 1, 2);
  EXPECT_FALSE(spinner->visible());
  EXPECT_EQ(run(L"dialog.probs"), L"#(5, 42, 15)");
  EXPECT_EQ(list->items[1]->subItems[1]->text, L"42");

  // A check box click reaches the handler after the release, with the new state.
  user::clickListCheckBox(*list, 1);
  EXPECT_EQ(run(L"dialog.ons"), L"#(true, true, true)");
  EXPECT_EQ(run(L"dialog.log"), L"#(\"1:Checked\")");

  // Select rows 3 and 1 and remove them.
  user::clickListCell(*list, 2, 2);
  user::clickListCell(*list, 0, 2, Keys::Control);
  user::clickButton(*form, L"Remove");
  EXPECT_EQ(run(L"dialog.names"), L"#(\"b.png\")");
  ASSERT_EQ(list->items.size(), 1u);
  EXPECT_EQ(list->items[0]->subItems[2]->text, L"b.png");

  // Closing runs the script's handler.
  EXPECT_TRUE(user::closeForm(*form));
  EXPECT_EQ(run(L"dialog.form"), L"undefined");
  EXPECT_TRUE(mxs::reported_errors().empty());
}

}  // namespace
}  // namespace maxhost::dotnet

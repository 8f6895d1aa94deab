// The list view: columns, rows, hit testing, selection and the check events' order.
#include <gtest/gtest.h>

#include "dotnet/driver.h"
#include "dotnet/listview.h"

namespace maxhost::dotnet {
namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    user::reset();
    form->setSize(600, 460);
    list->view = 1;
    list->checkBoxes = true;
    list->fullRowSelect = true;
    list->setDock(DockStyle::Fill);
    form->controls().add(list);
    list->addColumn(L"On/Off", 50);
    list->addColumn(L"Probability", 70);
    list->addColumn(L"Filename", -2);
  }
  void TearDown() override { user::reset(); }

  void addRows(int n, bool checked = false) {
    std::vector<std::shared_ptr<ListViewItem>> rows;
    for (int i = 0; i < n; ++i) {
      auto item = std::make_shared<ListViewItem>();
      item->setChecked(checked);
      item->addSubItem(std::to_wstring(i + 1))->name = L"prob";
      item->addSubItem(L"file" + std::to_wstring(i) + L".png");
      rows.push_back(item);
    }
    list->addItems(rows);
  }

  void record(std::initializer_list<const wchar_t*> events) {
    for (const wchar_t* e : events) {
      std::wstring name = e;
      list->addHandler(
          e, std::make_shared<FunctionHandler>([this, name](const ObjectPtr&, const ObjectPtr& a) {
            std::wstring entry = name;
            if (auto check = std::dynamic_pointer_cast<ItemCheckEventArgs>(a))
              entry += L"(" + std::to_wstring(check->index) + L"," +
                       std::to_wstring(check->currentValue) + L"->" +
                       std::to_wstring(check->newValue) + L")";
            log.push_back(entry);
          }));
    }
  }

  std::shared_ptr<Form> form = std::make_shared<Form>();
  std::shared_ptr<ListView> list = std::make_shared<ListView>();
  std::vector<std::wstring> log;
};

TEST_F(ListViewTest, LastColumnWithWidthMinusTwoFillsTheList) {
  form->show();
  // Client width 584 minus the 2-pixel borders on each side.
  EXPECT_EQ(list->columnWidth(2), 580 - 50 - 70);
  Value columns = getProperty(Value::object(list), L"Columns");
  EXPECT_EQ(getProperty(getIndexed(columns, {Value::int32(2)}), L"Width").asInt(), 460);
  EXPECT_EQ(getProperty(getIndexed(columns, {Value::int32(0)}), L"Width").asInt(), 50);
  // Not the last column: fits the header text.
  list->addColumn(L"Extra", 60);
  EXPECT_EQ(list->columnWidth(2), textWidth(L"Filename"));
  // Default width 60.
  Value added = callMethod(columns, L"Add", {Value::string(L"More")});
  EXPECT_EQ(getProperty(added, L"Width").asInt(), 60);
}

TEST_F(ListViewTest, ColumnWidthReadsTheRequestedValueBeforeTheListIsShown) {
  EXPECT_EQ(list->columns[2]->width(), -2);
  form->show();
  EXPECT_EQ(list->columns[2]->width(), 460);
}

TEST_F(ListViewTest, ItemCheckDoesNotFireWhileAddingNorBeforeTheListIsShown) {
  record({L"ItemCheck", L"ItemChecked"});
  addRows(2, true);
  list->items[0]->setChecked(false);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(list->items[0]->checked());
  form->show();
  addRows(1, true);
  EXPECT_TRUE(log.empty());
}

TEST_F(ListViewTest, ItemCheckFiresBeforeTheChangeAndSeesTheOldState) {
  addRows(3);
  form->show();
  bool stateInHandler = true;
  list->addHandler(L"ItemCheck",
                   std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr&) {
                     stateInHandler = list->items[1]->checked();
                   }));
  record({L"ItemCheck", L"ItemChecked"});
  setProperty(Value::object(list->items[1]), L"Checked", Value::boolean(true));
  EXPECT_FALSE(stateInHandler);
  EXPECT_TRUE(list->items[1]->checked());
  EXPECT_EQ(log, (std::vector<std::wstring>{L"ItemCheck(1,0->1)", L"ItemChecked"}));
  // Setting the same state again fires nothing.
  list->items[1]->setChecked(true);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(ListViewTest, SettingNewValueInItemCheckCancelsTheChange) {
  addRows(2);
  form->show();
  list->addHandler(L"ItemCheck",
                   std::make_shared<FunctionHandler>([](const ObjectPtr&, const ObjectPtr& a) {
                     Value args = Value::object(a);
                     setProperty(args, L"NewValue", getProperty(args, L"CurrentValue"));
                   }));
  record({L"ItemChecked"});
  list->items[0]->setChecked(true);
  EXPECT_FALSE(list->items[0]->checked());
  EXPECT_TRUE(log.empty());
}

TEST_F(ListViewTest, SelectedIndicesAreAscendingWhateverTheClickOrder) {
  addRows(5);
  form->show();
  user::clickListCell(*list, 3, 2);
  user::clickListCell(*list, 1, 2, Keys::Control);
  Value indices = getProperty(Value::object(list), L"SelectedIndices");
  EXPECT_EQ(getProperty(indices, L"Count").asInt(), 2);
  EXPECT_EQ(getIndexed(indices, {Value::int32(0)}).asInt(), 1);
  EXPECT_EQ(getIndexed(indices, {Value::int32(1)}).asInt(), 3);
  EXPECT_THROW(getIndexed(indices, {Value::int32(2)}), DotNetError);
  // Ctrl toggles and moves the anchor; Shift selects from the anchor to the clicked row.
  user::clickListCell(*list, 3, 1, Keys::Control);
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{1}));
  user::clickListCell(*list, 4, 1, Keys::Shift);
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{3, 4}));
  user::clickListCell(*list, 1, 1);
  user::clickListCell(*list, 3, 1, Keys::Shift);
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{1, 2, 3}));
  user::clickListCell(*list, 0, 0);
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{0}));
  Value selectedItems = getProperty(Value::object(list), L"SelectedItems");
  EXPECT_EQ(getIndexed(selectedItems, {Value::int32(0)}).asObject(), list->items[0]);
}

TEST_F(ListViewTest, CellBoundsAndHitTestingUseFixedRowAndHeaderHeights) {
  addRows(3);
  form->show();
  auto& item = *list->items[2];
  Rectangle prob = item.subItems[1]->bounds();
  EXPECT_EQ(prob, (Rectangle{50, kListHeaderHeight + 2 * kListRowHeight, 70, kListRowHeight}));
  // Cell 0 answers the whole row, as the native control does.
  EXPECT_EQ(item.subItems[0]->bounds().width, 580);
  EXPECT_EQ(item.subItemAt(60, prob.y + 3), item.subItems[1]);
  EXPECT_EQ(item.subItemAt(200, prob.y + 3), item.subItems[2]);
  EXPECT_EQ(item.subItemAt(60, prob.y - 3), nullptr);  // another row
  Value hit = callMethod(Value::object(list), L"HitTest", {Value::int32(60), Value::int32(-4)});
  EXPECT_TRUE(getProperty(hit, L"Item").isNull());
  EXPECT_EQ(getProperty(hit, L"Location").toString(), L"AboveClientArea");
  hit = callMethod(Value::object(list), L"HitTest", {Value::int32(5), Value::int32(prob.y + 3)});
  EXPECT_EQ(getProperty(hit, L"Item").asObject(), list->items[2]);
  EXPECT_EQ(getProperty(hit, L"Location").toString(), L"StateImage");
  EXPECT_TRUE(callMethod(Value::object(list), L"GetItemAt", {Value::int32(5), Value::int32(10)})
                  .isNull());  // the header
}

TEST_F(ListViewTest, SubItemsAreFoundByIndexAndName) {
  addRows(1);
  Value subs = getProperty(Value::object(list->items[0]), L"SubItems");
  EXPECT_EQ(getProperty(subs, L"Count").asInt(), 3);
  EXPECT_EQ(getProperty(getIndexed(subs, {Value::string(L"prob")}), L"Text").asString(), L"1");
  setProperty(getIndexed(subs, {Value::int32(1)}), L"Text", Value::string(L"9"));
  EXPECT_EQ(list->items[0]->subItems[1]->text, L"9");
  // GetSubItemAt answers nothing before the list exists on screen.
  EXPECT_EQ(list->items[0]->subItemAt(60, 30), nullptr);
}

TEST_F(ListViewTest, AnItemBelongsToOneListOnly) {
  addRows(1);
  auto other = std::make_shared<ListView>();
  EXPECT_THROW(other->addItems({list->items[0]}), DotNetError);
  callMethod(getProperty(Value::object(list), L"Items"), L"Clear", {});
  other->addItems({std::make_shared<ListViewItem>()});
  EXPECT_EQ(other->items[0]->index(), 0);
}

TEST_F(ListViewTest, ClickOnARowRaisesMouseDownClickMouseClickMouseUp) {
  addRows(2);
  form->show();
  record({L"MouseDown", L"Click", L"MouseClick", L"MouseUp", L"ItemCheck", L"ItemChecked"});
  user::clickListCell(*list, 1, 1);
  EXPECT_EQ(log, (std::vector<std::wstring>{L"MouseDown", L"Click", L"MouseClick", L"MouseUp"}));
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{1}));
  EXPECT_TRUE(list->focused());
  // Below the rows: no item, so no Click and no MouseClick, and the selection goes.
  log.clear();
  user::click(*list, 100, 300);
  EXPECT_EQ(log, (std::vector<std::wstring>{L"MouseDown", L"MouseUp"}));
  EXPECT_TRUE(list->selectedIndices().empty());
}

TEST_F(ListViewTest, SelectionHappensBeforeMouseDown) {
  addRows(3);
  form->show();
  std::vector<int> atDown, atClick;
  list->addHandler(L"MouseDown",
                   std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr&) {
                     atDown = list->selectedIndices();
                   }));
  list->addHandler(L"MouseClick",
                   std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr&) {
                     atClick = list->selectedIndices();
                   }));
  user::clickListCell(*list, 2, 1);
  EXPECT_EQ(atDown, (std::vector<int>{2}));
  EXPECT_EQ(atClick, (std::vector<int>{2}));
}

// The native list toggles the box while it handles the press, before .NET raises MouseDown.
TEST_F(ListViewTest, CheckBoxClickTogglesBeforeMouseDown) {
  addRows(2);
  form->show();
  record({L"MouseDown", L"Click", L"MouseClick", L"MouseUp", L"ItemCheck", L"ItemChecked"});
  user::clickListCheckBox(*list, 0);
  EXPECT_EQ(log, (std::vector<std::wstring>{L"ItemCheck(0,0->1)", L"ItemChecked", L"MouseDown",
                                            L"Click", L"MouseClick", L"MouseUp"}));
  EXPECT_TRUE(list->items[0]->checked());
  EXPECT_TRUE(list->selectedIndices().empty());  // a check box click selects nothing
  // Modifier keys held during the click are visible to the ItemCheck handlers.
  int modsInCheck = -1;
  list->addHandler(L"ItemCheck",
                   std::make_shared<FunctionHandler>([&](const ObjectPtr&, const ObjectPtr&) {
                     modsInCheck = Application::instance().modifierKeys;
                   }));
  user::clickListCheckBox(*list, 0, Keys::Control);
  EXPECT_EQ(modsInCheck, Keys::Control);
  EXPECT_FALSE(list->items[0]->checked());
}

TEST_F(ListViewTest, CheckBoxClickOnASelectedRowChecksTheOtherSelectedRowsFirst) {
  addRows(3);
  form->show();
  user::clickListCell(*list, 0, 1);
  user::clickListCell(*list, 2, 1, Keys::Control);
  record({L"MouseUp", L"ItemCheck"});
  user::clickListCheckBox(*list, 2);
  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"ItemCheck(0,0->1)", L"ItemCheck(2,0->1)", L"MouseUp"}));
  EXPECT_TRUE(list->items[0]->checked());
  EXPECT_FALSE(list->items[1]->checked());
  EXPECT_TRUE(list->items[2]->checked());
}

TEST_F(ListViewTest, RemovingItemsKeepsIndicesConsistent) {
  addRows(4);
  form->show();
  list->items[1]->setSelected(true);
  list->items[3]->setSelected(true);
  list->removeItemAt(1);
  EXPECT_EQ(list->selectedIndices(), (std::vector<int>{2}));
  EXPECT_EQ(list->items[2]->index(), 2);
  EXPECT_EQ(list->items[2]->subItems[2]->text, L"file3.png");
}

}  // namespace
}  // namespace maxhost::dotnet

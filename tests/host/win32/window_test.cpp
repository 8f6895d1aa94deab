// Windows behind HWND and the dialog-control calls on them.
#include "win32/window.h"

#include <gtest/gtest.h>

#include <vector>

namespace maxhost {
namespace {

struct Rollout {
  HWND dialog = nullptr;
  std::vector<std::pair<UINT, WPARAM>> seen;  // messages the dialog handled

  Rollout() {
    dialog = CreateWindowRecord(nullptr, L"#32770", L"", 0, WS_CHILD | WS_VISIBLE, {0, 0, 200, 100},
                                [this](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                                  seen.push_back({msg, w});
                                  return DefaultWindowMessage(h, msg, w, l);
                                });
  }
  ~Rollout() { DestroyWindow(dialog); }
  HWND Add(const wchar_t* cls, const wchar_t* text, int id, DWORD style) {
    return CreateWindowRecord(dialog, cls, text, id, style, {10, 20, 60, 30});
  }
};

TEST(Windows, DialogItemsAreFoundByIdAndTextRoundTrips) {
  Rollout r;
  HWND button = r.Add(L"Button", L"Manage Textures", 1001, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetDlgItem(r.dialog, 1001), button);
  EXPECT_EQ(GetDlgItem(r.dialog, 1002), nullptr);
  EXPECT_EQ(GetDlgCtrlID(button), 1001);
  EXPECT_EQ(GetParent(button), r.dialog);
  WCHAR buffer[32];
  EXPECT_EQ(GetWindowTextW(button, buffer, 32), 15);
  EXPECT_STREQ(buffer, L"Manage Textures");
  EXPECT_EQ(GetWindowTextW(button, buffer, 7), 6);
  EXPECT_STREQ(buffer, L"Manage");
  EXPECT_TRUE(SetDlgItemTextW(r.dialog, 1001, L"Go"));
  EXPECT_EQ(GetDlgItemTextW(r.dialog, 1001, buffer, 32), 2u);
  EXPECT_EQ(GetWindowTextLengthW(button), 2);
}

TEST(Windows, ClickingAnAutoRadioChecksItUnchecksItsGroupAndNotifiesTheParent) {
  Rollout r;
  r.Add(L"Static", L"Seed", -1, WS_CHILD | WS_VISIBLE | WS_GROUP);
  HWND a = r.Add(L"Button", L"Pyramidal", 1006, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON);
  HWND b = r.Add(L"Button", L"None", 1009, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON);
  r.Add(L"Static", L"Blur", -1, WS_CHILD | WS_VISIBLE | WS_GROUP);
  HWND other = r.Add(L"Button", L"Other", 1010, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON);
  CheckDlgButton(r.dialog, 1010, BST_CHECKED);
  SendMessageW(a, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1006), static_cast<UINT>(BST_CHECKED));
  SendMessageW(b, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1006), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1009), static_cast<UINT>(BST_CHECKED));
  // Beyond the next WS_GROUP control: another group, untouched.
  EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_EQ(r.seen.size(), 2u);
  EXPECT_EQ(r.seen[0].first, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(LOWORD(r.seen[0].second), 1006);
  EXPECT_EQ(HIWORD(r.seen[0].second), BN_CLICKED);
  EXPECT_EQ(LOWORD(r.seen[1].second), 1009);
}

TEST(Windows, DisabledButtonsIgnoreClicksAndCheckboxesToggle) {
  Rollout r;
  HWND box = r.Add(L"BUTTON", L"On", 5, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 5), static_cast<UINT>(BST_CHECKED));
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 5), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_FALSE(EnableWindow(box, FALSE));  // was enabled
  EXPECT_FALSE(IsWindowEnabled(box));
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 5), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(EnableWindow(box, TRUE));  // was disabled
  EXPECT_EQ(r.seen.size(), 2u);
}

TEST(Windows, CheckRadioButtonSetsOneOfARange) {
  Rollout r;
  for (int id : {1002, 1003, 1010}) r.Add(L"Button", L"", id, WS_CHILD | BS_AUTORADIOBUTTON);
  EXPECT_TRUE(CheckRadioButton(r.dialog, 1002, 1010, 1003));
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1002), 0u);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1003), 1u);
  EXPECT_EQ(IsDlgButtonChecked(r.dialog, 1010), 0u);
}

TEST(Windows, LongPtrsStylesVisibilityAndRects) {
  Rollout r;
  HWND logo = r.Add(L"Static", L"", 1007, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY);
  EXPECT_EQ(SetWindowLongPtrW(r.dialog, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtrW(r.dialog, GWLP_USERDATA), 1234);
  EXPECT_EQ(GetWindowLongPtrW(logo, GWL_STYLE) & SS_NOTIFY, SS_NOTIFY);
  EXPECT_EQ(GetWindowLongPtrW(logo, GWLP_ID), 1007);
  EXPECT_TRUE(IsWindowVisible(logo));
  ShowWindow(r.dialog, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(logo));  // an ancestor is hidden
  RECT rc;
  EXPECT_TRUE(GetClientRect(logo, &rc));
  EXPECT_EQ(rc.right, 50);
  EXPECT_EQ(rc.bottom, 10);
  EXPECT_TRUE(InvalidateRect(logo, nullptr, TRUE));
  EXPECT_EQ(WindowFromHandle(logo)->invalidations, 1);
  int image = 0;
  EXPECT_EQ(SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&image)), 0);
  EXPECT_EQ(SendMessageW(logo, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(&image));
}

TEST(Windows, DestroyingADialogDestroysItsControlsAndStaleHandlesFail) {
  const std::size_t before = LiveWindowCount();
  HWND button = nullptr;
  {
    Rollout r;
    button = r.Add(L"Button", L"x", 1, WS_CHILD);
    EXPECT_EQ(LiveWindowCount(), before + 2);
    EXPECT_TRUE(IsWindow(button));
    EXPECT_TRUE(DestroyWindow(r.dialog));
    EXPECT_EQ(r.seen.back().first, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(DestroyWindow(r.dialog));
  }
  EXPECT_EQ(LiveWindowCount(), before);
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(SendMessageW(button, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(GetDlgItem(button, 1), nullptr);
  EXPECT_EQ(CreateWindowRecord(button, L"Button", L"", 2, 0, {}), nullptr);
}

}  // namespace
}  // namespace maxhost

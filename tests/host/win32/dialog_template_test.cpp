#include "win32/dialog_template.h"

#include <gtest/gtest.h>

#include "res_builder.h"

namespace maxhost {
namespace {

using testing::ResBuilder;

void PutString(std::vector<std::uint8_t>& out, const std::u16string& s) {
  for (char16_t c : s) ResBuilder::Put(out, c, 2);
  ResBuilder::Put(out, 0, 2);
}

// A classic DLGTEMPLATE with a caption, a font and two controls.
std::vector<std::uint8_t> ClassicTemplate() {
  std::vector<std::uint8_t> t;
  ResBuilder::Put(t, 0x80C800C0u | 0x40u, 4);  // popup, caption, DS_SETFONT
  ResBuilder::Put(t, 0, 4);
  ResBuilder::Put(t, 2, 2);
  for (int v : {10, 20, 100, 50}) ResBuilder::Put(t, static_cast<std::uint32_t>(v), 2);
  ResBuilder::Put(t, 0, 2);  // no menu
  ResBuilder::Put(t, 0, 2);  // default class
  PutString(t, u"Title");
  ResBuilder::Put(t, 9, 2);
  PutString(t, u"Tahoma");
  // Control 1: OK button (class ordinal 0x80).
  while (t.size() % 4) t.push_back(0);
  ResBuilder::Put(t, 0x50010001, 4);
  ResBuilder::Put(t, 0, 4);
  for (int v : {5, 6, 40, 14}) ResBuilder::Put(t, static_cast<std::uint32_t>(v), 2);
  ResBuilder::Put(t, 1, 2);
  ResBuilder::Put(t, 0xFFFF, 2);
  ResBuilder::Put(t, 0x80, 2);
  PutString(t, u"OK");
  ResBuilder::Put(t, 0, 2);
  // Control 2: a named class, no id.
  while (t.size() % 4) t.push_back(0);
  ResBuilder::Put(t, 0x50000000, 4);
  ResBuilder::Put(t, 0, 4);
  for (int v : {50, 6, 40, 14}) ResBuilder::Put(t, static_cast<std::uint32_t>(v), 2);
  ResBuilder::Put(t, 0xFFFF, 2);
  PutString(t, u"SpinnerControl");
  PutString(t, u"");
  ResBuilder::Put(t, 0, 2);
  return t;
}

TEST(ParseDialogTemplate, ReadsClassicTemplates) {
  DialogParseResult r = ParseDialogTemplate(ClassicTemplate());
  ASSERT_TRUE(r.ok) << r.error;
  const DialogTemplate& d = r.dialog;
  EXPECT_FALSE(d.extended);
  EXPECT_EQ(d.x, 10);
  EXPECT_EQ(d.cy, 50);
  EXPECT_EQ(d.title, L"Title");
  EXPECT_TRUE(d.has_font);
  EXPECT_EQ(d.point_size, 9);
  EXPECT_EQ(d.typeface, L"Tahoma");
  ASSERT_EQ(d.controls.size(), 2u);
  EXPECT_EQ(d.controls[0].id, 1);
  EXPECT_EQ(d.controls[0].ClassName(), L"Button");
  EXPECT_EQ(d.controls[0].text.name, L"OK");
  EXPECT_EQ(d.controls[1].id, -1);  // 0xFFFF in a 16-bit id
  EXPECT_TRUE(d.controls[1].IsClass(L"spinnercontrol"));
  EXPECT_EQ(d.FindControl(1), &d.controls[0]);
  EXPECT_EQ(d.FindControl(99), nullptr);
}

TEST(ParseDialogTemplate, OrdinalClassesHaveSystemNames) {
  DialogControl c;
  const std::pair<std::uint16_t, const wchar_t*> names[] = {
      {0x80, L"Button"},  {0x81, L"Edit"},      {0x82, L"Static"},
      {0x83, L"ListBox"}, {0x84, L"ScrollBar"}, {0x85, L"ComboBox"}};
  for (const auto& [ordinal, name] : names) {
    c.window_class = ResId::Ordinal(ordinal);
    EXPECT_EQ(c.ClassName(), name);
    EXPECT_TRUE(c.IsClass(name));
  }
  c.window_class = ResId::Name(L"CUSTEDIT");
  EXPECT_TRUE(c.IsClass(L"CustEdit"));
}

// Every truncation of a valid template is refused with a reason.
TEST(ParseDialogTemplate, RefusesEveryTruncation) {
  const std::vector<std::uint8_t> t = ClassicTemplate();
  for (std::size_t cut = 0; cut + 2 < t.size(); ++cut) {
    DialogParseResult r = ParseDialogTemplate(std::span(t.data(), cut));
    EXPECT_FALSE(r.ok) << "cut at " << cut;
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(r.dialog.controls.empty());
  }
}

}  // namespace
}  // namespace maxhost

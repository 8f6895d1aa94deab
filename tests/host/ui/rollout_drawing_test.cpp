// The rollout picture shows every control of the template where the template puts it, with
// the values, radio states, colour and logo the rollout holds.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "editor_test_map.h"
#include "render/image.h"
#include "ui/material_editor.h"
#include "ui/param_map.h"
#include "win32/module.h"

namespace uitest {
namespace {

using maxhost::Image;
using maxhost::Rgba;
using maxhost::ui::DialogXToPixels;
using maxhost::ui::DialogYToPixels;
using maxhost::ui::MaterialEditor;

EditorTestDesc& Desc() {
  static auto* d = new EditorTestDesc(0x7E5A0011, 114);
  return *d;
}

struct PixelBox {
  int x0, y0, x1, y1;
};

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(TestModule(), nullptr);
    map = static_cast<EditorTestMap*>(Desc().Create(FALSE));
    editor = std::make_unique<MaterialEditor>();
    editor->Show(map);
    ASSERT_TRUE(editor->IsOpen()) << editor->Error();
  }
  void TearDown() override {
    editor.reset();
    map->DeleteMe();
  }
  Image Draw(int scale, const char* name) {
    const std::string path = std::string(UI_TEST_OUTPUT_DIR) + "/" + name;
    std::string error;
    EXPECT_TRUE(editor->DrawToPng(path, scale, error)) << error;
    Image image;
    EXPECT_TRUE(maxhost::LoadImageFile(path, image, error)) << error;
    return image;
  }
  static PixelBox BoxOf(const MaterialEditor::ControlInfo& c, int scale) {
    return PixelBox{DialogXToPixels(c.x) * scale, DialogYToPixels(c.y) * scale,
                    DialogXToPixels(c.x + c.cx) * scale, DialogYToPixels(c.y + c.cy) * scale};
  }
  static bool Same(const Rgba& a, const Rgba& b) {
    return std::fabs(a.r - b.r) < 0.01f && std::fabs(a.g - b.g) < 0.01f &&
           std::fabs(a.b - b.b) < 0.01f;
  }
  static int CountDifferent(const Image& image, const PixelBox& b, const Rgba& from) {
    int n = 0;
    for (int y = b.y0; y < b.y1 && y < image.height; ++y)
      for (int x = b.x0; x < b.x1 && x < image.width; ++x) n += !Same(image.At(x, y), from);
    return n;
  }

  EditorTestMap* map = nullptr;
  std::unique_ptr<MaterialEditor> editor;
};

TEST_F(DrawingTest, PictureHasTheRolloutSize) {
  for (int scale : {1, 2}) {
    const Image image = Draw(scale, "size.png");
    EXPECT_EQ(image.width, DialogXToPixels(217) * scale);
    EXPECT_EQ(image.height, DialogYToPixels(196) * scale);
  }
}

TEST_F(DrawingTest, EveryControlIsDrawnInsideItsRectangle) {
  const int scale = 2;
  const Image image = Draw(scale, "controls.png");
  const Rgba background = image.At(image.width - 1, image.height - 1);
  for (const auto& c : editor->Controls()) {
    const PixelBox b = BoxOf(c, scale);
    const int area = (b.x1 - b.x0) * (b.y1 - b.y0);
    const int drawn = CountDifferent(image, b, background);
    EXPECT_GT(drawn, 0) << "control " << c.id << " (" << std::string(c.cls.begin(), c.cls.end())
                        << ") at " << c.x << "," << c.y;
    // Filled controls cover much of their rectangle.
    if (c.cls == L"CustEdit" || c.cls == L"SpinnerControl" || c.cls == L"ColorSwatch") {
      EXPECT_GT(drawn, area * 3 / 4) << "control " << c.id;
    }
  }
}

TEST_F(DrawingTest, NothingIsDrawnWhereNoControlLies) {
  const int scale = 1;
  const Image image = Draw(scale, "empty.png");
  const Rgba background = image.At(image.width - 1, image.height - 1);
  // Right of the version line and below the logo: no control there.
  const PixelBox gap{DialogXToPixels(90), DialogYToPixels(187), DialogXToPixels(215),
                     DialogYToPixels(196)};
  EXPECT_EQ(CountDifferent(image, gap, background), 0);
}

TEST_F(DrawingTest, RadioStatesValuesAndColourShow) {
  const int scale = 2;
  auto find = [&](int id) {
    for (const auto& c : editor->Controls())
      if (c.id == id) return c;
    ADD_FAILURE() << "no control " << id;
    return MaterialEditor::ControlInfo{};
  };
  const Image before = Draw(scale, "before.png");
  editor->ChooseRadio(1082);
  editor->SetSpinner(1496, 88.0f);
  editor->SetSwatchColor(1079, Color(1.0f, 0.0f, 0.0f));
  const Image after = Draw(scale, "after.png");
  // The circles of the two "use" radio buttons change; the label text right of them does not.
  for (int id : {1005, 1082}) {
    const PixelBox b = BoxOf(find(id), scale);
    const PixelBox circle{b.x0, b.y0, b.x0 + 11 * scale, b.y1};
    int changed = 0;
    for (int y = circle.y0; y < circle.y1; ++y)
      for (int x = circle.x0; x < circle.x1; ++x) changed += !Same(before.At(x, y), after.At(x, y));
    EXPECT_GT(changed, 0) << "radio " << id;
  }
  // The edit field's text changes with the value.
  const PixelBox edit = BoxOf(find(1490), scale);
  int changed = 0;
  for (int y = edit.y0; y < edit.y1; ++y)
    for (int x = edit.x0; x < edit.x1; ++x) changed += !Same(before.At(x, y), after.At(x, y));
  EXPECT_GT(changed, 0);
  // The swatch's middle shows the colour.
  const PixelBox swatch = BoxOf(find(1079), scale);
  const Rgba mid = after.At((swatch.x0 + swatch.x1) / 2, (swatch.y0 + swatch.y1) / 2);
  EXPECT_TRUE(Same(mid, Rgba{1.0f, 0.0f, 0.0f, 1.0f}));
}

TEST_F(DrawingTest, LogoBitmapIsDrawnPixelForPixel) {
  const int scale = 1;
  const Image image = Draw(scale, "logo.png");
  HBITMAP bitmap = LoadBitmapW(TestModule(), MAKEINTRESOURCEW(103));
  const maxhost::RgbImage* logo = maxhost::BitmapFromHandle(bitmap);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->width, 318);
  EXPECT_EQ(logo->height, 56);
  // Inside the sunken edge of the static.
  const int x0 = DialogXToPixels(2) + 1, y0 = DialogYToPixels(150) + 1;
  for (int y = 0; y < logo->height; y += 7)
    for (int x = 0; x < logo->width; x += 13) {
      const std::uint8_t* p = logo->Pixel(x, y);
      const Rgba expected{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f};
      ASSERT_TRUE(Same(image.At(x0 + x, y0 + y), expected)) << x << "," << y;
    }
  DeleteObject(bitmap);
}

TEST_F(DrawingTest, UnwritablePathFailsWithAReason) {
  std::string error;
  EXPECT_FALSE(editor->DrawToPng("/nonexistent-dir/x/rollout.png", 1, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(editor->DrawToPng(std::string(UI_TEST_OUTPUT_DIR) + "/bad.png", 0, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace uitest

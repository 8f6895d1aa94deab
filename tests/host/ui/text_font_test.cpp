// The rollout's bitmap font draws every glyph of a line, the degree sign included, and
// squeezes lines that do not fit.
#include <gtest/gtest.h>

#include "ui/text_font.h"

namespace uitest {
namespace {

using maxhost::Image;
using maxhost::Rgba;
using maxhost::ui::DrawText;
using maxhost::ui::TextWidth;

// The rightmost column with any ink, or -1.
int LastInkColumn(const Image& image) {
  for (int x = image.width - 1; x >= 0; --x)
    for (int y = 0; y < image.height; ++y)
      if (image.At(x, y).r > 0.5f) return x;
  return -1;
}

TEST(TextFont, LongLinesOfManySegmentGlyphsAreDrawnToTheEnd) {
  const std::wstring text = L"88888888.0 88888888";
  Image image(400, 20, Rgba{0, 0, 0, 1});
  DrawText(image, 0, 2, text, 1.0f, Rgba{1, 1, 1, 1});
  EXPECT_GE(LastInkColumn(image), static_cast<int>(TextWidth(text, 1.0f)) - 3);
}

TEST(TextFont, DegreeSignHasInkAndWidth) {
  EXPECT_GT(TextWidth(L"\u00B0", 1.0f), 0.0f);
  Image image(20, 20, Rgba{0, 0, 0, 1});
  DrawText(image, 0, 0, L"\u00B0", 2.0f, Rgba{1, 1, 1, 1});
  EXPECT_GE(LastInkColumn(image), 0);
}

TEST(TextFont, WideTextIsSqueezedIntoItsWidth) {
  const std::wstring text = L"Distribution (%)";
  const float natural = TextWidth(text, 2.0f);
  Image image(400, 30, Rgba{0, 0, 0, 1});
  DrawText(image, 0, 0, text, 2.0f, Rgba{1, 1, 1, 1}, natural / 2);
  EXPECT_LE(LastInkColumn(image), static_cast<int>(natural / 2));
  EXPECT_GT(LastInkColumn(image), static_cast<int>(natural / 2) - 8);
}

TEST(TextFont, ScaleMultipliesWidth) {
  EXPECT_FLOAT_EQ(TextWidth(L"Seed", 3.0f), 3.0f * TextWidth(L"Seed", 1.0f));
  EXPECT_FLOAT_EQ(TextWidth(L"", 1.0f), 0.0f);
}

}  // namespace
}  // namespace uitest

// A small bitmap font (stb_easy_font's segment glyphs) and rectangle filling for the rollout
// picture. Text is printable ASCII and the degree sign; other characters show as '?'.
#pragma once

#include <string>

#include "render/image.h"

namespace maxhost::ui {

// Height of a line of text, in pixels at scale 1 (the glyphs themselves are 7 high).
inline constexpr float kTextLineHeight = 10.0f;
inline constexpr float kTextCapHeight = 7.0f;

// Width of text in pixels at the given scale.
float TextWidth(const std::wstring& text, float scale);
// Draws text with its top left at (x, y). When maxWidth > 0 and the text is wider, it is
// squeezed horizontally to fit.
void DrawText(Image& image, float x, float y, const std::wstring& text, float scale, Rgba color,
              float maxWidth = 0.0f);
// Fills a rectangle, blending partly covered pixels by their coverage.
void FillRect(Image& image, float x0, float y0, float x1, float y1, Rgba color);

}  // namespace maxhost::ui

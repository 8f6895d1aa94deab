#include "ui/rollout_drawing.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "ui/param_map.h"
#include "ui/text_font.h"
#include "win32/window.h"

namespace maxhost::ui {
namespace {

// The host's dark interface colours.
constexpr Rgba kBackground{0.267f, 0.267f, 0.267f, 1.0f};
constexpr Rgba kText{0.863f, 0.863f, 0.863f, 1.0f};
constexpr Rgba kDisabledText{0.5f, 0.5f, 0.5f, 1.0f};
constexpr Rgba kFrame{0.42f, 0.42f, 0.42f, 1.0f};
constexpr Rgba kFieldBack{0.165f, 0.165f, 0.165f, 1.0f};
constexpr Rgba kFieldBorder{0.11f, 0.11f, 0.11f, 1.0f};
constexpr Rgba kButtonBack{0.36f, 0.36f, 0.36f, 1.0f};
constexpr Rgba kSpinnerBack{0.33f, 0.33f, 0.33f, 1.0f};
constexpr Rgba kLight{0.5f, 0.5f, 0.5f, 1.0f};
constexpr Rgba kShadow{0.12f, 0.12f, 0.12f, 1.0f};

struct Box {
  float x0, y0, x1, y1;
  float Width() const { return x1 - x0; }
  float Height() const { return y1 - y0; }
};

class Painter {
 public:
  Painter(Image& image, float scale) : image_(image), s_(scale) {}

  void Fill(const Box& b, Rgba c) { FillRect(image_, b.x0, b.y0, b.x1, b.y1, c); }
  void Frame(const Box& b, Rgba c, float width = 1.0f) { Frame(b, c, c, width); }
  // Top and left in one colour, bottom and right in another (sunken or raised edges).
  void Frame(const Box& b, Rgba topLeft, Rgba bottomRight, float width = 1.0f) {
    const float w = width * s_;
    FillRect(image_, b.x0, b.y0, b.x1, b.y0 + w, topLeft);
    FillRect(image_, b.x0, b.y0, b.x0 + w, b.y1, topLeft);
    FillRect(image_, b.x0, b.y1 - w, b.x1, b.y1, bottomRight);
    FillRect(image_, b.x1 - w, b.y0, b.x1, b.y1, bottomRight);
  }
  void Text(float x, float y, const std::wstring& text, Rgba c, float maxWidth) {
    DrawText(image_, x, y, text, s_, c, maxWidth);
  }
  float TextWidth(const std::wstring& text) const { return ui::TextWidth(text, s_); }
  // Top of a line of text centred in b.
  float CentredTextTop(const Box& b) const { return b.y0 + (b.Height() - kTextCapHeight * s_) / 2; }

  // A ring (and a dot inside when filled), anti-aliased by sampling each pixel 4 x 4 times.
  void Circle(float cx, float cy, float radius, float ringWidth, Rgba ring, Rgba inside,
              float dotRadius, Rgba dot) {
    const int x0 = std::max(0, static_cast<int>(cx - radius - 1));
    const int y0 = std::max(0, static_cast<int>(cy - radius - 1));
    const int x1 = std::min(image_.width, static_cast<int>(cx + radius + 2));
    const int y1 = std::min(image_.height, static_cast<int>(cy + radius + 2));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        int inRing = 0, inFill = 0, inDot = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx) {
            const float dx = x + (sx + 0.5f) / 4 - cx, dy = y + (sy + 0.5f) / 4 - cy;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d <= dotRadius)
              ++inDot;
            else if (d <= radius - ringWidth)
              ++inFill;
            else if (d <= radius)
              ++inRing;
          }
        Blend(x, y, ring, inRing / 16.0f);
        Blend(x, y, inside, inFill / 16.0f);
        Blend(x, y, dot, inDot / 16.0f);
      }
  }
  // A filled triangle pointing up or down, centred in b.
  void Arrow(const Box& b, bool up, Rgba c) {
    const float half = std::min(b.Width() * 0.35f, b.Height() * 0.6f);
    const float cx = (b.x0 + b.x1) / 2, cy = (b.y0 + b.y1) / 2;
    const float h = half;
    const int rows = std::max(1, static_cast<int>(std::ceil(h)));
    for (int r = 0; r < rows; ++r) {
      const float t = (r + 0.5f) / rows;  // 0 at the tip, 1 at the base
      const float y = up ? cy - h / 2 + r * h / rows : cy + h / 2 - (r + 1) * h / rows;
      FillRect(image_, cx - half * t, y, cx + half * t, y + h / rows, c);
    }
  }
  void DrawImage(const RgbImage& img, float x, float y, const Box& clip) {
    const int scale = std::max(1, static_cast<int>(std::lround(s_)));
    for (int py = 0; py < img.height * scale; ++py) {
      const int ty = static_cast<int>(y) + py;
      if (ty < 0 || ty >= image_.height || ty >= clip.y1) continue;
      for (int px = 0; px < img.width * scale; ++px) {
        const int tx = static_cast<int>(x) + px;
        if (tx < 0 || tx >= image_.width || tx >= clip.x1) continue;
        const std::uint8_t* p = img.Pixel(px / scale, py / scale);
        image_.At(tx, ty) = Rgba{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f};
      }
    }
  }
  float S() const { return s_; }

 private:
  void Blend(int x, int y, Rgba c, float a) {
    if (a <= 0.0f) return;
    Rgba& p = image_.At(x, y);
    p.r += (c.r - p.r) * a;
    p.g += (c.g - p.g) * a;
    p.b += (c.b - p.b) * a;
  }
  Image& image_;
  float s_;
};

bool IsClass(const Window& w, const wchar_t* name) {
  return EqualsNoCase(w.class_name, name);
}

void DrawGroupBox(Painter& p, const Box& b, const std::wstring& text, Rgba textColour) {
  const float s = p.S();
  const float mid = b.y0 + 4.0f * s;
  p.Frame(Box{b.x0, mid, b.x1, b.y1}, kFrame);
  if (text.empty()) return;
  const float x = b.x0 + 7.0f * s;
  const float width = std::min(p.TextWidth(text), b.Width() - 14.0f * s);
  p.Fill(Box{x - 2.0f * s, b.y0, x + width + 2.0f * s, mid + 1.0f * s + 1.0f}, kBackground);
  p.Text(x, b.y0 + 1.0f * s, text, textColour, width);
}

void DrawRadioOrCheck(Painter& p, const Box& b, const Window& w, bool radio, Rgba textColour) {
  const float s = p.S();
  const float size = std::min(11.0f * s, b.Height());
  const float cy = (b.y0 + b.y1) / 2;
  const bool checked = w.check == BST_CHECKED;
  if (radio) {
    p.Circle(b.x0 + size / 2, cy, size / 2, 1.0f * s, kLight, kFieldBack,
             checked ? size * 0.22f : 0.0f, kText);
  } else {
    const Box box{b.x0, cy - size / 2, b.x0 + size, cy + size / 2};
    p.Fill(box, kFieldBack);
    p.Frame(box, kLight);
    if (checked) p.Fill(Box{box.x0 + 3 * s, box.y0 + 3 * s, box.x1 - 3 * s, box.y1 - 3 * s}, kText);
  }
  const float tx = b.x0 + size + 4.0f * s;
  p.Text(tx, p.CentredTextTop(b), w.text, textColour, b.x1 - tx);
}

void DrawStatic(Painter& p, const Box& b, const Window& w, const ParamMap& map, Rgba textColour) {
  const float s = p.S();
  const DWORD type = w.style & SS_TYPEMASK;
  if (type == SS_BITMAP) {
    // A sunken edge takes one pixel of the control on each side; the image sits inside it.
    const float inset = (w.style & SS_SUNKEN) ? 1.0f * s : 0.0f;
    if (const RgbImage* img = map.ControlImage(w.id))
      p.DrawImage(*img, b.x0 + inset, b.y0 + inset, Box{0, 0, b.x1 - inset, b.y1 - inset});
    if (w.style & SS_SUNKEN) p.Frame(b, kShadow, kLight);
    return;
  }
  if (w.style & SS_SUNKEN) p.Frame(b, kShadow, kLight);
  const float width = p.TextWidth(w.text);
  float x = b.x0;
  if (type == SS_RIGHT) x = std::max(b.x0, b.x1 - width);
  if (type == SS_CENTER) x = std::max(b.x0, (b.x0 + b.x1 - width) / 2);
  p.Text(x, b.y0 + 1.0f * s, w.text, textColour, b.Width());
}

void DrawControl(Painter& p, const Box& b, const Window& w, const ParamMap& map) {
  const float s = p.S();
  const bool enabled = !(w.style & WS_DISABLED);
  const Rgba textColour = enabled ? kText : kDisabledText;
  // The host's custom button draws as a push button.
  const bool custButton = IsClass(w, L"CustButton");
  if (IsClass(w, L"Button") || custButton) {
    const DWORD type = custButton ? DWORD{BS_PUSHBUTTON} : (w.style & BS_TYPEMASK);
    if (type == BS_GROUPBOX) return DrawGroupBox(p, b, w.text, textColour);
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
      return DrawRadioOrCheck(p, b, w, true, textColour);
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
        type == BS_AUTO3STATE)
      return DrawRadioOrCheck(p, b, w, false, textColour);
    p.Fill(b, kButtonBack);
    p.Frame(b, kLight, kShadow);
    const float width = std::min(p.TextWidth(w.text), b.Width() - 4 * s);
    p.Text((b.x0 + b.x1 - width) / 2, p.CentredTextTop(b), w.text, textColour, width);
    return;
  }
  if (IsClass(w, L"Static")) return DrawStatic(p, b, w, map, textColour);
  if (IsClass(w, L"CustEdit") || IsClass(w, L"Edit")) {
    p.Fill(b, kFieldBack);
    p.Frame(b, kFieldBorder);
    p.Text(b.x0 + 3 * s, p.CentredTextTop(b), w.text, textColour, b.Width() - 5 * s);
    return;
  }
  if (IsClass(w, L"SpinnerControl")) {
    p.Fill(b, kSpinnerBack);
    p.Frame(b, kLight, kShadow);
    const float mid = (b.y0 + b.y1) / 2;
    p.Fill(Box{b.x0, mid - 0.5f * s, b.x1, mid + 0.5f * s}, kShadow);
    p.Arrow(Box{b.x0, b.y0, b.x1, mid}, true, textColour);
    p.Arrow(Box{b.x0, mid, b.x1, b.y1}, false, textColour);
    return;
  }
  if (IsClass(w, L"ColorSwatch")) {
    Color c(0.0f, 0.0f, 0.0f);
    map.SwatchColor(w.id, c);
    p.Fill(b, kFieldBorder);
    p.Fill(Box{b.x0 + 2 * s, b.y0 + 2 * s, b.x1 - 2 * s, b.y1 - 2 * s},
           Rgba{std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f),
                std::clamp(c.b, 0.0f, 1.0f), 1.0f});
    p.Frame(b, kLight);
    return;
  }
  // A control the stand-in does not know: its outline and class name.
  p.Frame(b, kFrame);
  p.Text(b.x0 + 2 * s, p.CentredTextTop(b), w.class_name, kDisabledText, b.Width() - 4 * s);
}

}  // namespace

bool DrawRollout(const ParamMap& map, int scale, Image& out, std::string& error) {
  Window* rollout = WindowFromHandle(const_cast<ParamMap&>(map).GetHWnd());
  if (!rollout) {
    error = "the rollout window is gone";
    return false;
  }
  const DialogTemplate& t = map.Template();
  const int width = DialogXToPixels(t.cx) * scale;
  const int height = DialogYToPixels(t.cy) * scale;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    error = "the rollout's size is out of range";
    return false;
  }
  out = Image(width, height, kBackground);
  Painter painter(out, static_cast<float>(scale));
  auto boxOf = [&](const Window& w) {
    return Box{static_cast<float>(w.rect.left * scale), static_cast<float>(w.rect.top * scale),
               static_cast<float>(w.rect.right * scale), static_cast<float>(w.rect.bottom * scale)};
  };
  auto isGroup = [](const Window& w) {
    return IsClass(w, L"Button") && (w.style & BS_TYPEMASK) == BS_GROUPBOX;
  };
  // Group boxes first: they lie under the controls they hold.
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& child : rollout->children) {
      const Window& w = *child;
      if (!(w.style & WS_VISIBLE) || isGroup(w) != (pass == 0)) continue;
      DrawControl(painter, boxOf(w), w, map);
    }
  return true;
}

}  // namespace maxhost::ui

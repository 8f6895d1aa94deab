#include "render/texture_filter.h"

#include <algorithm>
#include <cmath>

namespace maxhost {
namespace {

int Wrap(int i, int n) {
  int m = i % n;
  return m < 0 ? m + n : m;
}

// Reduces a real coordinate into [0, n) without losing precision on large tiling counts.
double WrapReal(double x, double n) {
  double m = std::fmod(x, n);
  if (m < 0) m += n;
  if (m >= n) m = 0;  // -tiny + n rounding to n
  return m;
}

Rgba Lerp(const Rgba& a, const Rgba& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

Image Downsample(const Image& src) {
  const int nw = std::max(1, src.width / 2);
  const int nh = std::max(1, src.height / 2);
  Image dst(nw, nh);
  for (int j = 0; j < nh; ++j) {
    const int y0 = int(int64_t(j) * src.height / nh);
    const int y1 = int(int64_t(j + 1) * src.height / nh);
    for (int i = 0; i < nw; ++i) {
      const int x0 = int(int64_t(i) * src.width / nw);
      const int x1 = int(int64_t(i + 1) * src.width / nw);
      double r = 0, g = 0, b = 0, a = 0;
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
          const Rgba& p = src.At(x, y);
          r += p.r;
          g += p.g;
          b += p.b;
          a += p.a;
        }
      }
      const double n = double(x1 - x0) * double(y1 - y0);
      dst.At(i, j) = {float(r / n), float(g / n), float(b / n), float(a / n)};
    }
  }
  return dst;
}

}  // namespace

Rgba SampleBilinear(const Image& image, float u, float v) {
  if (image.Empty()) return {};
  if (!std::isfinite(u)) u = 0.0f;
  if (!std::isfinite(v)) v = 0.0f;
  const double x = WrapReal(double(u), 1.0) * image.width - 0.5;
  const double y = WrapReal(1.0 - double(v), 1.0) * image.height - 0.5;
  const double fx = std::floor(x), fy = std::floor(y);
  const float tx = float(x - fx), ty = float(y - fy);
  const int x0 = Wrap(int(fx), image.width), x1 = Wrap(int(fx) + 1, image.width);
  const int y0 = Wrap(int(fy), image.height), y1 = Wrap(int(fy) + 1, image.height);
  const Rgba top = Lerp(image.At(x0, y0), image.At(x1, y0), tx);
  const Rgba bottom = Lerp(image.At(x0, y1), image.At(x1, y1), tx);
  return Lerp(top, bottom, ty);
}

MipPyramid::MipPyramid(const Image& base) : base_(&base) {
  if (base.Empty()) return;
  const Image* prev = &base;
  while (prev->width > 1 || prev->height > 1) {
    reduced_.push_back(Downsample(*prev));
    prev = &reduced_.back();
  }
}

Rgba MipPyramid::Sample(float u, float v, float width) const {
  if (LevelCount() == 0) return {};
  if (!(width > 1.0f)) return SampleBilinear(Level(0), u, v);
  const float level = std::log2(width);
  const int last = LevelCount() - 1;
  if (level >= float(last)) return SampleBilinear(Level(last), u, v);
  const int l0 = int(level);
  const float t = level - float(l0);
  const Rgba a = SampleBilinear(Level(l0), u, v);
  if (t == 0.0f) return a;
  return Lerp(a, SampleBilinear(Level(l0 + 1), u, v), t);
}

SummedAreaTable::SummedAreaTable(const Image& base) : w_(base.width), h_(base.height) {
  if (base.Empty()) return;
  sums_.assign(size_t(w_ + 1) * size_t(h_ + 1), Sum{});
  // Row index j counts texel rows from the top of the image.
  for (int j = 0; j < h_; ++j) {
    Sum row;
    for (int i = 0; i < w_; ++i) {
      const Rgba& p = base.At(i, j);
      row.r += p.r;
      row.g += p.g;
      row.b += p.b;
      row.a += p.a;
      const Sum& above = At(i + 1, j);
      sums_[size_t(j + 1) * size_t(w_ + 1) + size_t(i + 1)] = {above.r + row.r, above.g + row.g,
                                                               above.b + row.b, above.a + row.a};
    }
  }
}

SummedAreaTable::Sum SummedAreaTable::Corner(double x, double y) const {
  const int i = std::clamp(int(std::floor(x)), 0, w_ - 1);
  const int j = std::clamp(int(std::floor(y)), 0, h_ - 1);
  const double tx = x - i, ty = y - j;
  const Sum& s00 = At(i, j);
  const Sum& s10 = At(i + 1, j);
  const Sum& s01 = At(i, j + 1);
  const Sum& s11 = At(i + 1, j + 1);
  auto mix = [&](double Sum::*c) {
    const double top = s00.*c + (s10.*c - s00.*c) * tx;
    const double bottom = s01.*c + (s11.*c - s01.*c) * tx;
    return top + (bottom - top) * ty;
  };
  return {mix(&Sum::r), mix(&Sum::g), mix(&Sum::b), mix(&Sum::a)};
}

SummedAreaTable::Sum SummedAreaTable::Integral(double x, double y) const {
  // The image repeats: whole periods contribute whole rows, columns or the full image.
  const double qx = std::floor(x / w_), qy = std::floor(y / h_);
  const double rx = x - qx * w_, ry = y - qy * h_;
  const Sum full = At(w_, h_);
  const Sum rowsFull = Corner(w_, ry);  // all columns, partial rows
  const Sum colsFull = Corner(rx, h_);
  const Sum part = Corner(rx, ry);
  auto combine = [&](double Sum::*c) {
    return qx * qy * full.*c + qx * rowsFull.*c + qy * colsFull.*c + part.*c;
  };
  return {combine(&Sum::r), combine(&Sum::g), combine(&Sum::b), combine(&Sum::a)};
}

Rgba SummedAreaTable::SampleBox(float u, float v, float width, float height) const {
  if (sums_.empty()) return {};
  if (!std::isfinite(u)) u = 0.0f;
  if (!std::isfinite(v)) v = 0.0f;
  // Beyond a few periods the mean is the image mean anyway; the cap keeps the sums finite.
  const double bw = width > 1.0f ? std::min(double(width), 64.0 * w_) : 1.0;  // NaN gives 1
  const double bh = height > 1.0f ? std::min(double(height), 64.0 * h_) : 1.0;
  // Centre reduced to the first period so that the corner differences stay well conditioned.
  const double cx = WrapReal(double(u), 1.0) * w_;
  const double cy = WrapReal(1.0 - double(v), 1.0) * h_;
  const double x0 = cx - bw * 0.5, x1 = cx + bw * 0.5;
  const double y0 = cy - bh * 0.5, y1 = cy + bh * 0.5;
  const Sum a = Integral(x1, y1), b = Integral(x0, y1), c = Integral(x1, y0), d = Integral(x0, y0);
  const double area = bw * bh;
  auto mean = [&](double Sum::*m) { return float((a.*m - b.*m - c.*m + d.*m) / area); };
  return {mean(&Sum::r), mean(&Sum::g), mean(&Sum::b), mean(&Sum::a)};
}

void FilteredImage::Prepare(FilterMode mode) {
  if (mode == FilterMode::kPyramidal && !pyramid_) pyramid_ = std::make_unique<MipPyramid>(image_);
  if (mode == FilterMode::kSummedArea && !table_)
    table_ = std::make_unique<SummedAreaTable>(image_);
}

bool FilteredImage::Prepared(FilterMode mode) const {
  switch (mode) {
    case FilterMode::kPyramidal:
      return pyramid_ != nullptr;
    case FilterMode::kSummedArea:
      return table_ != nullptr;
    default:
      return true;
  }
}

Rgba FilteredImage::Sample(FilterMode mode, float u, float v, float du, float dv,
                           float blur) const {
  if (image_.Empty()) return {};
  const float scale = std::isfinite(blur) ? std::max(blur, 0.0f) : 1.0f;
  const float wu = std::fabs(du) * float(image_.width) * scale;
  const float wv = std::fabs(dv) * float(image_.height) * scale;
  switch (mode) {
    case FilterMode::kPyramidal:
      if (pyramid_) return pyramid_->Sample(u, v, std::max(wu, wv));
      break;
    case FilterMode::kSummedArea:
      if (table_) return table_->SampleBox(u, v, wu, wv);
      break;
    case FilterMode::kNone:
      break;
  }
  return SampleBilinear(image_, u, v);
}

}  // namespace maxhost

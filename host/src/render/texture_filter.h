#pragma once
// Filtered lookups into an image that tiles the UV plane. Texel space: x = u * width,
// y = (1 - v) * height (v = 0 is the bottom row, as in the host's bitmaps); texel (i, j) covers
// [i, i + 1) x [j, j + 1). Lookups wrap in both directions.
#include <memory>
#include <vector>

#include "render/image.h"

namespace maxhost {

enum class FilterMode : int { kPyramidal = 0, kSummedArea = 1, kNone = 2 };

// Bilinear interpolation between texel centres, wrapping.
Rgba SampleBilinear(const Image& image, float u, float v);

// Box-averaged levels, level 0 being the image itself. Each level halves both sizes (at least 1
// texel); a texel of the next level averages the texels of this one that fall into its span, so
// odd sizes need no padding.
class MipPyramid {
 public:
  // Keeps a pointer to base, which must outlive the pyramid.
  explicit MipPyramid(const Image& base);
  int LevelCount() const { return base_->Empty() ? 0 : int(reduced_.size()) + 1; }
  const Image& Level(int i) const { return i == 0 ? *base_ : reduced_[size_t(i - 1)]; }
  // Trilinear: bilinear in the two levels around log2(width), blended. width is the footprint in
  // texels of level 0; widths of 1 texel or less read level 0 only.
  Rgba Sample(float u, float v, float width) const;

 private:
  const Image* base_;
  std::vector<Image> reduced_;  // levels 1 and up
};

// Integral image of the texels (double precision). The continuous integral over [0, x] x [0, y]
// is bilinear inside each texel, so a box of any real size and position is exact.
class SummedAreaTable {
 public:
  explicit SummedAreaTable(const Image& base);
  // Mean over the box of (width x height) texels centred on (u, v); each side is at least 1.
  Rgba SampleBox(float u, float v, float width, float height) const;

 private:
  struct Sum {
    double r = 0, g = 0, b = 0, a = 0;
  };
  Sum Integral(double x, double y) const;  // over [0, x] x [0, y], x and y may be any value
  Sum Corner(double x, double y) const;    // x in [0, w], y in [0, h]
  const Sum& At(int i, int j) const { return sums_[size_t(j) * size_t(w_ + 1) + size_t(i)]; }
  int w_ = 0, h_ = 0;
  std::vector<Sum> sums_;  // (w + 1) x (h + 1), first row and column zero
};

// An image with the structures its filters need. Prepare() builds them on the main thread
// (before rendering); afterwards the object is only read and may be shared between threads.
class FilteredImage {
 public:
  explicit FilteredImage(Image image) : image_(std::move(image)) {}
  FilteredImage(const FilteredImage&) = delete;
  FilteredImage& operator=(const FilteredImage&) = delete;

  const Image& Base() const { return image_; }
  // Builds what `mode` reads, once. Not thread-safe: call before shading starts.
  void Prepare(FilterMode mode);
  bool Prepared(FilterMode mode) const;
  // du and dv: footprint of the sample in UV units (change over one pixel); blur scales it.
  // A mode whose structure was not prepared falls back to bilinear.
  Rgba Sample(FilterMode mode, float u, float v, float du, float dv, float blur) const;

 private:
  Image image_;
  std::unique_ptr<MipPyramid> pyramid_;
  std::unique_ptr<SummedAreaTable> table_;
};

}  // namespace maxhost

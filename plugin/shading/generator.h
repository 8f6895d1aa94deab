#pragma once
// The Windows run-time library's srand/rand sequence, as a value local to each evaluation.
// Keeping the state in the caller's frame makes shading lock-free and gives every platform,
// thread and machine the same picks and colour offsets as a Windows build.

#include <cstdint>

namespace tilvara {

inline constexpr int kRandMax = 32767;

class CrtRandom {
 public:
  explicit CrtRandom(uint32_t seed) : state_(seed) {}

  // Next value in 0..32767, exactly as rand() after srand(seed).
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  uint32_t state_;
};

// A draw as a unit value in [0, 1]: divided in double, rounded to single.
inline float UnitDraw(int draw) { return static_cast<float>(static_cast<double>(draw) / kRandMax); }

}  // namespace tilvara

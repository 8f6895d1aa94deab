// Windows: the map's generator draws what the platform's own run-time library draws after
// srand, for seeds spread over the whole unsigned range and the first draws of each.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "shading/generator.h"

namespace {

TEST(CrtRandom, MatchesThePlatformRandForThousandsOfSeeds) {
  std::srand(1);
  EXPECT_EQ(std::rand(), 41) << "not the Windows run-time library's rand";
  int mismatches = 0;
  std::uint32_t seed = 0;
  for (int i = 0; i < 5000; ++i) {
    // Small seeds, then a stride that reaches the top bit.
    seed = i < 1000 ? static_cast<std::uint32_t>(i) : seed + 858993u * 1021u + 7u;
    std::srand(seed);
    tilvara::CrtRandom ours(seed);
    for (int k = 0; k < 8; ++k) {
      const int expected = std::rand();
      const int got = ours.Next();
      if (got != expected && ++mismatches <= 5)
        ADD_FAILURE() << "seed " << seed << " draw " << k << ": " << got << " vs " << expected;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

#pragma once
// Parsing of the command-line host's option values. Pure functions: every error is thrown
// as ArgumentError with a message that names the offending text.

#include <stdexcept>
#include <string>
#include <vector>

namespace tilvara_app {

struct ArgumentError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// NAME=VALUE of --set; VALUE keeps its commas (lists are split per parameter type).
struct Assignment {
  std::string name;
  std::string value;
};
Assignment ParseAssignment(const std::string& text);

struct ImageSize {
  int width = 0, height = 0;
};
ImageSize ParseSize(const std::string& text);  // "WxH", each 1..16384

std::vector<std::string> SplitList(const std::string& text);  // comma-separated, trimmed
double ParseNumber(const std::string& text);                  // a finite decimal number
long long ParseInteger(const std::string& text);              // a decimal integer

struct KeyRange {
  long long first = 0, last = 0;
};
KeyRange ParseKeyRange(const std::string& text);  // "A:B", A <= B, at most 1,000,000 keys

// A sub-texture of `tilvara sample`: solid:R,G,B[,A], bitmap:FILE, checker, empty.
struct SubTextureSpec {
  enum class Kind { kSolid, kBitmap, kChecker, kEmpty } kind = Kind::kEmpty;
  float color[4] = {0, 0, 0, 1};
  std::string file;
};
SubTextureSpec ParseSubTexture(const std::string& text);

}  // namespace tilvara_app

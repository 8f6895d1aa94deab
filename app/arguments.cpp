#include "arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tilvara_app {
namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

Assignment ParseAssignment(const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0)
    throw ArgumentError("'" + text + "' is not NAME=VALUE");
  return {Trim(text.substr(0, eq)), Trim(text.substr(eq + 1))};
}

double ParseNumber(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) throw ArgumentError("an empty value is not a number");
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(t.c_str(), &end);
  if (*end != '\0' || errno == ERANGE || !std::isfinite(v))
    throw ArgumentError("'" + text + "' is not a number");
  return v;
}

long long ParseInteger(const std::string& text) {
  const std::string t = Trim(text);
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (t.empty() || *end != '\0' || errno == ERANGE)
    throw ArgumentError("'" + text + "' is not an integer");
  return v;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  std::string::size_type start = 0;
  while (true) {
    const auto comma = text.find(',', start);
    out.push_back(Trim(text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (out.size() == 1 && out[0].empty()) out.clear();
  return out;
}

ImageSize ParseSize(const std::string& text) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) throw ArgumentError("'" + text + "' is not WxH");
  const long long w = ParseInteger(text.substr(0, x));
  const long long h = ParseInteger(text.substr(x + 1));
  if (w < 1 || h < 1 || w > 16384 || h > 16384)
    throw ArgumentError("'" + text + "': width and height must lie in 1..16384");
  return {static_cast<int>(w), static_cast<int>(h)};
}

KeyRange ParseKeyRange(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) throw ArgumentError("'" + text + "' is not A:B");
  KeyRange r{ParseInteger(text.substr(0, colon)), ParseInteger(text.substr(colon + 1))};
  if (r.first > r.last) throw ArgumentError("'" + text + "': the first key is above the last");
  if (r.last - r.first >= 1000000) throw ArgumentError("'" + text + "': more than 1000000 keys");
  if (r.first < INT32_MIN || r.last > INT32_MAX)
    throw ArgumentError("'" + text + "': keys must be 32-bit integers");
  return r;
}

SubTextureSpec ParseSubTexture(const std::string& text) {
  SubTextureSpec texture;
  const auto colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
  if (kind == "empty" && colon == std::string::npos) {
    texture.kind = SubTextureSpec::Kind::kEmpty;
  } else if (kind == "checker" && colon == std::string::npos) {
    texture.kind = SubTextureSpec::Kind::kChecker;
  } else if (kind == "bitmap" && !rest.empty()) {
    texture.kind = SubTextureSpec::Kind::kBitmap;
    texture.file = rest;
  } else if (kind == "solid") {
    texture.kind = SubTextureSpec::Kind::kSolid;
    const auto parts = SplitList(rest);
    if (parts.size() != 3 && parts.size() != 4)
      throw ArgumentError("'" + text + "': solid takes R,G,B or R,G,B,A");
    for (size_t i = 0; i < parts.size(); ++i) texture.color[i] = static_cast<float>(ParseNumber(parts[i]));
  } else {
    throw ArgumentError("'" + text + "' is not solid:R,G,B[,A], bitmap:FILE, checker or empty");
  }
  return texture;
}

}  // namespace tilvara_app

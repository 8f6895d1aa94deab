// Golden scripts: each scripts/NAME.ms runs in a fresh global state; what it prints (and
// the listener's error text, if any) must equal scripts/NAME.out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "maxscript/engine.h"

namespace {

using namespace maxhost::mxs;

std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class GoldenScript : public testing::TestWithParam<std::string> {};

TEST_P(GoldenScript, OutputMatches) {
  std::filesystem::path dir = MAXSCRIPT_TEST_SCRIPTS_DIR;
  reset_globals();
  set_output_sink([](const std::wstring&) {});
  RunResult r = run_file((dir / (GetParam() + ".ms")).string());
  set_output_sink(nullptr);
  std::string expected = read_file(dir / (GetParam() + ".out"));
  EXPECT_EQ(maxhost::Utf8FromWide(r.output + r.error), expected);
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenScript,
                         testing::Values("values", "control", "functions", "structs", "strings",
                                         "errors"));

}  // namespace

// Golden scripts: every scripts/<feature>/<name>.ms runs in fresh globals and is one test,
// named <feature>/<name>. Its expected output sits beside the code that prints it:
//   print x  -- expect: 42
// gives one line of output, byte for byte, in file order; `-- expect error: TEXT` expects a
// line of the listener's error text that contains TEXT. A script without an expected error
// must run to the end without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "maxscript/engine.h"
#include "tile_map.h"

namespace {

using namespace maxhost::mxs;
namespace fs = std::filesystem;

struct Expectation {
  int line = 0;  // line of the .ms file that states it
  bool error = false;
  std::string text;
};

// The `-- expect:` comments of a script, in order. The marker must be a line comment of its
// own (not inside a string literal): it is searched after the last `--` that starts one.
std::vector<Expectation> read_expectations(const std::string& text) {
  static const std::string kOutput = "-- expect: ";
  static const std::string kError = "-- expect error: ";
  std::vector<Expectation> out;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t at = line.find(kOutput);
    if (at != std::string::npos) {
      out.push_back({number, false, line.substr(at + kOutput.size())});
      continue;
    }
    at = line.find(kError);
    if (at != std::string::npos) out.push_back({number, true, line.substr(at + kError.size())});
  }
  return out;
}

std::vector<std::string> split_lines(const std::wstring& text) {
  std::vector<std::string> lines;
  std::string utf8 = maxhost::Utf8FromWide(text);
  std::size_t start = 0;
  while (start < utf8.size()) {
    std::size_t end = utf8.find('\n', start);
    if (end == std::string::npos) end = utf8.size();
    std::string piece = utf8.substr(start, end - start);
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    lines.push_back(piece);
    start = end + 1;
  }
  return lines;
}

// Compares a run with the expectations; returns the first difference, empty when they agree.
std::string first_difference(const std::vector<Expectation>& expected, const RunResult& run) {
  std::vector<std::string> output = split_lines(run.output);
  std::vector<std::string> errors = split_lines(run.error);
  std::size_t next_output = 0;
  std::size_t next_error = 0;
  bool error_expected = false;
  for (const Expectation& e : expected) {
    std::ostringstream where;
    where << "line " << e.line << ": ";
    if (e.error) {
      error_expected = true;
      auto hit =
          std::find_if(errors.begin() + static_cast<std::ptrdiff_t>(next_error), errors.end(),
                       [&](const std::string& l) { return l.find(e.text) != std::string::npos; });
      if (hit == errors.end())
        return where.str() + "expected an error containing \"" + e.text + "\", error text is \"" +
               maxhost::Utf8FromWide(run.error) + "\"";
      next_error = static_cast<std::size_t>(hit - errors.begin()) + 1;
      continue;
    }
    if (next_output >= output.size())
      return where.str() + "expected \"" + e.text + "\", the output ended" +
             (run.ok ? std::string()
                     : " with the error \"" + maxhost::Utf8FromWide(run.error) + "\"");
    if (output[next_output] != e.text)
      return where.str() + "expected \"" + e.text + "\", got \"" + output[next_output] + "\"";
    ++next_output;
  }
  if (next_output < output.size())
    return "unexpected output after the last expectation: \"" + output[next_output] + "\"";
  if (!run.ok && !error_expected) return "unexpected error: " + maxhost::Utf8FromWide(run.error);
  if (run.ok && error_expected) return "the script ran without the expected error";
  return {};
}

class GoldenScript : public testing::Test {
 public:
  explicit GoldenScript(fs::path file) : file_(std::move(file)) {}
  void TestBody() override {
    std::wstring text;
    std::string read_error;
    ASSERT_TRUE(read_script_file(file_.string(), text, read_error)) << read_error;
    std::vector<Expectation> expected = read_expectations(maxhost::Utf8FromWide(text));
    ASSERT_FALSE(expected.empty()) << file_ << " states no expectation";
    // Scripts under map/ create the test map as `Tilvara()`.
    tile_test::RegisterTileMap();
    reset_globals();
    set_output_sink([](const std::wstring&) {});
    RunResult run = run_file(file_.string());
    set_output_sink(nullptr);
    std::string difference = first_difference(expected, run);
    EXPECT_TRUE(difference.empty()) << file_.string() << ":" << difference;
  }

 private:
  fs::path file_;
};

// The checker itself: a runner that accepted anything would make every golden file vacuous.
TEST(GoldenRunner, ReportsTheFirstDifferenceWithItsLine) {
  std::vector<Expectation> e = read_expectations(
      "print 1 -- expect: 1\n"
      "print 2\n"
      "-- expect: 2\n"
      "x -- expect error: Unknown\n");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[1].line, 3);
  EXPECT_TRUE(e[2].error);
  EXPECT_EQ(e[2].text, "Unknown");

  RunResult run;
  run.output = L"1\n3\n";
  run.ok = false;
  run.error = L"-- Unknown property\n";
  EXPECT_EQ(first_difference(e, run), "line 3: expected \"2\", got \"3\"");
  run.output = L"1\n2\n";
  EXPECT_EQ(first_difference(e, run), "");
  run.error = L"-- Type error\n";
  EXPECT_NE(first_difference(e, run).find("line 4: expected an error"), std::string::npos);
  run.ok = true;
  run.error.clear();
  EXPECT_NE(first_difference(e, run).find("line 4"), std::string::npos);
  run.output = L"1\n2\nextra";
  EXPECT_NE(first_difference({e[0], e[1]}, run).find("unexpected output"), std::string::npos);
  run.output = L"1\n";
  EXPECT_NE(first_difference({e[0], e[1]}, run).find("the output ended"), std::string::npos);
  run.output = L"1\n2\n";
  run.ok = false;
  run.error = L"-- boom";
  EXPECT_NE(first_difference({e[0], e[1]}, run).find("unexpected error"), std::string::npos);
}

// Every .ms under scripts/, found by walking the folder: a new file is a new test.
void register_golden_scripts() {
  fs::path root = MAXSCRIPT_TEST_SCRIPTS_DIR;
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().extension() == ".ms") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    std::string name = fs::relative(f, root).replace_extension().generic_string();
    testing::RegisterTest("GoldenScript", name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                          [f]() -> testing::Test* { return new GoldenScript(f); });
  }
}

const bool registered = (register_golden_scripts(), true);

}  // namespace

// Hostile scripts end with a clear error and leave the engine usable: runs that never
// end (stopped by an interrupt, a time limit or a step limit), runs that grow without
// bound (stopped at the heap limit) and files that are no scripts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "../test_support/non_regular_path.h"

namespace {

using namespace maxhost::mxs;
using Clock = std::chrono::steady_clock;

std::string hostile(const char* name) {
  return (std::filesystem::path(MAXSCRIPT_TEST_HOSTILE_DIR) / name).string();
}

bool contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

class RunLimitsTest : public testing::Test {
 protected:
  void SetUp() override {
    reset_globals();
    set_output_sink([](const std::wstring&) {});
  }
  void TearDown() override {
    set_run_limits(RunLimits{});
    reset_globals();
    set_output_sink(nullptr);
  }
  static double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
};

TEST_F(RunLimitsTest, DefaultsAreBounded) {
  RunLimits d;
  EXPECT_EQ(d.timeout_seconds, 0);
  EXPECT_EQ(d.heap_limit_bytes, std::size_t{1} << 30);
  EXPECT_EQ(d.max_script_bytes, std::size_t{16} << 20);
  RunLimits set;
  set.timeout_seconds = 2.5;
  set.heap_limit_bytes = 12345;
  set_run_limits(set);
  EXPECT_EQ(run_limits().timeout_seconds, 2.5);
  EXPECT_EQ(run_limits().heap_limit_bytes, 12345u);
}

// An endless loop, with or without a try that swallows every error, stops at the time
// limit with the listener's interruption text.
TEST_F(RunLimitsTest, TimeLimitStopsEndlessLoops) {
  RunLimits limits;
  limits.timeout_seconds = 0.3;
  set_run_limits(limits);
  for (const char* name : {"inf.ms", "inf_try.ms"}) {
    Clock::time_point start = Clock::now();
    RunResult r = run_file(hostile(name));
    double took = seconds_since(start);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_TRUE(contains(r.error,
                         L"-- MAXScript interrupted: the run exceeded its time limit "
                         L"of 0.3 seconds\n"))
        << maxhost::Utf8FromWide(r.error);
    EXPECT_GE(took, 0.29) << name;
    EXPECT_LT(took, 5.0) << name;
  }
  // The limit is per run: a short run afterwards is unaffected.
  EXPECT_EQ(run_string(L"i = 0; for k = 1 to 1000 do i += k; i").result, L"500500");
}

TEST_F(RunLimitsTest, StepLimitCountsIterationsAndCalls) {
  RunLimits limits;
  limits.max_steps = 5000;
  set_run_limits(limits);
  RunResult r = run_string(L"while true do ()");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"step limit of 5000 steps")) << maxhost::Utf8FromWide(r.error);
  r = run_string(L"fn f n = if n > 0 then f (n - 1) else 0\nf 100000");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"step limit")) << maxhost::Utf8FromWide(r.error);
  // A run within the budget completes, and each run gets the whole budget.
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(run_string(L"s = 0; for k = 1 to 1000 do s += 1; s").result, L"1000");
}

// request_interrupt from another thread (as a signal handler would) stops a run that
// catches every error; requests made before a run starts are forgotten.
TEST_F(RunLimitsTest, InterruptStopsARunTryCannotCatchIt) {
  request_interrupt();
  EXPECT_EQ(run_string(L"for k = 1 to 3000 collect k").ok, true);
  // The helper thread only signals, as a signal handler would; the run stays on this one.
  std::thread signaller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    request_interrupt();
  });
  RunResult r = run_file(hostile("inf_try.ms"));
  signaller.join();
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"-- MAXScript interrupted\n")) << maxhost::Utf8FromWide(r.error);
  EXPECT_FALSE(contains(r.error, L"Unknown system exception"));
  RunResult after = run_string(L"i");
  EXPECT_TRUE(after.ok);
  EXPECT_NE(after.result, L"undefined");  // the loop ran before it was stopped
}

TEST_F(RunLimitsTest, HeapLimitStopsGrowthAndTheEngineRecovers) {
  RunLimits limits;
  limits.heap_limit_bytes = std::size_t{24} << 20;
  set_run_limits(limits);
  for (const char* name : {"alloc_loop.ms", "strdouble.ms"}) {
    RunResult r = run_file(hostile(name));
    EXPECT_FALSE(r.ok) << name;
    EXPECT_TRUE(contains(r.error,
                         L"-- Runtime error: out of memory: the script heap passed its "
                         L"limit of 24 MB\n"))
        << name << ": " << maxhost::Utf8FromWide(r.error);
    reset_globals();
    EXPECT_EQ(run_string(L"a = #(1, 2, 3); (a as string) + \"!\"").result, L"\"#(1, 2, 3)!\"");
  }
  // A try inside the script does not keep the run going.
  RunResult r = run_string(L"b = #(); while true do try (append b (\"x\" + \"yz\")) catch ()");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"out of memory")) << maxhost::Utf8FromWide(r.error);
  reset_globals();
  // One request larger than the limit fails before anything is allocated.
  r = run_string(L"a = #(); a.count = 9000000");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"out of memory")) << maxhost::Utf8FromWide(r.error);
}

// Only regular files are read, up to the script size limit.
TEST_F(RunLimitsTest, RunFileRefusesDevicesPipesAndHugeFiles) {
  Clock::time_point start = Clock::now();
  RunResult r = run_file("/dev/zero");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"/dev/zero")) << maxhost::Utf8FromWide(r.error);

  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("mxs_limits_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string fifo = (dir / "pipe.ms").string();
  ASSERT_TRUE(maxhost::test::MakeSpecialFile(fifo));
  r = run_file(fifo);
  EXPECT_FALSE(r.ok);
  std::wstring text;
  std::string error;
  EXPECT_FALSE(read_script_file(fifo, text, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(check_syntax_file(fifo).empty());
  EXPECT_LT(seconds_since(start), 5.0);

  std::string big = (dir / "big.ms").string();
  std::ofstream(big) << std::string(4096, ' ') << "print 1\n";
  RunLimits limits;
  limits.max_script_bytes = 1024;
  set_run_limits(limits);
  r = run_file(big);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.output.empty());
  set_run_limits(RunLimits{});
  r = run_file(big);
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.output, L"1\n");
  std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

using namespace maxhost::mxs;

// Text that holds a NUL: the literal's whole length.
template <std::size_t N>
std::wstring with_nul(const wchar_t (&text)[N]) {
  return std::wstring(text, N - 1);
}

class ScriptShapes : public testing::Test {
 protected:
  void SetUp() override {
    reset_globals();
    set_output_sink([](const std::wstring&) {});
  }
  void TearDown() override { set_output_sink(nullptr); }
};

// The depth limit counts nesting: flat chains of any length parse and evaluate, with
// errors pointing at the operator that failed; deep nesting and recursion stay errors.
TEST_F(ScriptShapes, FlatChainsEvaluateDeepNestingDoesNot) {
  RunResult r = run_file(hostile("flat_sum_601_terms.ms"));
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"601");
  std::wstring sum = L"1";
  std::wstring ors = L"false";
  for (int i = 0; i < 200000; ++i) {
    sum += i % 2 ? L" + 2" : L" - 1";
    ors += L" or false";
  }
  EXPECT_EQ(run_string(sum).result, L"100001");
  EXPECT_EQ(run_string(ors + L" or true").result, L"true");
  EXPECT_EQ(run_string(L"n = 0; fn bump = (n += 1; true)\nfalse and bump() and bump()\nn").result,
            L"0");
  EXPECT_EQ(run_string(L"n = 0; true or bump() or bump()\nn").result, L"0");
  EXPECT_EQ(run_string(L"2 ^ 3 + 1 - 2 * 3").result, L"3");
  r = run_string(L"x = 1 + 2 + \"a\" + 4", L"chain.ms");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"position: 10; line: 1")) << maxhost::Utf8FromWide(r.error);

  std::wstring nested = L"1";
  for (int i = 0; i < 300; ++i) nested = L"(" + nested + L" + 1)";
  r = run_string(nested);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"too deeply nested")) << maxhost::Utf8FromWide(r.error);

  r = run_file(hostile("recurse.ms"));
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"-- Runtime error: Stack overflow"))
      << maxhost::Utf8FromWide(r.error);
}

// A NUL inside a string literal is part of the string: counted, compared, joined and
// printed with the text after it.
TEST_F(ScriptShapes, NulInsideStringsIsKept) {
#if defined(_WIN32)
  GTEST_SKIP() << "nul.ms names the NUL device on Windows";
#endif
  RunResult r = run_file(hostile("nul.ms"));
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.output, with_nul(L"\"a\0b\"\n2\n"));
  const std::wstring script =
      with_nul(L"s = \"a\0b\"\n#(s.count, (s + s).count, s == \"a\", s[3])");
  EXPECT_EQ(run_string(script).result, L"#(3, 6, false, \"b\")");
  EXPECT_EQ(run_string(with_nul(L"s as string == \"a\0b\"")).result, L"true");
  EXPECT_EQ(run_string(L"n = 0; for c in s do n += 1; n").result, L"3");
}

}  // namespace

namespace {

using namespace maxhost::mxs;

// A script function called from native code (an event handler, the plug-in's dialog
// bridge) is a run of its own: an interrupt stops it too, as an error its caller sees.
TEST_F(RunLimitsTest, InterruptStopsAFunctionCalledFromNativeCode) {
  ASSERT_TRUE(run_string(L"fn spin = (while true do try () catch ())").ok);
  Value* spin = global_value(L"spin");
  ASSERT_NE(spin, nullptr);
  std::thread signaller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    request_interrupt();
  });
  std::wstring caught;
  try {
    call_value(spin, nullptr, 0);
  } catch (MAXScriptException& e) {
    caught = e.message();
  }
  signaller.join();
  EXPECT_EQ(caught, L"MAXScript interrupted");
}

// Nested runs (execute) belong to the run around them: its clock keeps going.
TEST_F(RunLimitsTest, NestedRunsShareTheOuterLimit) {
  RunLimits limits;
  limits.timeout_seconds = 0.2;
  set_run_limits(limits);
  Clock::time_point start = Clock::now();
  RunResult r = run_string(L"for i = 1 to 1000000 do execute \"for j = 1 to 100 do ()\"");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(contains(r.error, L"time limit of 0.2 seconds")) << maxhost::Utf8FromWide(r.error);
  EXPECT_LT(seconds_since(start), 3.0);
}

}  // namespace

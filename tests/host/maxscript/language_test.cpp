// Evaluator behaviour that golden scripts cannot show well: scope rules across runs,
// output capture, error positions, recursion limits and host wording.
#include <gtest/gtest.h>

#include "base/text.h"
#include "maxscript/engine.h"

namespace {

using namespace maxhost::mxs;

class Language : public testing::Test {
 protected:
  void SetUp() override {
    reset_globals();
    set_output_sink([this](const std::wstring& s) { sink += s; });
  }
  void TearDown() override { set_output_sink(nullptr); }
  std::wstring eval(const std::wstring& text) {
    RunResult r = run_string(text, L"test.ms");
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    return r.result;
  }
  std::wstring sink;
};

TEST_F(Language, TopLevelAssignmentsAreGlobalAcrossRuns) {
  eval(L"counter = 41");
  EXPECT_EQ(eval(L"counter + 1"), L"42");
  ASSERT_NE(global_value(L"COUNTER"), nullptr);  // names ignore case
  EXPECT_EQ(global_value(L"counter")->to_int(), 41);
}

TEST_F(Language, FunctionLocalsDoNotLeak) {
  eval(L"fn f = (tmp = 5; tmp)\nf()");
  EXPECT_EQ(eval(L"tmp"), L"undefined");
}

TEST_F(Language, OutputGoesToSinkAndRunResult) {
  RunResult r = run_string(L"print 1; format \"%-%\\n\" 2 3; 7");
  EXPECT_EQ(r.output, L"1\n2-3\n");
  EXPECT_EQ(sink, L"1\n2-3\n");
  EXPECT_EQ(r.result, L"7");
}

TEST_F(Language, RuntimeErrorNamesFunctionFileAndLine) {
  RunResult r = run_string(L"fn g x = x.nosuchprop\n\ng 5", L"where.ms");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error,
            L"-- Error occurred in g(); filename: where.ms; position: 9; line: 1\n"
            L"-- Unknown property: \"nosuchprop\" in 5\n");
}

TEST_F(Language, ExpressionsBeforeASyntaxErrorRun) {
  RunResult r = run_string(L"print \"first\"\nx = (\nprint \"never\"", L"s.ms");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.output, L"\"first\"\n");
  ASSERT_EQ(r.syntax_errors.size(), 1u);
  EXPECT_EQ(r.error.rfind(L"-- Syntax error: at ", 0), 0u);
}

TEST_F(Language, UnboundedRecursionIsAScriptError) {
  RunResult r = run_string(L"fn down n = down (n + 1)\ndown 0");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"-- Runtime error: Stack overflow"), std::wstring::npos);
  // The engine still works afterwards.
  EXPECT_EQ(eval(L"1 + 1"), L"2");
}

TEST_F(Language, MutualRecursionAndStructRecursionAreBounded) {
  RunResult r = run_string(L"fn a n = b n\nfn b n = a n\na 1");
  EXPECT_NE(r.error.find(L"Stack overflow"), std::wstring::npos);
  r = run_string(L"struct S (fn m = m())\n(S()).m()");
  EXPECT_NE(r.error.find(L"Stack overflow"), std::wstring::npos);
}

TEST_F(Language, SelfContainingArrayPrintsWithoutCrashing) {
  RunResult r = run_string(L"a = #(); append a a; a.count");
  EXPECT_EQ(r.result, L"1");
  run_string(L"print a");
}

TEST_F(Language, IntegerArithmeticWrapsAndStaysInteger) {
  EXPECT_EQ(eval(L"2147483647 + 1"), L"-2147483648");
  EXPECT_EQ(eval(L"(-2147483647 - 1) / -1"), L"-2147483648");
  EXPECT_EQ(eval(L"7 / 2 * 2"), L"6");
  EXPECT_EQ(eval(L"7 / 2.0 * 2"), L"7.0");
}

TEST_F(Language, StringsCompareWithCaseNamesWithout) {
  EXPECT_EQ(eval(L"\"Abc\" == \"abc\""), L"false");
  EXPECT_EQ(eval(L"#Qwerty == #qWERTY"), L"true");
  EXPECT_EQ(eval(L"findItem #(#one, #Two) #two"), L"2");
}

TEST_F(Language, ScopeDeclarations) {
  EXPECT_EQ(eval(L"x = 1\n(local x = 2\nx)"), L"2");
  EXPECT_EQ(eval(L"x"), L"1");
  EXPECT_EQ(eval(L"fn setIt = (global x; x = 9)\nsetIt()\nx"), L"9");
  EXPECT_EQ(eval(L"fn shadow = (local x = 3; ::x)\nshadow()"), L"9");
}

TEST_F(Language, ReadOnlyConstants) {
  RunResult r = run_string(L"undefined = 1");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"Cannot assign to read-only variable"), std::wstring::npos);
}

TEST_F(Language, BuiltInsCanBeRedefinedByScripts) {
  eval(L"fn join a b = \"mine\"");
  EXPECT_EQ(eval(L"join 1 2"), L"\"mine\"");
  reset_globals();
  EXPECT_EQ(eval(L"join #(1) #(2)"), L"#(1, 2)");
}

TEST_F(Language, ExecuteEvaluatesText) {
  EXPECT_EQ(eval(L"execute \"3 * 4\""), L"12");
}

TEST_F(Language, TryCatchRestoresScopes) {
  eval(L"fn thrower = (local q = 1; throw \"x\")\nresult = try (thrower()) catch (\"caught\")");
  EXPECT_EQ(eval(L"result"), L"\"caught\"");
  EXPECT_EQ(eval(L"q"), L"undefined");
}

TEST_F(Language, ExitOutsideLoopIsAnError) {
  RunResult r = run_string(L"fn f = exit\nf()");
  EXPECT_FALSE(r.ok);
}

}  // namespace

namespace {

// The bit interface works on 32-bit integers with positions counted from 1.
TEST_F(Language, BitInterface) {
  EXPECT_EQ(eval(L"#(bit.and 12 10, bit.or 12 10, bit.xor 12 10, bit.not 0)"), L"#(8, 14, 6, -1)");
  EXPECT_EQ(eval(L"#(bit.shift 1 4, bit.shift 256 -4, bit.shift -1 -28, bit.shift 5 40)"),
            L"#(16, 16, 15, 0)");
  EXPECT_EQ(eval(L"#(bit.get 5 1, bit.get 5 2, bit.get 5 33)"), L"#(true, false, false)");
  EXPECT_EQ(eval(L"#(bit.set 0 3 true, bit.set 7 1 false, bit.intAsHex 255)"), L"#(4, 6, \"ff\")");
  EXPECT_FALSE(run_string(L"bit.and 1 \"a\"", L"test.ms").ok);
  EXPECT_FALSE(run_string(L"bit.nothing 1", L"test.ms").ok);
}

}  // namespace

namespace {

// formattedPrint takes one printf conversion and nothing that printf could misread.
TEST_F(Language, FormattedPrint) {
  EXPECT_EQ(eval(L"formattedPrint 3.14159 format:\".2f\""), L"\"3.14\"");
  EXPECT_EQ(eval(L"formattedPrint 255 format:\"04x\""), L"\"00ff\"");
  EXPECT_EQ(eval(L"formattedPrint 7 format:\"-4d\" + \"|\""), L"\"7   |\"");
  EXPECT_EQ(eval(L"formattedPrint 2 format:\".1f\""), L"\"2.0\"");
  EXPECT_FALSE(run_string(L"formattedPrint 1 format:\"%n\"", L"test.ms").ok);
  EXPECT_FALSE(run_string(L"formattedPrint 1 format:\"d%s\"", L"test.ms").ok);
  EXPECT_FALSE(run_string(L"formattedPrint \"a\" format:\"d\"", L"test.ms").ok);
}

}  // namespace

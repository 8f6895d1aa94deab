// Parser: the grammar's call, keyword, newline and block rules; syntax errors with line
// and column, recovery after the first error, and bounded nesting for any input.
#include <gtest/gtest.h>

#include <random>

#include "base/files.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/lexer.h"
#include "maxscript/parser.h"

namespace {

using namespace maxhost::mxs;

std::vector<SyntaxError> errors_of(const std::wstring& text) {
  return parse_program(text, L"t.ms").errors;
}

std::size_t count_top(const std::wstring& text) {
  ParseResult r = parse_program(text, L"t.ms");
  EXPECT_TRUE(r.errors.empty()) << (r.errors.empty() ? ""
                                                     : maxhost::Utf8FromWide(r.errors[0].message));
  return r.program->body.size();
}

TEST(Parser, CallArgumentsAreOperandsNotExpressions) {
  // "f a + b" is (f a) + b.
  ParseResult r = parse_program(L"f a + b", L"t.ms");
  ASSERT_EQ(r.program->body.size(), 1u);
  const Node* top = r.program->body[0].get();
  EXPECT_EQ(top->kind, NodeKind::Binary);
  EXPECT_EQ(top->kid(0)->kind, NodeKind::Call);
}

TEST(Parser, PropertyAndIndexBindTighterThanCall) {
  ParseResult r = parse_program(L"obj.Controls.Add x[1] key:#k", L"t.ms");
  const Node* call = r.program->body[0].get();
  ASSERT_EQ(call->kind, NodeKind::Call);
  EXPECT_EQ(call->kid(0)->kind, NodeKind::Property);
  EXPECT_EQ(call->kid(0)->text, L"Add");
  EXPECT_EQ(call->kid(1)->kind, NodeKind::Index);
  EXPECT_EQ(call->kid(2)->kind, NodeKind::KeyArg);
  EXPECT_EQ(call->kid(2)->text, L"key");
}

TEST(Parser, NewlineEndsCallButTrailingOperatorContinues) {
  EXPECT_EQ(count_top(L"f a\nb"), 2u);
  EXPECT_EQ(count_top(L"x = 1 +\n 2"), 1u);
  EXPECT_EQ(count_top(L"x = 1 \\\n + 2"), 1u);
  EXPECT_EQ(count_top(L"a = 1; b = 2"), 2u);
  EXPECT_EQ(count_top(L"-- comment\n/* block\n comment */ x = 1"), 1u);
}

TEST(Parser, LeadingOperatorOnNextLineIsAnError) {
  auto e = errors_of(L"x = 1\n  * 2");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].line, 2);
  EXPECT_EQ(e[0].column, 3);
}

TEST(Parser, KeywordsOnFollowingLines) {
  EXPECT_EQ(count_top(L"if a\nthen b\nelse c"), 1u);
  EXPECT_EQ(count_top(L"try\n(x)\ncatch\n(y)"), 1u);
  EXPECT_EQ(count_top(L"for i = 1 to 3\ndo\n(print i)"), 1u);
  EXPECT_EQ(count_top(L"do (x += 1)\nwhile x < 3"), 1u);
  EXPECT_EQ(count_top(L"fn f a =\n(\n a\n)"), 1u);
}

TEST(Parser, NegativeArgumentAndSubtraction) {
  ParseResult r = parse_program(L"f -1\nx - 1", L"t.ms");
  EXPECT_EQ(r.program->body[0]->kind, NodeKind::Call);
  EXPECT_EQ(r.program->body[0]->kid(1)->ival, -1);
  EXPECT_EQ(r.program->body[1]->kind, NodeKind::Binary);
}

TEST(Parser, SyntaxErrorReportsLineAndColumn) {
  auto e = errors_of(L"a = 1\nb = (2 +\n)\n");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].line, 3);
  EXPECT_EQ(e[0].column, 1);
  EXPECT_EQ(e[0].message, L"at ), expected <factor>");
}

TEST(Parser, RecoversAfterAnErrorWithoutCascading) {
  std::wstring text =
      L"fn good = 1\n"
      L"fn bad x = (\n"
      L"  y = x +\n"
      L"  )\n"
      L")\n"
      L"fn alsoGood = 2\n"
      L"z = ]\n"
      L"w = 3\n";
  auto e = errors_of(text);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].line, 4);
  EXPECT_EQ(e[1].line, 7);
  EXPECT_EQ(e[1].column, 5);
}

TEST(Parser, UnterminatedStringIsAnError) {
  auto e = errors_of(L"x = \"abc");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].message, L"unterminated string");
}

TEST(Parser, DeepNestingIsAnErrorNotACrash) {
  std::wstring deep(100000, L'(');
  auto e = errors_of(deep);
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e[0].message, L"expression too deeply nested");
  // A long flat chain is no nesting; parenthesised terms inside it are.
  std::wstring chain = L"x = 1";
  for (int i = 0; i < 50000; ++i) chain += L" + 1";
  EXPECT_TRUE(errors_of(chain).empty());
  std::wstring nested = L"x = 1";
  for (int i = 0; i < 700; ++i) nested = L"1 + (" + nested + L")";
  e = errors_of(nested);
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e[0].message, L"expression too deeply nested");
  std::wstring negs;
  for (int i = 0; i < 20000; ++i) negs += L"- ";
  EXPECT_FALSE(errors_of(negs + L"x").empty());
  std::wstring nots;
  for (int i = 0; i < 20000; ++i) nots += L"not ";
  EXPECT_FALSE(errors_of(nots + L"true").empty());
  std::wstring arrays;
  for (int i = 0; i < 20000; ++i) arrays += L"#(";
  EXPECT_FALSE(errors_of(arrays).empty());
}

TEST(Parser, ArbitraryInputNeverCrashes) {
  // Random token soup from the language's own alphabet, deterministic.
  const wchar_t* pieces[] = {
      L"(",  L")",     L"#(",    L"[",      L"]",    L",",       L";",    L"\n",    L"=",
      L"+",  L"-",     L"*",     L"^",      L"if",   L"then",    L"else", L"do",    L"for",
      L"in", L"to",    L"fn",    L"struct", L"case", L"of",      L"try",  L"catch", L"x",
      L"1",  L"2.5",   L"\"s\"", L"#n",     L":",    L"::",      L".",    L"\\",    L"--",
      L"/*", L"local", L"not",   L"and",    L"as",   L"collect", L"while"};
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::wstring text;
    int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) {
      text += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
      text += L' ';
    }
    ParseResult r = parse_program(text, L"soup.ms");
    for (auto& e : r.errors) {
      EXPECT_GE(e.line, 1);
      EXPECT_GE(e.column, 1);
    }
  }
}

TEST(Parser, DialogScriptConstructsParse) {
  std::wstring text =
      LR"MXS(
struct TilvaraListView
(
  m_valueSpinner = undefined,
  m_selectedIndex = 0,
  m_isMouseDown = undefined
)
fn getStruct sender = (sender.TopLevelControl.Tag.value)
fn Zorbak_AddColumns lv =
(
  lv.Columns.Add "On/Off" 50
  lv.Columns.Add "Filename" (-2)
)
fn Zorbak_evToggleOnOff sender args =
(
  local theStruct = getStruct sender
  local keys = dotNetClass "System.Windows.Forms.Keys"
  local modifiers = (dotNetClass "System.Windows.Forms.Control").ModifierKeys
  if theStruct.m_isMouseDown == false and not (modifiers.Equals keys.Control) do
  (
    tex.submap_on[args.Index + 1] = args.NewValue.Equals (dotNetClass "System.Windows.Forms.CheckState").Checked
  )
  for i = 1 to n do indices[i] = selected.Item[i - 1]
  local label = if entry == undefined then "(empty)" else \
    (try (entry.filename) catch ("(" + ((classOf entry) as string) + ")"))
  lv.Items.AddRange #(item1, item2)
  local prob = item.SubItems.Add (probs[i] as string)
  lv.BackColor = colors.FromArgb ((back.x * 255) as integer) 0 0
  root.Controls.Add (Zorbak_GenerateBitmapButtons()) 0 1
  for path in files while not failed do (append maps path)
  for t in tex.submaps where t != undefined do (try (t.reload()) catch ())
  (lv.Items.Item[index - 1]).SubItems.Item[1].Text = sender.Text
  local bm = try (bitmapTexture filename:(path as string)) catch (undefined)
)
)MXS";
  ParseResult r = parse_program(text, L"dialog.ms");
  for (auto& e : r.errors)
    ADD_FAILURE() << e.line << ":" << e.column << " " << maxhost::Utf8FromWide(e.message);
  EXPECT_EQ(r.program->body.size(), 4u);
}

TEST(Parser, CheckSyntaxFormatsFileLineColumn) {
  auto d = check_syntax(L"x = (1 +\n", L"dlg.ms");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].format(), L"dlg.ms:2:1: syntax error: at end of script, expected <factor>");
  auto missing = check_syntax_file("/nonexistent/file.ms");
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].line, 0);
}

TEST(Lexer, NumbersTimesAndEscapesAsTheHostReadsThem) {
  std::vector<Token> t = tokenize(L"random .1 3");
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t[1].kind, Tok::Float);
  EXPECT_FLOAT_EQ(t[1].fval, 0.1f);
  t = tokenize(L"a.b");  // a property, not a number
  EXPECT_EQ(t[1].kind, Tok::Dot);
  // SMPTE m:s.f at 30 frames per second.
  t = tokenize(L"2:10.0 1:15.5");
  ASSERT_EQ(t[0].kind, Tok::Time);
  EXPECT_FLOAT_EQ(t[0].fval, 3900.0f);
  ASSERT_EQ(t[1].kind, Tok::Time);
  EXPECT_FLOAT_EQ(t[1].fval, 2255.0f);
  t = tokenize(L"1:2");  // a case label
  EXPECT_EQ(t[0].kind, Tok::Integer);
  EXPECT_EQ(t[1].kind, Tok::Colon);
  t = tokenize(L"1.5d0 2d-3 10f 2.5s 5L");
  EXPECT_FLOAT_EQ(t[0].fval, 1.5f);
  EXPECT_FLOAT_EQ(t[1].fval, 0.002f);
  EXPECT_FLOAT_EQ(t[2].fval, 10.0f);
  EXPECT_FLOAT_EQ(t[3].fval, 75.0f);
  EXPECT_EQ(t[4].kind, Tok::Integer);
  EXPECT_EQ(t[4].ival, 5);
  // The parser keeps the wide forms apart for the evaluator.
  ParseResult p = parse_program(L"5L; 1.5d0; 1.5e0; 5; 6000000000L", L"t.ms");
  ASSERT_EQ(p.program->body.size(), 5u);
  EXPECT_EQ(p.program->body[0]->kind, NodeKind::Integer64Lit);
  EXPECT_EQ(p.program->body[0]->ival, 5);
  EXPECT_EQ(p.program->body[1]->kind, NodeKind::DoubleLit);
  EXPECT_FLOAT_EQ(p.program->body[1]->fval, 1.5f);
  EXPECT_EQ(p.program->body[2]->kind, NodeKind::Float);
  EXPECT_EQ(p.program->body[3]->kind, NodeKind::Integer);
  EXPECT_EQ(p.program->body[4]->kind, NodeKind::Integer64Lit);
  EXPECT_EQ(p.program->body[4]->text, L"6000000000L");
  // \x takes every hex digit that follows; a bare \x stays as written.
  t = tokenize(L"\"\\x41\\x42C\" \"\\xa9 1997\" \"\\xq\"");
  EXPECT_EQ(t[0].text, L"A\u042C");
  t = tokenize(L"\"\\x41-\" \"\\xa9 1997\" \"\\xq\"");
  EXPECT_EQ(t[0].text, L"A-");
  EXPECT_EQ(t[1].text, L"\u00A9 1997");
  EXPECT_EQ(t[2].text, L"\\xq");
}

TEST(Lexer, NonAsciiLettersNameVariablesButSymbolsDoNot) {
  std::vector<Token> t = tokenize(L"größe = 3; παράμετρος");
  EXPECT_EQ(t[0].kind, Tok::Ident);
  EXPECT_EQ(t[0].text, L"größe");
  EXPECT_EQ(t[4].kind, Tok::Ident);
  RunResult r = run_string(L"größe = 3; größe * 2");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"6");
  EXPECT_FALSE(parse_program(L"a = 1 \u2665 2", L"t.ms").errors.empty());
  EXPECT_FALSE(parse_program(L"a = 6 \u00F7 2", L"t.ms").errors.empty());
}

// Scripts saved as Unicode by the host's editor open with a UTF-16 byte-order mark.
TEST(ScriptFiles, Utf16WithByteOrderMarkInBothOrders) {
  std::wstring want = L"x = \"\u00E9\u4E2D\"";
  for (bool little : {true, false}) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (wchar_t c : want) {
      char hi = static_cast<char>((c >> 8) & 0xFF), lo = static_cast<char>(c & 0xFF);
      bytes += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    std::string path = testing::TempDir() + (little ? "utf16le.ms" : "utf16be.ms");
    ASSERT_TRUE(maxhost::WriteWholeFile("test", path, bytes.data(), bytes.size()));
    std::wstring text;
    std::string error;
    ASSERT_TRUE(read_script_file(path, text, error)) << error;
    EXPECT_EQ(text, want) << (little ? "little-endian" : "big-endian");
    RunResult r = run_file(path);
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
    EXPECT_EQ(r.result, L"\"\u00E9\u4E2D\"");
  }
}

}  // namespace

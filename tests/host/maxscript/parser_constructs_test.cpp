// Parser: the language's definition forms (rollouts, macroScripts, scripted plug-ins),
// literals and context expressions that real scripts use, and how the evaluator treats
// the ones this host cannot run.
#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/parser.h"

namespace {

using namespace maxhost::mxs;

// Fails the test with every diagnostic, so a regression names its line.
void expect_clean(const std::wstring& text) {
  auto d = check_syntax(text, L"t.ms");
  for (auto& e : d) ADD_FAILURE() << maxhost::Utf8FromWide(e.format());
}

const Node* first_node(const ParseResult& r) {
  EXPECT_TRUE(r.errors.empty()) << (r.errors.empty() ? ""
                                                     : maxhost::Utf8FromWide(r.errors[0].message));
  return r.program->body.empty() ? nullptr : r.program->body[0].get();
}

TEST(ParserConstructs, RolloutWithControlsGroupsAndHandlers) {
  std::wstring text =
      LR"MXS(
rollout tilvaraRoll "Tilvara Maps" width:320 height:400
(
  local maxCount = 10, lastPath
  global tilvaraShared
  persistent global tilvaraSaved
  group "Maps"
  (
    button btnAdd "Add..." width:80 across:2 tooltip:"Add maps"
    button btnRemove "Remove" width:80 enabled:false
    dotNetControl lv "System.Windows.Forms.ListView" height:200
  )
  spinner spnSeed "Seed:" range:[0,99999,12345] type:#integer fieldwidth:50
  checkbox chkOn "Enabled" checked:true offset:[0,-4]
  edittext edtName "Name:" text:"" labelOnTop:true
  dropdownlist ddlMode "Mode" items:#("Random", "Sequential") selection:1
  listbox lbMaps "Maps" items:#() height:8
  label lblInfo "" align:#left
  fn refresh =
  (
    lbMaps.items = for m in maps collect m.name
  )
  on btnAdd pressed do
  (
    local f = getOpenFileName caption:"Pick"
    if f != undefined do append maps f
  )
  on spnSeed changed val do seed = val
  on lbMaps doubleClicked idx do print idx
  on tilvaraRoll open do refresh()
  on tilvaraRoll close do ()
)
createDialog tilvaraRoll
)MXS";
  expect_clean(text);
  ParseResult r = parse_program(text, L"t.ms");
  const Node* def = first_node(r);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->kind, NodeKind::Definition);
  EXPECT_EQ(def->text, L"rollout");
  EXPECT_EQ(def->kid(0)->text, L"tilvaraRoll");
  const Node* body = def->kids.back().get();
  ASSERT_EQ(body->kind, NodeKind::DefBody);
  EXPECT_EQ(body->kid(3)->kind, NodeKind::Definition);  // the group
  EXPECT_EQ(body->kid(3)->text, L"group");
  EXPECT_EQ(body->kid(4)->kind, NodeKind::Control);
  EXPECT_EQ(body->kid(4)->text, L"spinner");
  EXPECT_EQ(body->kid(4)->kid(0)->text, L"spnSeed");
  const Node* handler = body->kid(11);
  ASSERT_EQ(handler->kind, NodeKind::Handler);
  EXPECT_EQ(handler->kid(0)->text, L"btnAdd");
  EXPECT_EQ(handler->kid(1)->text, L"pressed");
  EXPECT_EQ(r.program->body.size(), 2u);
}

TEST(ParserConstructs, UtilityAndRcMenu) {
  expect_clean(
      LR"MXS(
utility tilvaraUtil "Tilvara"
(
  button btnGo "Go"
  rollout subRoll "Sub" ( checkbox chk "x" )
  on btnGo pressed do addRollout subRoll
  on tilvaraUtil open do print "open"
)
rcmenu tilvaraMenu
(
  menuItem miCopy "Copy" checked:false
  separator sep01
  subMenu "More"
  (
    menuItem miPaste "Paste"
  )
  on miCopy picked do print "copy"
)
)MXS");
}

TEST(ParserConstructs, MacroScriptWithHandlers) {
  expect_clean(
      LR"MXS(
macroScript TilvaraOpen category:"Tilvara" buttonText:"Open" tooltip:"Open the editor" icon:#("Tilvara", 1)
(
  local isOpen = false
  on isChecked return isOpen
  on isEnabled return true
  on execute do
  (
    isOpen = not isOpen
    print isOpen
  )
)
macroScript Plain category:"Tilvara" ( print "plain body" )
)MXS");
}

TEST(ParserConstructs, ScriptedPluginAttributesAndTool) {
  expect_clean(
      LR"MXS(
plugin textureMap TilvaraExt name:"Tilvara Ext" classID:#(0x5a1b2c3d, 0x1e2f3a4b) extends:Bitmaptexture replaceUI:true version:1
(
  parameters main rollout:params
  (
    amount type:#float default:1 ui:spnAmount animatable:true
    mode type:#integer default:1 ui:ddlMode
    on amount set val do delegate.coords.U_Tiling = val
  )
  rollout params "Ext Parameters"
  (
    spinner spnAmount "Amount" range:[0, 10, 1]
    dropdownlist ddlMode "Mode" items:#("A", "B")
  )
  on create do print "created"
  on load do ()
)
ca = attributes tilvaraData version:2
(
  parameters pblock rollout:r ( note type:#string default:"" ui:edt )
  rollout r "Data" ( edittext edt "Note" )
)
tool placeTool
(
  on mousePoint clickNo do if clickNo == 2 do #stop
  on freeMove do ()
)
)MXS");
}

TEST(ParserConstructs, Literals) {
  expect_clean(
      LR"MXS(
p2 = [1, 2]
p3 = [1.5, -2, 3e2]
bits = #{1..5, 7}
none = #{}
sel = $
box = $Box01
spaced = $'name with space'
wild = $Box*
child = $Obj/child
deep = $root/.../leaf
pos = $Box01.pos
path = @"C:\temp\maps\"
mask = 0xFF
t1 = 10f
t2 = 1.5s
t3 = 2m3s
last = ?
g = ::tilvaraShared
big = 1.5e-3
fn swapVals &a &b = (local t = a; a = b; b = t)
swapVals &x &y
v = *x
)MXS");
  ParseResult r = parse_program(L"#{1..5, 7}\n$Box*\n2m3s\n0xFF\n[1, 2]", L"t.ms");
  ASSERT_TRUE(r.errors.empty());
  const Node* bits = r.program->body[0].get();
  ASSERT_EQ(bits->kind, NodeKind::BitArrayLit);
  EXPECT_EQ(bits->kid(0)->kind, NodeKind::Range);
  EXPECT_EQ(bits->kid(1)->ival, 7);
  EXPECT_EQ(r.program->body[1]->kind, NodeKind::PathName);
  EXPECT_EQ(r.program->body[1]->text, L"Box*");
  EXPECT_EQ(r.program->body[2]->kind, NodeKind::TimeLit);
  EXPECT_FLOAT_EQ(r.program->body[2]->fval, 2 * 1800.0f + 3 * 30.0f);
  EXPECT_EQ(r.program->body[3]->ival, 255);
  EXPECT_EQ(r.program->body[4]->kind, NodeKind::PointLit);
}

TEST(ParserConstructs, ContextExpressions) {
  expect_clean(
      LR"MXS(
with animate on ( $Box01.pos = [0, 0, 10] )
animate on
(
  at time 10 $Box01.pos.z = 5
)
at time (currentTime + 1) print 1
in coordsys world move $ [0, 0, 1]
in coordsys local rotate $ 90
about pivot rotate $ 45
undo on ( delete $ )
undo "Tilvara change" on ( x = 1 )
with redraw off, undo off
(
  for i = 1 to 3 do print i
)
set animate on
set coordsys local
with defaultAction #logmsg ( y = 2 )
)MXS");
}

TEST(ParserConstructs, FunctionsWhenStructCaseMax) {
  expect_clean(
      LR"MXS(
mapped fn hideIt obj = obj.isHidden = true
fn fetch x y: z:&w = (x + y)
when transform $Box01 changes id:#tilvaraWatch handleAt:#redrawViews obj do
(
  print obj.name
)
when $ deleted obj do print "gone"
struct TilvaraItem
(
  private
  secret = 1,
  public
  name = "",
  weight = 1.0,
  fn describe = (name + ":" + weight as string),
  on create do ( weight = weight * 2 )
)
r = case of
(
  (a > b): "greater"
  (a < b): "less"
  default: "same"
)
items = for i = 1 to 10 collect (if mod i 2 == 0 then i else dontCollect)
max select all
max modify mode
)MXS");
}

TEST(ParserConstructs, MistakesInsideDefinitionsStillReportLineAndColumn) {
  // A handler without `do`.
  auto e = parse_program(L"rollout r \"R\"\n(\n  on btn pressed (x)\n)\n", L"t.ms").errors;
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].line, 3);
  EXPECT_EQ(e[0].column, 18);
  EXPECT_EQ(e[0].message, L"at (, expected do");
  // An unclosed bit array.
  e = parse_program(L"b = #{1..3, \nx = 1", L"t.ms").errors;
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e[0].line, 2);
  // A bad context word after `with`.
  e = parse_program(L"with wobble on (x)", L"t.ms").errors;
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].column, 6);
  // A rollout without its body; recovery goes on with the next top-level line.
  e = parse_program(L"rollout r \"R\" width:10\n\nx = 1\nrollout q \"Q\" ( button b \"B\" +)\n",
                    L"t.ms")
          .errors;
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].line, 3);
  EXPECT_EQ(e[0].message, L"at x, expected (");
  EXPECT_EQ(e[1].line, 4);
  EXPECT_EQ(e[1].column, 30);
}

TEST(ParserConstructs, TokenSoupOfTheNewFormsNeverCrashes) {
  const wchar_t* pieces[] = {
      L"rollout",    L"utility", L"rcmenu", L"macroScript", L"plugin", L"attributes", L"tool",
      L"parameters", L"group",   L"on",     L"do",          L"return", L"with",       L"animate",
      L"at",         L"time",    L"in",     L"coordsys",    L"about",  L"undo",       L"set",
      L"when",       L"max",     L"$",      L"$a*",         L"$'q'",   L"#{",         L"}",
      L"..",         L"&",       L"*",      L"?",           L"10f",    L"2m3s",       L"(",
      L")",          L"[",       L"]",      L",",           L"\n",     L"x",          L"\"s\"",
      L"k:",         L"1",       L"on",     L"off",         L"fn",     L"struct",     L"case",
      L"of",         L":",       L"=",      L"local"};
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    int n = static_cast<int>(rng() % 50);
    for (int i = 0; i < n; ++i) {
      text += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
      text += L' ';
    }
    ParseResult r = parse_program(text, L"soup.ms");
    for (auto& e : r.errors) {
      EXPECT_GE(e.line, 1);
      EXPECT_GE(e.column, 1);
    }
    if (r.errors.empty()) run_string(text, L"soup.ms");  // must not crash either
  }
}

class ConstructEval : public testing::Test {
 protected:
  void SetUp() override {
    reset_globals();
    set_output_sink([this](const std::wstring& s) { sink += s; });
  }
  void TearDown() override { set_output_sink(nullptr); }
  std::wstring sink;
};

TEST_F(ConstructEval, UnsupportedDefinitionsRaiseAClearRuntimeError) {
  RunResult r = run_string(L"rollout r \"R\" ( button b \"B\" )", L"t.ms");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"-- Runtime error: rollout is not supported by this host"),
            std::wstring::npos)
      << maxhost::Utf8FromWide(r.error);
  r = run_string(L"x = $Box01", L"t.ms");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"path name $Box01 is not supported by this host"), std::wstring::npos);
  r = run_string(L"max select all", L"t.ms");
  EXPECT_NE(r.error.find(L"max select all is not supported"), std::wstring::npos);
}

TEST_F(ConstructEval, ContextsRunTheirBodyAndLiteralsEvaluate) {
  RunResult r = run_string(L"with animate on, undo \"u\" on ( x = 3; x * 2 )", L"t.ms");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"6");
  r = run_string(L"set animate on", L"t.ms");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  r = run_string(L"[1, 2]", L"t.ms");
  EXPECT_EQ(r.result, L"[1,2]");
  r = run_string(L"1.5s + 0", L"t.ms");
  EXPECT_EQ(r.result, L"45f");
  r = run_string(L"#{1..3, 5, 4..2, 9..9}", L"t.ms");
  EXPECT_EQ(r.result, L"#{1..3, 5, 9}") << maxhost::Utf8FromWide(r.error);
  r = run_string(L"#{0..2}", L"t.ms");
  EXPECT_NE(r.error.find(L"BitArray index out of range: 0"), std::wstring::npos);
  r = run_string(L"#{1..\"x\"}", L"t.ms");
  EXPECT_NE(r.error.find(L"Unable to convert: \"x\" to type: Integer"), std::wstring::npos);
}

TEST_F(ConstructEval, StructCreateHandlerRunsAfterMemberDefaults) {
  RunResult r = run_string(
      L"struct S (a = 2, b = 0, on create do (b = a * 10))\n"
      L"s = S a:4\n"
      L"s.b",
      L"t.ms");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"40");
}

// Hand-written reductions of what public script collections write: a header, a control and
// a call whose keyword arguments go on over the following lines.
TEST(ParserConstructs, KeywordArgumentsContinueOnTheNextLine) {
  ParseResult r = parse_program(
      L"macroScript M category:\"C\"\n  tooltip:\"T\"\n  buttonText:\"B\"\n(\n  1\n)", L"t.ms");
  const Node* m = first_node(r);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->kind, NodeKind::Definition);
  int keys = 0;
  for (auto& k : m->kids)
    if (k && k->kind == NodeKind::KeyArg) ++keys;
  EXPECT_EQ(keys, 3);
  expect_clean(
      L"rollout r \"R\" width:100\n  height:200\n(\n  button b \"B\" width:80\n    height:20\n  "
      L"checkbox c \"C\"\n)");
  // A radio button group's `default:` is a keyword argument, not a case label.
  expect_clean(
      L"rollout r \"R\"\n(\n  radiobuttons rb \"M\" labels:#(\"a\", \"b\")\n    default:2\n"
      L"  on rb changed state\n    do print state\n)");
  // A function header is complete only at its `=`.
  RunResult fr = run_string(L"fn area\n    w:2\n    h:3\n  = w * h\narea h:5");
  EXPECT_TRUE(fr.ok) << maxhost::Utf8FromWide(fr.error);
  EXPECT_EQ(fr.result, L"10");
  r = parse_program(L"f 1 b:2\n  c:3\nf 4", L"t.ms");
  ASSERT_EQ(r.program->body.size(), 2u);
  EXPECT_EQ(r.program->body[0]->kids.size(), 4u);  // f, 1, b:, c:
  // A case item's body stops at the next label, even one that looks like a keyword.
  RunResult run = run_string(
      L"fn pick v = case v of (\n true: abs -1\n false: x = 7\n default: 0)\n"
      L"#(pick true, pick false, pick 3)");
  EXPECT_TRUE(run.ok) << maxhost::Utf8FromWide(run.error);
  EXPECT_EQ(run.result, L"#(1, 7, 0)");
}

TEST(ParserConstructs, TryCatchAcrossSeparatorsAndForForms) {
  RunResult r = run_string(L"a = try (throw \"x\") ; catch (1)\nb = try (2)\n\ncatch (3)\n#(a, b)");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"#(1, 2)");
  // Without a catch the try is still incomplete.
  EXPECT_FALSE(parse_program(L"try (1) ; 2", L"t.ms").errors.empty());

  ParseResult p = parse_program(L"for i in 1 to 3 by 2 do i", L"t.ms");
  ASSERT_NE(first_node(p), nullptr);
  EXPECT_EQ(first_node(p)->kind, NodeKind::ForTo);
  p = parse_program(L"for x = #(1, 2) do x", L"t.ms");
  ASSERT_NE(first_node(p), nullptr);
  EXPECT_EQ(first_node(p)->kind, NodeKind::ForIn);
  ASSERT_EQ(first_node(p)->kid(1), nullptr);
  p = parse_program(L"for v, i in #(1, 2) do v", L"t.ms");
  ASSERT_NE(first_node(p), nullptr);
  ASSERT_NE(first_node(p)->kid(1), nullptr);
  EXPECT_EQ(first_node(p)->kid(1)->text, L"i");

  r = run_string(
      L"#(for i in 1 to 5 by 2 collect i, for x = #(4, 5) collect x * 2, "
      L"for v, i in #(\"a\", \"b\") collect v + (i as string), "
      L"for v, i in #(7, 8, 9) where v != 8 collect i)");
  EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"#(#(1, 3, 5), #(8, 10), #(\"a1\", \"b2\"), #(1, 3))");
  // An index with a numeric range is not a form of the language.
  EXPECT_FALSE(parse_program(L"for v, i = 1 to 3 do v", L"t.ms").errors.empty());
}

TEST(ParserConstructs, CoordsysLocalWithoutIn) {
  ParseResult r = parse_program(L"coordsys local x = 1", L"t.ms");
  ASSERT_NE(first_node(r), nullptr);
  EXPECT_EQ(first_node(r)->kind, NodeKind::Context);
  r = parse_program(L"about coordsys local x = 2", L"t.ms");
  const Node* c = first_node(r);
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->kind, NodeKind::Context);
  ASSERT_NE(c->kid(0), nullptr);
  ASSERT_EQ(c->kid(0)->kids.size(), 2u);
  EXPECT_EQ(c->kid(0)->kid(1)->text, L"local");
  expect_clean(L"in coordsys local (x = 1)\nset coordsys local\nabout coordsys world (y = 1)");
}

TEST(ParserConstructs, TopLevelExpressionAfterAClosingParenthesis) {
  ParseResult r = parse_program(
      L"rollout r \"R\"\n(\n  button b \"B\"\n)createDialog r\n(1)if true do 2", L"t.ms");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.program->body.size(), 4u);
  // Anything else still needs a line break or a semicolon.
  EXPECT_FALSE(parse_program(L"x = 1 y = 2", L"t.ms").errors.empty());
  EXPECT_FALSE(parse_program(L"x = (1) 2 3 = 4", L"t.ms").errors.empty());
}

// Forms found in published scripts that the host runs.
TEST(ParserConstructs, FormsOfPublishedScripts) {
  // Declarations separated by spaces declare every name.
  ParseResult r = parse_program(L"global ro1 ro2\nlocal a b = 3, c", L"t.ms");
  ASSERT_TRUE(r.errors.empty()) << maxhost::Utf8FromWide(r.errors[0].message);
  EXPECT_EQ(r.program->body[0]->kids.size(), 2u);
  EXPECT_EQ(r.program->body[0]->kids[1]->text, L"ro2");
  EXPECT_EQ(r.program->body[1]->kids.size(), 3u);
  ASSERT_EQ(r.program->body[1]->kids[1]->kids.size(), 1u);  // b's initial value
  // A handler may follow its control on the same line; `on` as a value still works.
  r = parse_program(
      L"rollout r \"R\"\n(\n  button b \"B\" across:3 \ton b pressed do print 1\n"
      L"  checkbox c \"C\" checked:on\n)",
      L"t.ms");
  ASSERT_TRUE(r.errors.empty()) << maxhost::Utf8FromWide(r.errors[0].message);
  const Node* body = r.program->body[0]->kids.back().get();
  ASSERT_EQ(body->kids.size(), 3u);
  EXPECT_EQ(body->kids[1]->kind, NodeKind::Handler);
  // A caption computed in parentheses before the body.
  r = parse_program(L"rollout r (title()) width:200\n(\n  label l \"x\"\n)", L"t.ms");
  ASSERT_TRUE(r.errors.empty()) << maxhost::Utf8FromWide(r.errors[0].message);
  EXPECT_EQ(r.program->body[0]->kids[1]->kind, NodeKind::Block);
  EXPECT_EQ(r.program->body[0]->kids.back()->kind, NodeKind::DefBody);
  // Reserved words as keyword parameter names.
  r = parse_program(L"fn report step:10 to: as:true = step", L"t.ms");
  ASSERT_TRUE(r.errors.empty()) << maxhost::Utf8FromWide(r.errors[0].message);
  EXPECT_EQ(r.program->body[0]->kids[1]->text, L"to");
  EXPECT_TRUE(r.program->body[0]->kids[2]->flag);
  // Inside a block, an expression may follow `)` on the same line, as at the top level.
  expect_clean(L"(\n  c = rotation_list() \tobj.controller = c\n)");
  expect_clean(L"for i = 1 to 3 do (if i == 2 then exit ()\n print i)");
  // Still an error: two expressions on a line with nothing that ends the first.
  EXPECT_FALSE(parse_program(L"(\n  x = 1 y = 2\n)", L"t.ms").errors.empty());
  EXPECT_FALSE(parse_program(L"global 5", L"t.ms").errors.empty());
}

// A NUL between tokens ends the script, as the host reads a script as a C string.
TEST(ParserConstructs, NulOutsideAStringEndsTheScript) {
  ParseResult r = parse_program(std::wstring(L"x = 1\n", 6) + L'\0' + L"))) garbage", L"t.ms");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.program->body.size(), 1u);
}

}  // namespace

// The parser's core: the top-level loop with its recovery, token tests, error reports and
// the building of nodes with their nesting depth.
#include "base/text.h"
#include "maxscript/parser_impl.h"

namespace maxhost::mxs {

void Parser::parse(Program& program, std::vector<SyntaxError>& errors) {
  while (true) {
    skip_separators();
    if (cur().kind == Tok::End) break;
    try {
      NodePtr e = parse_expr();
      // A top-level expression that ends with `)` (a rollout's body, a block) may be
      // followed by the next one on the same line, as in `)createDialog r`.
      if (!is_separator(cur().kind) && !follows_paren_on_line()) fail(L"<end of expression>");
      if (errors.empty()) program.body.push_back(std::move(e));
    } catch (ParseAbort& a) {
      errors.push_back(std::move(a.error));
      resync();
    }
  }
}

// Consumes newlines when the next real token is the keyword.
bool Parser::next_is_kw(const wchar_t* k) {
  std::size_t q = p_;
  while (t_[q].kind == Tok::Newline) ++q;
  if (t_[q].kind == Tok::Keyword && t_[q].text == k) {
    p_ = q;
    return true;
  }
  return false;
}

std::wstring Parser::describe(const Token& t) const {
  switch (t.kind) {
    case Tok::End:
      return L"end of script";
    case Tok::Newline:
      return L"end of line";
    case Tok::String:
      return L"\"" + t.text + L"\"";
    case Tok::Name:
      return L"#" + t.text;
    case Tok::HashParen:
      return L"#(";
    case Tok::Error:
      return t.text;
    default:
      return t.text;
  }
}

std::wstring Parser::line_text(int line) const {
  int l = 1;
  std::size_t b = 0;
  while (l < line && b < text_.size()) {
    if (text_[b] == L'\n') ++l;
    ++b;
  }
  std::size_t e = b;
  while (e < text_.size() && text_[e] != L'\n' && text_[e] != L'\r') ++e;
  return text_.substr(b, e - b);
}

void Parser::fail_message(const std::wstring& message) {
  const Token& t = cur();
  ParseAbort a;
  a.error.line = t.line;
  a.error.column = t.column;
  a.error.position = t.position;
  a.error.message = message;
  a.error.line_text = line_text(t.line);
  throw a;
}

void Parser::fail(const std::wstring& expected) {
  if (cur().kind == Tok::Error) fail_message(cur().text);
  fail_message(L"at " + describe(cur()) + L", expected " + expected);
}

void Parser::expect(Tok k, const wchar_t* what) {
  if (cur().kind != k) fail(what);
  advance();
}

// Skips to the next line that starts in the first column, where a new top-level
// expression most likely begins.
void Parser::resync() {
  advance();
  while (cur().kind != Tok::End && !(cur().line_start && cur().column == 1 &&
                                     cur().kind != Tok::RParen && cur().kind != Tok::Newline))
    advance();
}

NodePtr Parser::node(NodeKind k, const Token& at) {
  return std::make_unique<Node>(k, at.line, at.column, at.position);
}

// Sets the depth of a finished node; over-deep trees are rejected so that evaluating
// and destroying them cannot exhaust the stack.
NodePtr Parser::finish(NodePtr n) {
  int d = 0;
  for (auto& k : n->kids)
    if (k) d = std::max(d, k->depth);
  n->depth = d + 1;
  if (n->depth > kMaxTreeDepth) fail_message(L"expression too deeply nested");
  return n;
}

NodePtr Parser::make(NodeKind k, const Token& at, NodePtr a, NodePtr b, std::wstring text) {
  NodePtr n = node(k, at);
  n->kids.push_back(std::move(a));
  if (b) n->kids.push_back(std::move(b));
  n->text = std::move(text);
  return finish(std::move(n));
}

// The next link of a left-associative chain (a + b + c, a or b or c): the chain so far
// does not nest deeper, only the new operand does, so a flat sum of any length stays
// within the depth limit.
NodePtr Parser::chain(NodeKind k, const Token& at, NodePtr left, NodePtr right, std::wstring text) {
  NodePtr n = node(k, at);
  int depth = std::max(left->depth, right->depth + 1);
  n->kids.push_back(std::move(left));
  n->kids.push_back(std::move(right));
  n->text = std::move(text);
  n->depth = depth;
  if (depth > kMaxTreeDepth) fail_message(L"expression too deeply nested");
  return n;
}

// Errors in `a.b` and `a[i]` point at the start of the whole operand.
NodePtr Parser::at_start(NodePtr n) {
  n->line = n->kids[0]->line;
  n->column = n->kids[0]->column;
  n->position = n->kids[0]->position;
  return n;
}

bool Parser::can_start_operand(const Token& t) const {
  switch (t.kind) {
    case Tok::Integer:
    case Tok::Float:
    case Tok::String:
    case Tok::Name:
    case Tok::Ident:
    case Tok::HashParen:
    case Tok::LParen:
    case Tok::LBracket:
    case Tok::DoubleColon:
    case Tok::Path:
    case Tok::Time:
    case Tok::HashBrace:
      return true;
    case Tok::Other:
      return t.text == L"?" || t.text == L"&";
    default:
      return false;
  }
}

bool Parser::can_start_expr(const Token& t) const {
  if (can_start_operand(t)) return true;
  if (t.kind == Tok::Op && t.text == L"-") return true;
  if (t.kind == Tok::Keyword)
    return t.text == L"not" || t.text == L"if" || t.text == L"fn" || t.text == L"function" ||
           t.text == L"for" || t.text == L"while" || t.text == L"do" || t.text == L"case" ||
           t.text == L"try" || t.text == L"local" || t.text == L"global" || t.text == L"struct" ||
           t.text == L"throw" || t.text == L"return" || t.text == L"exit" ||
           t.text == L"continue" || t.text == L"mapped";
  return false;
}

// An argument of a call by juxtaposition: an operand on the same line, a keyword
// argument, or `-x` written as a negative argument ("f -1").
bool Parser::can_start_arg() const {
  const Token& t = cur();
  if (can_start_operand(t)) return true;
  if (t.kind == Tok::Keyword && peek().kind == Tok::Colon && !peek().space_before) return true;
  if (t.kind == Tok::Op && (t.text == L"-" || t.text == L"*") && t.space_before &&
      !peek().space_before && can_start_operand(peek()))
    return true;
  return false;
}

// ---- Statement forms led by words that are ordinary names elsewhere ----
bool Parser::is_bool_word(const Token& t) {
  if (t.kind != Tok::Ident) return false;
  std::wstring w = FoldCase(t.text);
  return w == L"on" || w == L"off" || w == L"true" || w == L"false";
}

bool Parser::is_keyarg_start(std::size_t k) const {
  const Token& a = peek(k);
  const Token& b = peek(k + 1);
  return (a.kind == Tok::Ident || a.kind == Tok::Keyword) && b.kind == Tok::Colon &&
         !b.space_before;
}

// An expression that ends with `)` (a rollout's body, a block, a call with `()`) may be
// followed by the next one on the same line, as in `)createDialog r` or `f() g()`.
bool Parser::follows_paren_on_line() const {
  return p_ > 0 && t_[p_ - 1].kind == Tok::RParen &&
         (cur().kind == Tok::Ident || cur().kind == Tok::Keyword) && can_start_expr(cur());
}

bool Parser::keyarg_continues() {
  if (case_labels_ || cur().kind != Tok::Newline) return false;
  std::size_t q = p_;
  while (t_[q].kind == Tok::Newline) ++q;
  const Token& a = t_[q];
  const Token& b = t_[std::min(q + 1, t_.size() - 1)];
  if (a.kind != Tok::Ident && a.kind != Tok::Keyword) return false;
  if (b.kind != Tok::Colon || b.space_before) return false;
  p_ = q;
  return true;
}

ParseResult parse_program(const std::wstring& text, const std::wstring& source_name) {
  ParseResult r;
  r.program = std::make_shared<Program>();
  r.program->source_name = source_name;
  r.program->text = text;
  Parser p(tokenize(text), r.program->text);
  p.parse(*r.program, r.errors);
  return r;
}

}  // namespace maxhost::mxs

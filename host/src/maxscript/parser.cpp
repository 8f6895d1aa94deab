#include "maxscript/parser.h"

#include <algorithm>
#include <initializer_list>
#include <cwctype>

#include "maxscript/lexer.h"

namespace maxhost::mxs {
namespace {

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

struct ParseAbort {
  SyntaxError error;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, const std::wstring& text)
      : t_(std::move(tokens)), text_(text) {}

  void parse(Program& program, std::vector<SyntaxError>& errors) {
    while (true) {
      skip_separators();
      if (cur().kind == Tok::End) break;
      try {
        NodePtr e = parse_expr();
        if (!is_separator(cur().kind)) fail(L"<end of expression>");
        if (errors.empty()) program.body.push_back(std::move(e));
      } catch (ParseAbort& a) {
        errors.push_back(std::move(a.error));
        resync();
      }
    }
  }

 private:
  std::vector<Token> t_;
  const std::wstring& text_;
  std::size_t p_ = 0;
  int nesting_ = 0;

  struct Nest {
    Parser& p;
    explicit Nest(Parser& parser) : p(parser) {
      if (++p.nesting_ > kMaxParseNesting) {
        --p.nesting_;
        p.fail_message(L"expression too deeply nested");
      }
    }
    ~Nest() { --p.nesting_; }
  };

  const Token& cur() const { return t_[p_]; }
  const Token& peek(std::size_t k = 1) const { return t_[std::min(p_ + k, t_.size() - 1)]; }
  void advance() {
    if (p_ + 1 < t_.size()) ++p_;
  }
  static bool is_separator(Tok k) {
    return k == Tok::Newline || k == Tok::Semicolon || k == Tok::End;
  }
  bool is_kw(const wchar_t* k) const { return cur().kind == Tok::Keyword && cur().text == k; }
  bool is_op(const wchar_t* o) const { return cur().kind == Tok::Op && cur().text == o; }
  void skip_newlines() {
    while (cur().kind == Tok::Newline) advance();
  }
  void skip_separators() {
    while (cur().kind == Tok::Newline || cur().kind == Tok::Semicolon) advance();
  }
  // Consumes newlines when the next real token is the keyword.
  bool next_is_kw(const wchar_t* k) {
    std::size_t q = p_;
    while (t_[q].kind == Tok::Newline) ++q;
    if (t_[q].kind == Tok::Keyword && t_[q].text == k) {
      p_ = q;
      return true;
    }
    return false;
  }

  std::wstring describe(const Token& t) const {
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

  std::wstring line_text(int line) const {
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

  [[noreturn]] void fail_message(const std::wstring& message) {
    const Token& t = cur();
    ParseAbort a;
    a.error.line = t.line;
    a.error.column = t.column;
    a.error.position = t.position;
    a.error.message = message;
    a.error.line_text = line_text(t.line);
    throw a;
  }
  [[noreturn]] void fail(const std::wstring& expected) {
    if (cur().kind == Tok::Error) fail_message(cur().text);
    fail_message(L"at " + describe(cur()) + L", expected " + expected);
  }
  void expect(Tok k, const wchar_t* what) {
    if (cur().kind != k) fail(what);
    advance();
  }
  void expect_kw(const wchar_t* k) {
    if (!is_kw(k)) fail(k);
    advance();
  }

  // Skips to the next line that starts in the first column, where a new top-level
  // expression most likely begins.
  void resync() {
    advance();
    while (cur().kind != Tok::End && !(cur().line_start && cur().column == 1 &&
                                       cur().kind != Tok::RParen && cur().kind != Tok::Newline))
      advance();
  }

  NodePtr node(NodeKind k, const Token& at) {
    return std::make_unique<Node>(k, at.line, at.column, at.position);
  }
  NodePtr node(NodeKind k) { return node(k, cur()); }
  // Sets the depth of a finished node; over-deep trees are rejected so that evaluating
  // and destroying them cannot exhaust the stack.
  NodePtr finish(NodePtr n) {
    int d = 0;
    for (auto& k : n->kids)
      if (k) d = std::max(d, k->depth);
    n->depth = d + 1;
    if (n->depth > kMaxTreeDepth) fail_message(L"expression too deeply nested");
    return n;
  }
  NodePtr make(NodeKind k, const Token& at, NodePtr a, NodePtr b = nullptr,
               std::wstring text = {}) {
    NodePtr n = node(k, at);
    n->kids.push_back(std::move(a));
    if (b) n->kids.push_back(std::move(b));
    n->text = std::move(text);
    return finish(std::move(n));
  }

  // The next link of a left-associative chain (a + b + c, a or b or c): the chain so far
  // does not nest deeper, only the new operand does, so a flat sum of any length stays
  // within the depth limit.
  NodePtr chain(NodeKind k, const Token& at, NodePtr left, NodePtr right, std::wstring text = {}) {
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
  static NodePtr at_start(NodePtr n) {
    n->line = n->kids[0]->line;
    n->column = n->kids[0]->column;
    n->position = n->kids[0]->position;
    return n;
  }

  bool can_start_operand(const Token& t) const {
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
  bool can_start_expr(const Token& t) const {
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
  bool can_start_arg() const {
    const Token& t = cur();
    if (can_start_operand(t)) return true;
    if (t.kind == Tok::Keyword && peek().kind == Tok::Colon && !peek().space_before) return true;
    if (t.kind == Tok::Op && (t.text == L"-" || t.text == L"*") && t.space_before &&
        !peek().space_before && can_start_operand(peek()))
      return true;
    return false;
  }

  NodePtr parse_expr() {
    Nest nest(*this);
    if (NodePtr c = try_construct()) return c;
    const Token& t = cur();
    if (t.kind == Tok::Keyword) {
      const std::wstring& k = t.text;
      if (k == L"local" || k == L"global" || k == L"persistent") return parse_decl();
      if (k == L"fn" || k == L"function" || k == L"mapped") return parse_fn();
      if (k == L"struct") return parse_struct();
      if (k == L"if") return parse_if();
      if (k == L"while") return parse_while();
      if (k == L"do") return parse_do();
      if (k == L"for") return parse_for();
      if (k == L"case") return parse_case();
      if (k == L"try") return parse_try();
      if (k == L"throw" || k == L"return") {
        NodePtr n = node(k == L"throw" ? NodeKind::Throw : NodeKind::Return);
        advance();
        if (can_start_expr(cur())) n->kids.push_back(parse_expr());
        return finish(std::move(n));
      }
      if (k == L"exit") {
        NodePtr n = node(NodeKind::Exit);
        advance();
        if (is_kw(L"with")) {
          advance();
          skip_newlines();
          n->kids.push_back(parse_expr());
        }
        return finish(std::move(n));
      }
      if (k == L"continue") {
        NodePtr n = node(NodeKind::Continue);
        advance();
        return n;
      }
    }
    return parse_assignment();
  }

  NodePtr parse_assignment() {
    NodePtr lhs = parse_or();
    if (cur().kind == Tok::Op &&
        (cur().text == L"=" || cur().text == L"+=" || cur().text == L"-=" || cur().text == L"*=" ||
         cur().text == L"/=")) {
      if (lhs->kind != NodeKind::Ident && lhs->kind != NodeKind::Property &&
          lhs->kind != NodeKind::Index)
        fail(L"<end of expression>");
      Token op = cur();
      advance();
      skip_newlines();
      NodePtr rhs = parse_expr();
      return make(NodeKind::Assign, op, std::move(lhs), std::move(rhs), op.text);
    }
    return lhs;
  }

  NodePtr parse_or() {
    NodePtr l = parse_and();
    while (is_kw(L"or")) {
      Token op = cur();
      advance();
      skip_newlines();
      l = chain(NodeKind::Or, op, std::move(l), parse_and());
    }
    return l;
  }
  NodePtr parse_and() {
    NodePtr l = parse_not();
    while (is_kw(L"and")) {
      Token op = cur();
      advance();
      skip_newlines();
      l = chain(NodeKind::And, op, std::move(l), parse_not());
    }
    return l;
  }
  NodePtr parse_not() {
    if (is_kw(L"not")) {
      Nest nest(*this);
      Token op = cur();
      advance();
      skip_newlines();
      return make(NodeKind::Not, op, parse_not());
    }
    return parse_compare();
  }
  // One left-associative level of binary operators: operands come from the next level; a
  // newline may follow an operator but not precede it.
  NodePtr parse_binary_level(NodePtr (Parser::*next)(), std::initializer_list<const wchar_t*> ops) {
    NodePtr l = (this->*next)();
    auto at_op = [&] {
      for (const wchar_t* o : ops)
        if (is_op(o)) return true;
      return false;
    };
    while (at_op()) {
      Token op = cur();
      advance();
      skip_newlines();
      l = chain(NodeKind::Binary, op, std::move(l), (this->*next)(), op.text);
    }
    return l;
  }
  NodePtr parse_compare() {
    return parse_binary_level(&Parser::parse_sum, {L"==", L"!=", L"<", L"<=", L">", L">="});
  }
  NodePtr parse_sum() { return parse_binary_level(&Parser::parse_product, {L"+", L"-"}); }
  NodePtr parse_product() { return parse_binary_level(&Parser::parse_power, {L"*", L"/"}); }
  NodePtr parse_power() {
    NodePtr b = parse_unary();
    if (is_op(L"^")) {
      Nest nest(*this);
      Token op = cur();
      advance();
      skip_newlines();
      return make(NodeKind::Binary, op, std::move(b), parse_power(), L"^");
    }
    return b;
  }
  NodePtr negate(const Token& op, NodePtr x) {
    if (x->kind == NodeKind::Integer) {
      x->ival = static_cast<int>(0u - static_cast<unsigned>(x->ival));
      return x;
    }
    if (x->kind == NodeKind::Float) {
      x->fval = -x->fval;
      return x;
    }
    return make(NodeKind::Negate, op, std::move(x));
  }
  NodePtr parse_unary() {
    if (is_op(L"-")) {
      Nest nest(*this);
      Token op = cur();
      advance();
      return negate(op, parse_unary());
    }
    return parse_as();
  }
  NodePtr parse_as() {
    NodePtr x = parse_call();
    while (is_kw(L"as")) {
      Token op = cur();
      advance();
      skip_newlines();
      x = make(NodeKind::As, op, std::move(x), parse_operand());
    }
    return x;
  }

  NodePtr parse_arg_operand() {
    if (is_op(L"-")) {
      Token op = cur();
      advance();
      return negate(op, parse_operand());
    }
    return parse_operand();
  }

  NodePtr parse_call() {
    Token start = cur();
    NodePtr f = parse_operand();
    if (cur().kind == Tok::LParen && peek().kind == Tok::RParen) {
      advance();
      advance();
      return make(NodeKind::Call, start, std::move(f));
    }
    if (!can_start_arg()) return f;
    NodePtr call = node(NodeKind::Call, start);
    call->kids.push_back(std::move(f));
    while (can_start_arg()) {
      if ((cur().kind == Tok::Ident || cur().kind == Tok::Keyword) && peek().kind == Tok::Colon) {
        NodePtr k = node(NodeKind::KeyArg);
        k->text = cur().text;
        advance();
        advance();
        k->kids.push_back(parse_arg_operand());
        call->kids.push_back(finish(std::move(k)));
      } else {
        call->kids.push_back(parse_arg_operand());
      }
    }
    return finish(std::move(call));
  }

  NodePtr parse_operand() {
    NodePtr x = parse_factor();
    while (true) {
      if (cur().kind == Tok::Dot) {
        Token dot = cur();
        advance();
        if (cur().kind != Tok::Ident && cur().kind != Tok::Keyword) fail(L"<property name>");
        std::wstring name = cur().text;
        advance();
        x = at_start(make(NodeKind::Property, dot, std::move(x), nullptr, name));
      } else if (cur().kind == Tok::LBracket && !cur().space_before) {
        Nest nest(*this);
        Token br = cur();
        advance();
        skip_newlines();
        NodePtr idx = parse_expr();
        skip_newlines();
        expect(Tok::RBracket, L"]");
        x = at_start(make(NodeKind::Index, br, std::move(x), std::move(idx)));
      } else {
        return x;
      }
    }
  }

  NodePtr parse_factor() {
    const Token t = cur();
    switch (t.kind) {
      case Tok::Integer: {
        NodePtr n = node(NodeKind::Integer);
        n->ival = t.ival;
        advance();
        return n;
      }
      case Tok::Float: {
        NodePtr n = node(NodeKind::Float);
        n->fval = t.fval;
        advance();
        return n;
      }
      case Tok::String: {
        NodePtr n = node(NodeKind::String);
        n->text = t.text;
        advance();
        return n;
      }
      case Tok::Name: {
        NodePtr n = node(NodeKind::NameLit);
        n->text = t.text;
        advance();
        return n;
      }
      case Tok::Ident: {
        NodePtr n = node(NodeKind::Ident);
        n->text = t.text;
        advance();
        return n;
      }
      case Tok::DoubleColon: {
        advance();
        if (cur().kind != Tok::Ident) fail(L"<global name>");
        NodePtr n = node(NodeKind::Ident, t);
        n->text = cur().text;
        n->flag = true;
        advance();
        return n;
      }
      case Tok::HashParen:
        return parse_list(NodeKind::ArrayLit, Tok::RParen, L")");
      case Tok::HashBrace:
        return parse_list(NodeKind::BitArrayLit, Tok::RBrace, L"}");
      case Tok::Time: {
        NodePtr n = node(NodeKind::TimeLit);
        n->fval = t.fval;
        advance();
        return n;
      }
      case Tok::Path: {
        NodePtr n = node(NodeKind::PathName);
        n->text = t.text;
        advance();
        return n;
      }
      case Tok::Other:
        if (t.text == L"?") {
          NodePtr n = node(NodeKind::Ident);
          n->text = L"?";
          advance();
          return n;
        }
        if (t.text == L"&") {
          Nest nest(*this);
          advance();
          return make(NodeKind::ByRef, t, parse_operand());
        }
        fail(L"<factor>");
      case Tok::Op:
        if (t.text == L"*" && !peek().space_before) {
          Nest nest(*this);
          advance();
          return make(NodeKind::Deref, t, parse_operand());
        }
        fail(L"<factor>");
      case Tok::LBracket:
        return parse_list(NodeKind::PointLit, Tok::RBracket, L"]");
      case Tok::LParen: {
        Nest nest(*this);
        advance();
        skip_separators();
        if (cur().kind == Tok::RParen) {
          advance();
          return node(NodeKind::Empty, t);
        }
        NodePtr b = node(NodeKind::Block, t);
        while (true) {
          b->kids.push_back(parse_expr());
          if (cur().kind == Tok::RParen) break;
          if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
          skip_separators();
          if (cur().kind == Tok::RParen) break;
        }
        advance();
        return finish(std::move(b));
      }
      default:
        fail(L"<factor>");
    }
  }

  NodePtr parse_list(NodeKind kind, Tok close, const wchar_t* close_text) {
    Nest nest(*this);
    NodePtr n = node(kind);
    advance();
    skip_newlines();
    if (cur().kind != close) {
      while (true) {
        n->kids.push_back(parse_expr());
        if (kind == NodeKind::BitArrayLit && cur().kind == Tok::DotDot) {
          Token dd = cur();
          advance();
          skip_newlines();
          NodePtr from = std::move(n->kids.back());
          n->kids.back() = make(NodeKind::Range, dd, std::move(from), parse_expr());
        }
        skip_newlines();
        if (cur().kind == close) break;
        expect(Tok::Comma, close_text);
        skip_newlines();
      }
    }
    advance();
    return finish(std::move(n));
  }

  NodePtr parse_decl() {
    NodePtr d = node(NodeKind::Decl);
    if (is_kw(L"persistent")) advance();
    d->flag = is_kw(L"global");
    if (!is_kw(L"global") && !is_kw(L"local")) fail(L"global");
    advance();
    while (true) {
      if (cur().kind != Tok::Ident) fail(L"<name>");
      NodePtr item = node(NodeKind::DeclItem);
      item->text = cur().text;
      advance();
      if (is_op(L"=")) {
        advance();
        skip_newlines();
        item->kids.push_back(parse_expr());
      }
      d->kids.push_back(finish(std::move(item)));
      if (cur().kind != Tok::Comma) break;
      advance();
      skip_newlines();
    }
    return finish(std::move(d));
  }

  NodePtr parse_fn() {
    NodePtr f = node(NodeKind::FnDef);
    if (is_kw(L"mapped")) advance();
    if (!is_kw(L"fn") && !is_kw(L"function")) fail(L"fn");
    advance();
    if (cur().kind != Tok::Ident) fail(L"<function name>");
    f->text = cur().text;
    advance();
    while (cur().kind == Tok::Ident || (cur().kind == Tok::Other && cur().text == L"&")) {
      if (cur().kind == Tok::Other) advance();
      if (cur().kind != Tok::Ident) fail(L"<parameter name>");
      NodePtr p = node(NodeKind::Param);
      p->text = cur().text;
      advance();
      if (cur().kind == Tok::Colon) {
        p->flag = true;
        advance();
        if (!is_op(L"=") && !is_keyarg_start() && (can_start_operand(cur()) || is_op(L"-")))
          p->kids.push_back(parse_arg_operand());
      }
      f->kids.push_back(finish(std::move(p)));
    }
    if (!is_op(L"=")) fail(L"=");
    advance();
    skip_newlines();
    f->kids.push_back(parse_expr());
    return finish(std::move(f));
  }

  NodePtr parse_struct() {
    NodePtr s = node(NodeKind::StructDef);
    advance();
    if (cur().kind != Tok::Ident) fail(L"<struct name>");
    s->text = cur().text;
    advance();
    skip_newlines();
    expect(Tok::LParen, L"(");
    skip_newlines();
    // Handlers go after the members so that member i stays kids[i].
    std::vector<NodePtr> handlers;
    while (cur().kind != Tok::RParen) {
      if (cur().kind == Tok::Ident &&
          (lower(cur().text) == L"public" || lower(cur().text) == L"private") &&
          (peek().kind == Tok::Colon || peek().kind == Tok::Newline || peek().kind == Tok::Ident ||
           peek().kind == Tok::Keyword)) {
        advance();
        if (cur().kind == Tok::Colon) advance();
        skip_newlines();
        continue;
      }
      if (cur().kind == Tok::Ident && lower(cur().text) == L"on" && peek().kind == Tok::Ident) {
        handlers.push_back(parse_handler());
      } else if (is_kw(L"fn") || is_kw(L"function") || is_kw(L"mapped")) {
        s->kids.push_back(parse_fn());
      } else if (cur().kind == Tok::Ident) {
        NodePtr m = node(NodeKind::StructField);
        m->text = cur().text;
        advance();
        if (is_op(L"=")) {
          advance();
          skip_newlines();
          m->kids.push_back(parse_expr());
        }
        s->kids.push_back(finish(std::move(m)));
      } else {
        fail(L"<struct member>");
      }
      bool newline = cur().kind == Tok::Newline;
      skip_newlines();
      if (cur().kind == Tok::Comma) {
        advance();
        skip_newlines();
      } else if (cur().kind != Tok::RParen && !newline) {
        fail(L")");
      }
    }
    advance();
    for (auto& h : handlers) s->kids.push_back(std::move(h));
    return finish(std::move(s));
  }

  // ---- Statement forms led by words that are ordinary names elsewhere ----

  static bool is_bool_word(const Token& t) {
    if (t.kind != Tok::Ident) return false;
    std::wstring w = lower(t.text);
    return w == L"on" || w == L"off" || w == L"true" || w == L"false";
  }
  bool is_keyarg_start(std::size_t k = 0) const {
    const Token& a = peek(k);
    const Token& b = peek(k + 1);
    return (a.kind == Tok::Ident || a.kind == Tok::Keyword) && b.kind == Tok::Colon &&
           !b.space_before;
  }

  // A context clause may open a statement without `with` when its shape is unmistakable.
  bool context_starts_here() const {
    const Token& t = cur();
    if (t.kind == Tok::Keyword) return t.text == L"with" || t.text == L"in";
    if (t.kind != Tok::Ident) return false;
    std::wstring w = lower(t.text);
    const Token& n = peek();
    if (w == L"animate" || w == L"redraw" || w == L"quiet") return is_bool_word(n);
    if (w == L"undo") return is_bool_word(n) || n.kind == Tok::String;
    if (w == L"at")
      return n.kind == Tok::Ident && (lower(n.text) == L"time" || lower(n.text) == L"level");
    if (w == L"coordsys") return n.kind == Tok::Ident || n.kind == Tok::Path;
    if (w == L"about")
      return n.kind == Tok::Ident || n.kind == Tok::Path || n.kind == Tok::LBracket;
    return false;
  }

  NodePtr try_construct() {
    const Token& t = cur();
    if (context_starts_here()) return parse_context(false);
    if (t.kind != Tok::Ident) return nullptr;
    std::wstring w = lower(t.text);
    const Token& n = peek();
    if ((w == L"rollout" || w == L"utility" || w == L"rcmenu") && n.kind == Tok::Ident)
      return parse_definition(w, true);
    if (w == L"macroscript" && n.kind == Tok::Ident) return parse_definition(L"macroScript", false);
    if (w == L"plugin" && n.kind == Tok::Ident && peek(2).kind == Tok::Ident)
      return parse_definition(w, false);
    if ((w == L"attributes" || w == L"tool") && n.kind == Tok::Ident && !is_keyarg_start())
      return parse_definition(w, false);
    if (w == L"when" && can_start_operand(n)) return parse_when();
    if (w == L"max" && (n.kind == Tok::Ident || n.kind == Tok::Keyword)) return parse_max_command();
    if (w == L"set" && n.kind == Tok::Ident) {
      std::size_t save = p_;
      advance();
      if (context_starts_here() || lower(cur().text) == L"coordsys") return parse_context(true);
      p_ = save;
    }
    return nullptr;
  }

  // Header operands and keyword arguments on the definition's line.
  void parse_header_args(Node& d) {
    while (can_start_arg() && cur().kind != Tok::LParen) {
      if (is_keyarg_start()) {
        NodePtr k = node(NodeKind::KeyArg);
        k->text = cur().text;
        advance();
        advance();
        k->kids.push_back(parse_arg_operand());
        d.kids.push_back(finish(std::move(k)));
      } else {
        d.kids.push_back(parse_arg_operand());
      }
    }
  }

  NodePtr name_node() {
    if (cur().kind != Tok::Ident) fail(L"<name>");
    NodePtr n = node(NodeKind::Ident);
    n->text = cur().text;
    advance();
    return n;
  }

  NodePtr parse_definition(const std::wstring& kind, bool controls) {
    Nest nest(*this);
    NodePtr d = node(NodeKind::Definition);
    d->text = kind;
    advance();
    if (kind == L"plugin") d->kids.push_back(name_node());  // superclass
    if (kind != L"group" && kind != L"submenu") d->kids.push_back(name_node());
    parse_header_args(*d);
    skip_newlines();
    d->kids.push_back(parse_def_body(controls));
    return finish(std::move(d));
  }

  NodePtr parse_def_body(bool controls) {
    NodePtr b = node(NodeKind::DefBody);
    expect(Tok::LParen, L"(");
    skip_separators();
    while (cur().kind != Tok::RParen) {
      b->kids.push_back(parse_def_item(controls));
      if (cur().kind == Tok::RParen) break;
      if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
      skip_separators();
    }
    advance();
    return finish(std::move(b));
  }

  NodePtr parse_def_item(bool controls) {
    Nest nest(*this);
    const Token& t = cur();
    if (t.kind == Tok::Ident) {
      std::wstring w = lower(t.text);
      const Token& n = peek();
      if (w == L"on" && (n.kind == Tok::Ident || n.kind == Tok::Keyword)) return parse_handler();
      if (w == L"parameters" && n.kind == Tok::Ident) return parse_definition(w, true);
      if (controls && (w == L"group" || w == L"submenu") &&
          (n.kind == Tok::String || n.kind == Tok::Ident))
        return parse_definition(w, true);
      if (NodePtr c = try_construct()) return c;
      if (controls && n.kind == Tok::Ident) return parse_control();
    }
    return parse_expr();
  }

  // `button btn "Caption" width:80`, or a parameter `p type:#float default:1 ui:spn`.
  NodePtr parse_control() {
    NodePtr c = node(NodeKind::Control);
    if (!is_keyarg_start(1)) {
      c->text = cur().text;
      advance();
    }
    c->kids.push_back(name_node());
    parse_header_args(*c);
    return finish(std::move(c));
  }

  // on <words...> do|return <expr>
  NodePtr parse_handler() {
    NodePtr h = node(NodeKind::Handler);
    advance();
    while (cur().kind == Tok::Ident || (cur().kind == Tok::Other && cur().text == L"&")) {
      if (cur().kind == Tok::Other) advance();
      h->kids.push_back(name_node());
    }
    if (h->kids.empty()) fail(L"<event name>");
    if (!is_kw(L"do") && !is_kw(L"return")) fail(L"do");
    h->text = cur().text;
    advance();
    skip_newlines();
    h->kids.push_back(parse_expr());
    return finish(std::move(h));
  }

  // `coordsys local` names its system with a word that is otherwise a keyword.
  NodePtr context_value() {
    if (cur().kind == Tok::Keyword) return name_like_keyword();
    return parse_arg_operand();
  }
  NodePtr name_like_keyword() {
    NodePtr n = node(NodeKind::Ident);
    n->text = cur().text;
    advance();
    return n;
  }

  NodePtr context_clause() {
    NodePtr k = node(NodeKind::KeyArg);
    if (is_kw(L"in")) {
      advance();
      if (cur().kind == Tok::Ident && lower(cur().text) == L"coordsys") {
        advance();
        k->text = L"coordsys";
      } else {
        k->text = L"in";
      }
      k->kids.push_back(context_value());
      return finish(std::move(k));
    }
    if (cur().kind != Tok::Ident) fail(L"<context>");
    std::wstring w = lower(cur().text);
    advance();
    if (w == L"at") {
      if (cur().kind != Tok::Ident) fail(L"time");
      w = lower(cur().text);
      if (w != L"time" && w != L"level") fail(L"time");
      advance();
    } else if (w == L"undo") {
      k->text = w;
      k->kids.push_back(parse_arg_operand());
      if (is_bool_word(cur())) k->kids.push_back(parse_arg_operand());  // label, then on/off
      return finish(std::move(k));
    } else if (w != L"animate" && w != L"redraw" && w != L"quiet" && w != L"coordsys" &&
               w != L"about" && w != L"time" && w != L"level" && w != L"printallelements" &&
               w != L"defaultaction" && w != L"mxscallstackcaptureenabled" &&
               w != L"dontrepeatmessages") {
      p_ -= 1;
      fail(L"<context>");
    }
    k->text = w;
    k->kids.push_back(context_value());
    return finish(std::move(k));
  }

  // [with|set] <context> {, <context>} <expr>
  NodePtr parse_context(bool set) {
    NodePtr c = node(NodeKind::Context);
    if (is_kw(L"with")) advance();
    while (true) {
      c->kids.push_back(context_clause());
      if (cur().kind != Tok::Comma) break;
      advance();
      skip_newlines();
    }
    if (set) {
      c->kids.push_back(nullptr);
    } else {
      skip_newlines();
      c->kids.push_back(parse_expr());
    }
    return finish(std::move(c));
  }

  // when <attribute> <objects> changes [id:#n] [handleAt:#redrawViews] [obj] do <expr>
  NodePtr parse_when() {
    NodePtr w = node(NodeKind::When);
    advance();
    while (!is_kw(L"do")) {
      if (is_separator(cur().kind) || !can_start_arg()) fail(L"do");
      if (is_keyarg_start()) {
        NodePtr k = node(NodeKind::KeyArg);
        k->text = cur().text;
        advance();
        advance();
        k->kids.push_back(parse_arg_operand());
        w->kids.push_back(finish(std::move(k)));
      } else {
        w->kids.push_back(parse_arg_operand());
      }
    }
    advance();
    skip_newlines();
    w->kids.push_back(parse_expr());
    return finish(std::move(w));
  }

  NodePtr parse_max_command() {
    NodePtr m = node(NodeKind::MaxCommand);
    advance();
    while (cur().kind == Tok::Ident || cur().kind == Tok::Keyword) {
      if (!m->text.empty()) m->text += L' ';
      m->text += cur().text;
      advance();
    }
    return m;
  }

  NodePtr parse_if() {
    NodePtr n = node(NodeKind::If);
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    if (next_is_kw(L"then")) {
      advance();
      skip_newlines();
      n->kids.push_back(parse_expr());
      if (next_is_kw(L"else")) {
        advance();
        skip_newlines();
        n->kids.push_back(parse_expr());
      }
    } else if (next_is_kw(L"do")) {
      advance();
      skip_newlines();
      n->kids.push_back(parse_expr());
    } else {
      fail(L"then");
    }
    return finish(std::move(n));
  }

  NodePtr parse_while() {
    NodePtr n = node(NodeKind::While);
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    if (!next_is_kw(L"do")) fail(L"do");
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    return finish(std::move(n));
  }

  NodePtr parse_do() {
    NodePtr n = node(NodeKind::DoWhile);
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    if (!next_is_kw(L"while")) fail(L"while");
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    return finish(std::move(n));
  }

  NodePtr optional_clause(const wchar_t* kw) {
    if (!next_is_kw(kw)) return nullptr;
    advance();
    skip_newlines();
    return parse_expr();
  }

  NodePtr parse_for() {
    NodePtr n = node(NodeKind::ForTo);
    advance();
    if (cur().kind != Tok::Ident) fail(L"<loop variable>");
    n->text = cur().text;
    advance();
    if (is_op(L"=")) {
      advance();
      skip_newlines();
      n->kids.push_back(parse_expr());
      if (!next_is_kw(L"to")) fail(L"to");
      advance();
      skip_newlines();
      n->kids.push_back(parse_expr());
      n->kids.push_back(optional_clause(L"by"));
    } else if (is_kw(L"in")) {
      n->kind = NodeKind::ForIn;
      advance();
      skip_newlines();
      n->kids.push_back(parse_expr());
      n->kids.push_back(nullptr);
      n->kids.push_back(nullptr);
    } else {
      fail(L"=");
    }
    n->kids.push_back(optional_clause(L"while"));
    n->kids.push_back(optional_clause(L"where"));
    if (next_is_kw(L"do")) {
      n->flag = false;
    } else if (next_is_kw(L"collect")) {
      n->flag = true;
    } else {
      fail(L"do");
    }
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    return finish(std::move(n));
  }

  NodePtr parse_case() {
    NodePtr n = node(NodeKind::Case);
    advance();
    if (is_kw(L"of"))
      n->kids.push_back(nullptr);
    else
      n->kids.push_back(parse_expr());
    if (!next_is_kw(L"of")) fail(L"of");
    advance();
    skip_newlines();
    expect(Tok::LParen, L"(");
    skip_separators();
    while (cur().kind != Tok::RParen) {
      NodePtr item = node(NodeKind::CaseItem);
      if (cur().kind == Tok::Ident && peek().kind == Tok::Colon && cur().text.size() == 7 &&
          (cur().text == L"default" || cur().text == L"Default" || cur().text == L"DEFAULT")) {
        advance();
        item->kids.push_back(nullptr);
      } else {
        item->kids.push_back(parse_arg_operand());
      }
      expect(Tok::Colon, L":");
      skip_newlines();
      item->kids.push_back(parse_expr());
      n->kids.push_back(finish(std::move(item)));
      if (cur().kind == Tok::RParen) break;
      if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
      skip_separators();
    }
    advance();
    return finish(std::move(n));
  }

  NodePtr parse_try() {
    NodePtr n = node(NodeKind::Try);
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    if (!next_is_kw(L"catch")) fail(L"catch");
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    return finish(std::move(n));
  }
};

}  // namespace

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

// Expressions: operator levels from assignment down to operands, calls by juxtaposition,
// factors and list literals.
#include <array>

#include "maxscript/parser_impl.h"

namespace maxhost::mxs {

NodePtr Parser::parse_expr() {
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
      } else if (cur().kind == Tok::LParen && peek().kind == Tok::RParen) {
        advance();  // `exit ()`: the empty value after exit adds nothing
        advance();
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

NodePtr Parser::parse_assignment() {
  NodePtr lhs = parse_or();
  if (cur().kind == Tok::Op && (cur().text == L"=" || cur().text == L"+=" || cur().text == L"-=" ||
                                cur().text == L"*=" || cur().text == L"/=")) {
    if (lhs->kind != NodeKind::Ident && lhs->kind != NodeKind::Property &&
        lhs->kind != NodeKind::Index && lhs->kind != NodeKind::Deref)
      fail(L"<end of expression>");
    Token op = cur();
    advance();
    skip_newlines();
    NodePtr rhs = parse_expr();
    return make(NodeKind::Assign, op, std::move(lhs), std::move(rhs), op.text);
  }
  return lhs;
}

NodePtr Parser::parse_or() {
  NodePtr l = parse_and();
  while (is_kw(L"or")) {
    Token op = cur();
    advance();
    skip_newlines();
    l = chain(NodeKind::Or, op, std::move(l), parse_and());
  }
  return l;
}

NodePtr Parser::parse_and() {
  NodePtr l = parse_not();
  while (is_kw(L"and")) {
    Token op = cur();
    advance();
    skip_newlines();
    l = chain(NodeKind::And, op, std::move(l), parse_not());
  }
  return l;
}

NodePtr Parser::parse_not() {
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
NodePtr Parser::parse_binary_level(NodePtr (Parser::*next)(),
                                   std::initializer_list<const wchar_t*> ops) {
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

NodePtr Parser::parse_compare() {
  return parse_binary_level(&Parser::parse_sum, {L"==", L"!=", L"<", L"<=", L">", L">="});
}

NodePtr Parser::parse_power() {
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

NodePtr Parser::negate(const Token& op, NodePtr x) {
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

NodePtr Parser::parse_unary() {
  if (is_op(L"-")) {
    Nest nest(*this);
    Token op = cur();
    advance();
    return negate(op, parse_unary());
  }
  return parse_as();
}

NodePtr Parser::parse_as() {
  NodePtr x = parse_call();
  while (is_kw(L"as")) {
    Token op = cur();
    advance();
    skip_newlines();
    x = make(NodeKind::As, op, std::move(x), parse_operand());
  }
  return x;
}

NodePtr Parser::parse_arg_operand() {
  if (is_op(L"-")) {
    Token op = cur();
    advance();
    return negate(op, parse_operand());
  }
  return parse_operand();
}

NodePtr Parser::parse_call() {
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
  while (can_start_arg() || keyarg_continues()) {
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

NodePtr Parser::parse_operand() {
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

namespace {

NodeKind literal_kind(Tok k) {
  switch (k) {
    case Tok::Integer:
      return NodeKind::Integer;
    case Tok::Float:
      return NodeKind::Float;
    case Tok::String:
      return NodeKind::String;
    case Tok::Name:
      return NodeKind::NameLit;
    case Tok::Time:
      return NodeKind::TimeLit;
    case Tok::Path:
      return NodeKind::PathName;
    default:
      return NodeKind::Ident;
  }
}

}  // namespace

const Parser::FactorRule* Parser::factor_rules() {
  static const std::array<FactorRule, kTokKinds> rules = [] {
    std::array<FactorRule, kTokKinds> r{};
    auto set = [&r](std::initializer_list<Tok> kinds, FactorRule rule) {
      for (Tok k : kinds) r[static_cast<std::size_t>(k)] = rule;
    };
    set({Tok::Integer, Tok::Float, Tok::String, Tok::Name, Tok::Ident, Tok::Time, Tok::Path},
        &Parser::factor_literal);
    set({Tok::HashParen, Tok::HashBrace, Tok::LBracket}, &Parser::factor_list);
    set({Tok::DoubleColon}, &Parser::factor_global);
    set({Tok::Other}, &Parser::factor_other);
    set({Tok::Op}, &Parser::factor_deref);
    set({Tok::LParen}, &Parser::factor_block);
    return r;
  }();
  return rules.data();
}

NodePtr Parser::parse_factor() {
  const Token t = cur();
  FactorRule rule = factor_rules()[static_cast<std::size_t>(t.kind)];
  if (rule == nullptr) fail(L"<factor>");
  return (this->*rule)(t);
}

// A number, string, #name, identifier, time or path: one token.
NodePtr Parser::factor_literal(const Token& t) {
  NodePtr n = node(literal_kind(t.kind));
  if ((t.kind == Tok::Integer || t.kind == Tok::Float) && !t.text.empty()) {
    if (t.text.back() == L'L') n->kind = NodeKind::Integer64Lit;
    if (t.kind == Tok::Float && t.text.find_first_of(L"dD") != std::wstring::npos)
      n->kind = NodeKind::DoubleLit;
  }
  n->ival = t.ival;
  n->fval = t.fval;
  n->text = t.text;
  advance();
  return n;
}

// `#(...)` arrays, `#{...}` bit arrays and `[x, y, z]` points.
NodePtr Parser::factor_list(const Token& t) {
  if (t.kind == Tok::HashParen) return parse_list(NodeKind::ArrayLit, Tok::RParen, L")");
  if (t.kind == Tok::HashBrace) return parse_list(NodeKind::BitArrayLit, Tok::RBrace, L"}");
  return parse_list(NodeKind::PointLit, Tok::RBracket, L"]");
}

// `::name` reads the global even where a local hides it.
NodePtr Parser::factor_global(const Token& t) {
  advance();
  if (cur().kind != Tok::Ident) fail(L"<global name>");
  NodePtr n = node(NodeKind::Ident, t);
  n->text = cur().text;
  n->flag = true;
  advance();
  return n;
}

// `?` (the last listener result) and `&x` (by reference).
NodePtr Parser::factor_other(const Token& t) {
  if (t.text == L"?") {
    NodePtr n = node(NodeKind::Ident);
    n->text = L"?";
    advance();
    return n;
  }
  if (t.text != L"&") fail(L"<factor>");
  Nest nest(*this);
  advance();
  return make(NodeKind::ByRef, t, parse_operand());
}

// `*x` dereferences; any other operator cannot start a factor.
NodePtr Parser::factor_deref(const Token& t) {
  if (t.text != L"*" || peek().space_before) fail(L"<factor>");
  Nest nest(*this);
  advance();
  return make(NodeKind::Deref, t, parse_operand());
}

// `( e1; e2 ... )` is a block whose value is the last expression; `()` is undefined.
NodePtr Parser::factor_block(const Token& t) {
  Nest nest(*this);
  CaseLabels inner(*this, false);
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
    if (follows_paren_on_line()) continue;
    if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
    skip_separators();
    if (cur().kind == Tok::RParen) break;
  }
  advance();
  return finish(std::move(b));
}

NodePtr Parser::parse_list(NodeKind kind, Tok close, const wchar_t* close_text) {
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

}  // namespace maxhost::mxs

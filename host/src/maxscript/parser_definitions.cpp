// Declarations, functions, structs and the block definitions (rollouts, utilities,
// plug-ins, macroScripts) with their controls and event handlers.
#include "base/text.h"
#include "maxscript/parser_impl.h"

namespace maxhost::mxs {

NodePtr Parser::parse_decl() {
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
    // `global a b` declares both, as `global a, b` does.
    if (cur().kind == Tok::Ident) continue;
    if (cur().kind != Tok::Comma) break;
    advance();
    skip_newlines();
  }
  return finish(std::move(d));
}

NodePtr Parser::parse_fn() {
  NodePtr f = node(NodeKind::FnDef);
  if (is_kw(L"mapped")) {
    f->flag = true;
    advance();
  }
  if (!is_kw(L"fn") && !is_kw(L"function")) fail(L"fn");
  advance();
  if (cur().kind != Tok::Ident) fail(L"<function name>");
  f->text = cur().text;
  advance();
  // The header is not complete before its `=`: keyword parameters, and the `=` itself, may
  // go on over the following lines.
  // A keyword parameter may be named by a reserved word (`to:`, `as:`), as a call's keyword
  // argument may.
  auto reserved_keyword = [this] {
    return cur().kind == Tok::Keyword && peek().kind == Tok::Colon && !peek().space_before;
  };
  while (cur().kind == Tok::Ident || (cur().kind == Tok::Other && cur().text == L"&") ||
         reserved_keyword() || keyarg_continues()) {
    const bool by_reference = cur().kind == Tok::Other;
    if (by_reference) advance();
    if (cur().kind != Tok::Ident && !reserved_keyword()) fail(L"<parameter name>");
    NodePtr p = node(NodeKind::Param);
    p->ival = by_reference ? 1 : 0;
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
  std::size_t q = p_;
  while (t_[q].kind == Tok::Newline) ++q;
  if (t_[q].kind == Tok::Op && t_[q].text == L"=") p_ = q;
  if (!is_op(L"=")) fail(L"=");
  advance();
  skip_newlines();
  f->kids.push_back(parse_expr());
  return finish(std::move(f));
}

NodePtr Parser::parse_struct() {
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
  bool in_private = false;
  while (cur().kind != Tok::RParen) {
    if (cur().kind == Tok::Ident &&
        (EqualsNoCase(cur().text, L"public") || EqualsNoCase(cur().text, L"private")) &&
        (peek().kind == Tok::Colon || peek().kind == Tok::Newline || peek().kind == Tok::Ident ||
         peek().kind == Tok::Keyword)) {
      in_private = EqualsNoCase(cur().text, L"private");
      advance();
      if (cur().kind == Tok::Colon) advance();
      skip_newlines();
      continue;
    }
    if (cur().kind == Tok::Ident && EqualsNoCase(cur().text, L"on") && peek().kind == Tok::Ident) {
      handlers.push_back(parse_handler());
    } else if (is_kw(L"fn") || is_kw(L"function") || is_kw(L"mapped")) {
      s->kids.push_back(parse_fn());
      s->kids.back()->ival = in_private ? 1 : 0;
    } else if (cur().kind == Tok::Ident) {
      NodePtr m = node(NodeKind::StructField);
      m->text = cur().text;
      m->ival = in_private ? 1 : 0;
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

// Whether the parenthesis at the current token is a caption: closed and followed by the
// header's keyword arguments or, past line breaks, by another opening parenthesis.
bool Parser::body_follows_paren() const {
  int depth = 0;
  std::size_t q = p_;
  for (; q < t_.size() && t_[q].kind != Tok::End; ++q) {
    if (t_[q].kind == Tok::LParen) ++depth;
    if (t_[q].kind == Tok::RParen && --depth == 0) break;
  }
  if (q >= t_.size() || t_[q].kind != Tok::RParen) return false;
  ++q;
  if (q + 1 < t_.size() && (t_[q].kind == Tok::Ident || t_[q].kind == Tok::Keyword) &&
      t_[q + 1].kind == Tok::Colon)
    return true;  // the header's keyword arguments follow the caption
  while (q < t_.size() && t_[q].kind == Tok::Newline) ++q;
  return q < t_.size() && t_[q].kind == Tok::LParen;
}

// `on <name> <name>`: an event handler, not the word `on` as a value.
bool Parser::handler_starts_here() const {
  if (cur().kind != Tok::Ident || !EqualsNoCase(cur().text, L"on")) return false;
  const Token& target = peek();
  const Token& event = t_[std::min(p_ + 2, t_.size() - 1)];
  return target.kind == Tok::Ident && (event.kind == Tok::Ident || event.kind == Tok::Keyword);
}

// Header operands and keyword arguments on the definition's line.
void Parser::parse_header_args(Node& d) {
  while ((can_start_arg() || keyarg_continues()) && cur().kind != Tok::LParen &&
         !handler_starts_here()) {
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

NodePtr Parser::name_node() {
  if (cur().kind != Tok::Ident) fail(L"<name>");
  NodePtr n = node(NodeKind::Ident);
  n->text = cur().text;
  advance();
  return n;
}

NodePtr Parser::parse_definition(const std::wstring& kind, bool controls) {
  Nest nest(*this);
  NodePtr d = node(NodeKind::Definition);
  d->text = kind;
  advance();
  if (kind == L"plugin") d->kids.push_back(name_node());  // superclass
  if (kind != L"group" && kind != L"submenu") d->kids.push_back(name_node());
  // A caption computed in parentheses, `rollout r (title()) ( ... )`: the body is the
  // second parenthesis.
  if (cur().kind == Tok::LParen && body_follows_paren()) d->kids.push_back(parse_arg_operand());
  parse_header_args(*d);
  skip_newlines();
  d->kids.push_back(parse_def_body(controls));
  return finish(std::move(d));
}

NodePtr Parser::parse_def_body(bool controls) {
  NodePtr b = node(NodeKind::DefBody);
  expect(Tok::LParen, L"(");
  skip_separators();
  while (cur().kind != Tok::RParen) {
    b->kids.push_back(parse_def_item(controls));
    if (cur().kind == Tok::RParen) break;
    if (handler_starts_here()) continue;  // `button b "B" on b pressed do ...` on one line
    if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
    skip_separators();
  }
  advance();
  return finish(std::move(b));
}

NodePtr Parser::parse_def_item(bool controls) {
  Nest nest(*this);
  const Token& t = cur();
  if (t.kind == Tok::Ident) {
    std::wstring w = FoldCase(t.text);
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
NodePtr Parser::parse_control() {
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
NodePtr Parser::parse_handler() {
  NodePtr h = node(NodeKind::Handler);
  advance();
  while (cur().kind == Tok::Ident || (cur().kind == Tok::Other && cur().text == L"&")) {
    if (cur().kind == Tok::Other) advance();
    h->kids.push_back(name_node());
  }
  if (h->kids.empty()) fail(L"<event name>");
  // `do` may open the next line: the handler's header is incomplete without it.
  if (!next_is_kw(L"do") && !next_is_kw(L"return")) fail(L"do");
  h->text = cur().text;
  advance();
  skip_newlines();
  h->kids.push_back(parse_expr());
  return finish(std::move(h));
}

}  // namespace maxhost::mxs

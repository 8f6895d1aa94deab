// Control flow (if, while, do, for, case, try) and the statements led by words that are
// ordinary names elsewhere: contexts, when, max commands.
#include "base/text.h"
#include "maxscript/parser_impl.h"

namespace maxhost::mxs {

// A context clause may open a statement without `with` when its shape is unmistakable.
bool Parser::context_starts_here() const {
  const Token& t = cur();
  if (t.kind == Tok::Keyword) return t.text == L"with" || t.text == L"in";
  if (t.kind != Tok::Ident) return false;
  std::wstring w = FoldCase(t.text);
  const Token& n = peek();
  if (w == L"animate" || w == L"redraw" || w == L"quiet") return is_bool_word(n);
  if (w == L"undo") return is_bool_word(n) || n.kind == Tok::String;
  if (w == L"at")
    return n.kind == Tok::Ident &&
           (EqualsNoCase(n.text, L"time") || EqualsNoCase(n.text, L"level"));
  if (w == L"coordsys")
    return n.kind == Tok::Ident || n.kind == Tok::Path ||
           (n.kind == Tok::Keyword && n.text == L"local");
  if (w == L"about") return n.kind == Tok::Ident || n.kind == Tok::Path || n.kind == Tok::LBracket;
  return false;
}

NodePtr Parser::try_construct() {
  const Token& t = cur();
  if (context_starts_here()) return parse_context(false);
  if (t.kind != Tok::Ident) return nullptr;
  std::wstring w = FoldCase(t.text);
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
    if (context_starts_here() || EqualsNoCase(cur().text, L"coordsys")) return parse_context(true);
    p_ = save;
  }
  return nullptr;
}

// `coordsys local` names its system with a word that is otherwise a keyword.
NodePtr Parser::context_value() {
  if (cur().kind == Tok::Keyword) return name_like_keyword();
  return parse_arg_operand();
}

NodePtr Parser::name_like_keyword() {
  NodePtr n = node(NodeKind::Ident);
  n->text = cur().text;
  advance();
  return n;
}

NodePtr Parser::context_clause() {
  NodePtr k = node(NodeKind::KeyArg);
  if (is_kw(L"in")) {
    advance();
    if (cur().kind == Tok::Ident && EqualsNoCase(cur().text, L"coordsys")) {
      advance();
      k->text = L"coordsys";
    } else {
      k->text = L"in";
    }
    k->kids.push_back(context_value());
    return finish(std::move(k));
  }
  if (cur().kind != Tok::Ident) fail(L"<context>");
  std::wstring w = FoldCase(cur().text);
  advance();
  if (w == L"at") {
    if (cur().kind != Tok::Ident) fail(L"time");
    w = FoldCase(cur().text);
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
  // `about coordsys local`: the centre of that system; its name follows as a second kid.
  if (w == L"about" && k->kids[0]->kind == NodeKind::Ident &&
      EqualsNoCase(k->kids[0]->text, L"coordsys") && (is_kw(L"local") || is_system_name(cur())))
    k->kids.push_back(name_like_keyword());
  return finish(std::move(k));
}

bool Parser::is_system_name(const Token& t) {
  if (t.kind != Tok::Ident) return false;
  for (const wchar_t* s : {L"world", L"parent", L"screen", L"grid", L"gimbal", L"working_pivot"})
    if (EqualsNoCase(t.text, s)) return true;
  return false;
}

// [with|set] <context> {, <context>} <expr>
NodePtr Parser::parse_context(bool set) {
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
NodePtr Parser::parse_when() {
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

NodePtr Parser::parse_max_command() {
  NodePtr m = node(NodeKind::MaxCommand);
  advance();
  while (cur().kind == Tok::Ident || cur().kind == Tok::Keyword) {
    if (!m->text.empty()) m->text += L' ';
    m->text += cur().text;
    advance();
  }
  return m;
}

NodePtr Parser::parse_if() {
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

NodePtr Parser::parse_while() {
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

NodePtr Parser::parse_do() {
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

NodePtr Parser::optional_clause(const wchar_t* kw) {
  if (!next_is_kw(kw)) return nullptr;
  advance();
  skip_newlines();
  return parse_expr();
}

// for v = a to b [by c], for v in a to b (the same range), for v in coll and for v = coll
// (items), for v, i in coll (i counts the items from 1; an Ident in kids[1]).
NodePtr Parser::parse_for() {
  NodePtr n = node(NodeKind::ForTo);
  advance();
  if (cur().kind != Tok::Ident) fail(L"<loop variable>");
  n->text = cur().text;
  advance();
  NodePtr index;
  if (cur().kind == Tok::Comma) {
    advance();
    index = name_node();
  }
  if (!is_op(L"=") && !is_kw(L"in")) fail(L"in");
  advance();
  skip_newlines();
  n->kids.push_back(parse_expr());
  if (!index && next_is_kw(L"to")) {
    advance();
    skip_newlines();
    n->kids.push_back(parse_expr());
    n->kids.push_back(optional_clause(L"by"));
  } else {
    n->kind = NodeKind::ForIn;
    n->kids.push_back(std::move(index));
    n->kids.push_back(nullptr);
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

NodePtr Parser::parse_case() {
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
    {
      CaseLabels labels(*this, true);
      item->kids.push_back(parse_expr());
    }
    n->kids.push_back(finish(std::move(item)));
    if (cur().kind == Tok::RParen) break;
    if (cur().kind != Tok::Newline && cur().kind != Tok::Semicolon) fail(L")");
    skip_separators();
  }
  advance();
  return finish(std::move(n));
}

NodePtr Parser::parse_try() {
  NodePtr n = node(NodeKind::Try);
  advance();
  skip_newlines();
  n->kids.push_back(parse_expr());
  // `try (...) ; catch (...)`: the body is complete, but the host still looks for its
  // handler past semicolons and line breaks.
  std::size_t q = p_;
  while (t_[q].kind == Tok::Newline || t_[q].kind == Tok::Semicolon) ++q;
  if (t_[q].kind == Tok::Keyword && t_[q].text == L"catch") p_ = q;
  if (!is_kw(L"catch")) fail(L"catch");
  advance();
  skip_newlines();
  n->kids.push_back(parse_expr());
  return finish(std::move(n));
}

}  // namespace maxhost::mxs

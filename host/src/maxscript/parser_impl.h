// The parser's state and its rules, implemented in four files: parser.cpp (tokens,
// errors, building nodes), parser_expressions.cpp (operators, operands and calls),
// parser_definitions.cpp (declarations, functions, structs and block definitions such as
// rollouts) and parser_constructs.cpp (control flow, contexts and other statements).
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "maxscript/lexer.h"
#include "maxscript/parser.h"

namespace maxhost::mxs {

struct ParseAbort {
  SyntaxError error;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, const std::wstring& text)
      : t_(std::move(tokens)), text_(text) {}
  void parse(Program& program, std::vector<SyntaxError>& errors);

 private:
  std::vector<Token> t_;
  const std::wstring& text_;
  std::size_t p_ = 0;
  int nesting_ = 0;
  // In a case item's body a line opening with `name:` is the next label, not a keyword
  // argument; parentheses inside the body lift that again.
  bool case_labels_ = false;
  struct CaseLabels {
    Parser& p;
    bool saved;
    CaseLabels(Parser& parser, bool on) : p(parser), saved(parser.case_labels_) {
      p.case_labels_ = on;
    }
    ~CaseLabels() { p.case_labels_ = saved; }
  };
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
  bool next_is_kw(const wchar_t* k);
  std::wstring describe(const Token& t) const;
  std::wstring line_text(int line) const;
  [[noreturn]] void fail_message(const std::wstring& message);
  [[noreturn]] void fail(const std::wstring& expected);
  void expect(Tok k, const wchar_t* what);
  // Skips to the next line that starts in the first column, where a new top-level
  // expression most likely begins.
  void resync();
  NodePtr node(NodeKind k, const Token& at);
  NodePtr node(NodeKind k) { return node(k, cur()); }
  // Sets the depth of a finished node; over-deep trees are rejected so that evaluating
  // and destroying them cannot exhaust the stack.
  NodePtr finish(NodePtr n);
  NodePtr make(NodeKind k, const Token& at, NodePtr a, NodePtr b = nullptr, std::wstring text = {});
  // The next link of a left-associative chain (a + b + c, a or b or c): the chain so far
  // does not nest deeper, only the new operand does, so a flat sum of any length stays
  // within the depth limit.
  NodePtr chain(NodeKind k, const Token& at, NodePtr left, NodePtr right, std::wstring text = {});
  // Errors in `a.b` and `a[i]` point at the start of the whole operand.
  static NodePtr at_start(NodePtr n);
  bool can_start_operand(const Token& t) const;
  bool can_start_expr(const Token& t) const;
  // An argument of a call by juxtaposition: an operand on the same line, a keyword
  // argument, or `-x` written as a negative argument ("f -1").
  bool can_start_arg() const;
  NodePtr parse_expr();
  NodePtr parse_assignment();
  NodePtr parse_or();
  NodePtr parse_and();
  NodePtr parse_not();
  // One left-associative level of binary operators: operands come from the next level; a
  // newline may follow an operator but not precede it.
  NodePtr parse_binary_level(NodePtr (Parser::*next)(), std::initializer_list<const wchar_t*> ops);
  NodePtr parse_compare();
  NodePtr parse_sum() { return parse_binary_level(&Parser::parse_product, {L"+", L"-"}); }
  NodePtr parse_product() { return parse_binary_level(&Parser::parse_power, {L"*", L"/"}); }
  NodePtr parse_power();
  NodePtr negate(const Token& op, NodePtr x);
  NodePtr parse_unary();
  NodePtr parse_as();
  NodePtr parse_arg_operand();
  NodePtr parse_call();
  NodePtr parse_operand();
  // How a factor is parsed, by the kind of its first token (a table, as clox's ParseRule).
  using FactorRule = NodePtr (Parser::*)(const Token&);
  static const FactorRule* factor_rules();
  NodePtr parse_factor();
  NodePtr factor_literal(const Token& t);
  NodePtr factor_list(const Token& t);
  NodePtr factor_global(const Token& t);
  NodePtr factor_other(const Token& t);
  NodePtr factor_deref(const Token& t);
  NodePtr factor_block(const Token& t);
  NodePtr parse_list(NodeKind kind, Tok close, const wchar_t* close_text);
  NodePtr parse_decl();
  NodePtr parse_fn();
  NodePtr parse_struct();
  // ---- Statement forms led by words that are ordinary names elsewhere ----
  static bool is_bool_word(const Token& t);
  bool is_keyarg_start(std::size_t k = 0) const;
  // An argument list reads on over line breaks while the next line opens with `name:`: the
  // call, header or control is not complete yet. Consumes the line breaks when it does.
  // Not in a case item's body, where such a line is the next label.
  bool keyarg_continues();
  bool follows_paren_on_line() const;
  bool handler_starts_here() const;
  bool body_follows_paren() const;
  // A context clause may open a statement without `with` when its shape is unmistakable.
  bool context_starts_here() const;
  NodePtr try_construct();
  // Header operands and keyword arguments on the definition's line.
  void parse_header_args(Node& d);
  NodePtr name_node();
  NodePtr parse_definition(const std::wstring& kind, bool controls);
  NodePtr parse_def_body(bool controls);
  NodePtr parse_def_item(bool controls);
  // `button btn "Caption" width:80`, or a parameter `p type:#float default:1 ui:spn`.
  NodePtr parse_control();
  // on <words...> do|return <expr>
  NodePtr parse_handler();
  // `coordsys local` names its system with a word that is otherwise a keyword.
  NodePtr context_value();
  NodePtr name_like_keyword();
  static bool is_system_name(const Token& t);
  NodePtr context_clause();
  // [with|set] <context> {, <context>} <expr>
  NodePtr parse_context(bool set);
  // when <attribute> <objects> changes [id:#n] [handleAt:#redrawViews] [obj] do <expr>
  NodePtr parse_when();
  NodePtr parse_max_command();
  NodePtr parse_if();
  NodePtr parse_while();
  NodePtr parse_do();
  NodePtr optional_clause(const wchar_t* kw);
  NodePtr parse_for();
  NodePtr parse_case();
  NodePtr parse_try();
};

}  // namespace maxhost::mxs

// Syntax tree of the script language.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace maxhost::mxs {

enum class NodeKind {
  Integer,   // ival
  Float,     // fval
  String,    // text
  NameLit,   // text: #name
  Ident,     // text; flag: forced global (::name)
  ArrayLit,  // kids: elements
  PointLit,  // kids: components
  Block,     // kids: expressions; value of the last; opens a scope
  Call,      // kids[0]: function, then arguments (KeyArg nodes for keywords)
  KeyArg,    // text: keyword; kids[0]: value
  Property,  // kids[0]: object; text: property
  Index,     // kids[0]: object; kids[1]: index
  Negate,    // kids[0]
  Not,       // kids[0]
  Binary,    // text: operator (+ - * / ^ == != < <= > >=); kids: lhs, rhs
  And,       // kids: lhs, rhs
  Or,        // kids: lhs, rhs
  As,        // kids: value, class
  Assign,    // text: = += -= *= /=; kids: target, value
  If,        // kids: cond, then, [else]
  While,     // kids: cond, body
  DoWhile,   // kids: body, cond
  ForTo,     // text: variable; kids: from, to, by|null, while|null, where|null, body; flag: collect
  ForIn,     // text: variable; kids: collection, index Ident|null, null, while|null, where|null,
             // body; flag: collect
  Case,      // kids[0]: subject or null; then CaseItem nodes
  CaseItem,  // kids: label|null (default), body
  Try,       // kids: body, handler
  Throw,     // kids: [value]
  Return,    // kids: [value]
  Exit,      // kids: [value]
  Continue,
  Decl,         // flag: global; kids: DeclItem
  DeclItem,     // text: name; kids: [init]
  FnDef,        // text: name; kids: Param nodes then body (last); flag: mapped; ival: 1 when
                // a private struct member
  Param,        // text: name; flag: keyword; ival: 1 when by reference (&name); kids: [default]
  StructDef,    // text: name; kids: StructField / FnDef, then Handler nodes
  StructField,  // text: name; kids: [init]; ival: 1 when private
  Empty,        // () : undefined
  TimeLit,      // fval: frames
  PathName,     // text: path after $ (empty: the selection)
  BitArrayLit,  // kids: elements and Range nodes
  Range,        // kids: from, to
  ByRef,        // &x; kids[0]
  Deref,        // *x; kids[0]
  // rollout, utility, rcmenu, macroscript, plugin, attributes, tool, parameters, group,
  // submenu; text: that word; kids: header operands and KeyArgs (names as Ident), then
  // a DefBody
  Definition,
  DefBody,     // kids: clauses
  Control,     // text: control class (empty for a parameter); kids: name Ident, args
  Handler,     // text: do|return; kids: Ident words (target, event, parameters), body
  Context,     // kids: KeyArg clauses, then body (null for `set`)
  When,        // kids: arguments, body
  MaxCommand,  // text: command words
  // 5L: text: the literal as written (digits then L); ival: the value when it fits 32 bits,
  // fval: the value as a float otherwise. A 64-bit integer value.
  Integer64Lit,
  // 1.5d0: text: the literal as written (d exponent); fval: the value as a float. A
  // double-precision value.
  DoubleLit,
};
constexpr std::size_t kNodeKindCount = static_cast<std::size_t>(NodeKind::DoubleLit) + 1;

struct Node {
  NodeKind kind;
  int line = 0;
  int column = 0;
  int position = 0;
  int depth = 1;  // nesting: operands of one operator chain (a + b + c) do not add to it
  bool flag = false;
  int ival = 0;
  float fval = 0;
  std::wstring text;
  std::vector<std::unique_ptr<Node>> kids;

  Node(NodeKind k, int l, int c, int p) : kind(k), line(l), column(c), position(p) {}
  // A long chain (a flat sum of many terms) is taken apart in a loop: destroying it
  // recursively could exhaust the stack.
  ~Node() {
    if (kids.empty()) return;
    std::vector<std::unique_ptr<Node>> pending = std::move(kids);
    while (!pending.empty()) {
      std::unique_ptr<Node> n = std::move(pending.back());
      pending.pop_back();
      if (!n) continue;
      for (auto& k : n->kids) pending.push_back(std::move(k));
      n->kids.clear();
    }
  }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  const Node* kid(std::size_t i) const { return i < kids.size() ? kids[i].get() : nullptr; }
};
using NodePtr = std::unique_ptr<Node>;

// A parsed source text; function values keep it alive.
struct Program {
  std::wstring source_name;
  std::wstring text;
  std::vector<NodePtr> body;
};

}  // namespace maxhost::mxs

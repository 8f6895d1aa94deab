// Operands, calls, operators and assignment.
#include <algorithm>
#include <vector>

#include "maxscript/interp_impl.h"
#include "maxscript/ops.h"
#include "maxscript/value_numbers.h"

namespace maxhost::mxs::evaluator {

Value* eval_array(const Node* n) {
  TempRoots roots;
  auto* a = new Array(static_cast<int>(n->kids.size()));
  roots.add(a);
  for (auto& e : n->kids) a->append(eval(e.get()));
  return a;
}

// `#{1, 3..5}`: each element sets its bit, each range every bit from its start to its end.
Value* eval_bitarray(const Node* n) {
  TempRoots roots;
  auto* b = new BitArrayValue();
  roots.add(b);
  auto set_bit = [b](Value* i) {
    Value* args[2] = {i, &true_value};
    b->put_vf(args, 2);
  };
  for (auto& e : n->kids) {
    if (e->kind != NodeKind::Range) {
      set_bit(roots.add(eval(e.get())));
      continue;
    }
    Value* from = roots.add(eval(e->kid(0)));
    Value* to = roots.add(eval(e->kid(1)));
    if (!is_number(from)) throw ConversionError(from, L"Integer");
    if (!is_number(to)) throw ConversionError(to, L"Integer");
    const int first = from->to_int(), last = to->to_int();
    if (last < first) continue;
    set_bit(from);  // both ends are checked as indices; the end grows the array once
    set_bit(to);
    std::fill(b->bits.begin() + first, b->bits.begin() + last, true);
  }
  return b;
}

Value* eval_point(const Node* n) {
  if (n->kids.size() < 2 || n->kids.size() > 4)
    throw RuntimeError(L"point literal needs 2 or 3 components", static_cast<Value*>(nullptr));
  TempRoots roots;
  float c[3] = {0, 0, 0};
  for (std::size_t i = 0; i < n->kids.size() && i < 3; ++i) {
    Value* v = roots.add(eval(n->kid(i)));
    if (!is_number(v)) throw ConversionError(v, L"Float");
    c[i] = v->to_float();
  }
  if (n->kids.size() == 2) return new Point2Value(c[0], c[1]);
  return new Point3Value(c[0], c[1], c[2]);
}

Value* eval_property(const Node* n) {
  TempRoots roots;
  Value* obj = roots.add(eval(n->kid(0)));
  Value* prop = name_of(n->text);
  return obj->get_property(&prop, 1);
}

Value* eval_index(const Node* n) {
  TempRoots roots;
  Value* obj = roots.add(eval(n->kid(0)));
  Value* idx = roots.add(eval(n->kid(1)));
  return obj->get_vf(&idx, 1);
}

Value* eval_call(const Node* n) {
  TempRoots roots;
  Value* fn = roots.add(eval(n->kid(0)));
  std::vector<Value*> args;
  std::vector<Value*> keys;
  for (std::size_t i = 1; i < n->kids.size(); ++i) {
    const Node* a = n->kid(i);
    if (a->kind == NodeKind::KeyArg) {
      keys.push_back(name_of(a->text));
      keys.push_back(roots.add(eval(a->kid(0))));
    } else {
      args.push_back(roots.add(eval(a)));
    }
  }
  if (!keys.empty()) {
    args.push_back(&keyarg_marker);
    args.insert(args.end(), keys.begin(), keys.end());
  }
  return call_value(fn, args.data(), static_cast<int>(args.size()));
}

Value* eval_assign(const Node* n) {
  TempRoots roots;
  const Node* target = n->kid(0);
  const std::wstring& op = n->text;
  auto combine = [&](Value* old, Value* rhs) -> Value* {
    if (op == L"=") return rhs;
    roots.add(old);
    return binary_op(std::wstring(1, op[0]), old, rhs);
  };
  switch (target->kind) {
    case NodeKind::Ident: {
      Value* name = name_of(target->text);
      Value* rhs = roots.add(eval(n->kid(1)));
      Value* v = op == L"=" ? rhs : combine(read_var(name, target->flag), rhs);
      write_var(name, v, target->flag);
      return v;
    }
    case NodeKind::Property: {
      Value* obj = roots.add(eval(target->kid(0)));
      Value* prop = name_of(target->text);
      Value* rhs = roots.add(eval(n->kid(1)));
      Value* v = rhs;
      if (op != L"=") v = combine(obj->get_property(&prop, 1), rhs);
      roots.add(v);
      Value* args[2] = {v, prop};
      obj->set_property(args, 2);
      return v;
    }
    case NodeKind::Index: {
      Value* obj = roots.add(eval(target->kid(0)));
      Value* idx = roots.add(eval(target->kid(1)));
      Value* rhs = roots.add(eval(n->kid(1)));
      Value* v = rhs;
      if (op != L"=") v = combine(obj->get_vf(&idx, 1), rhs);
      roots.add(v);
      Value* args[2] = {idx, v};
      obj->put_vf(args, 2);
      return v;
    }
    case NodeKind::Deref: {
      Value* ref = roots.add(eval(target->kid(0)));
      Reference* r = as_reference(ref);
      if (r == nullptr) throw TypeError(L"* needs a reference (&), got: ", ref);
      Value* rhs = roots.add(eval(n->kid(1)));
      Value* v = op == L"=" ? rhs : roots.add(combine(r->get(), rhs));
      r->set(v);
      return v;
    }
    default:
      throw RuntimeError(L"Invalid assignment target", static_cast<Value*>(nullptr));
  }
}

Value* eval_as(const Node* n) {
  TempRoots roots;
  Value* v = roots.add(eval(n->kid(0)));
  Value* c = roots.add(eval(n->kid(1)));
  if (c->tag != &Class_class) throw TypeError(L"as needs a class, got: ", c);
  auto* cls = static_cast<ValueMetaClass*>(c);
  if (Value* wide = convert_number(v, cls)) return wide;
  Value* r = v->coerce(cls);
  if (r == nullptr) throw ConversionError(v, cls->name);
  return r;
}

// The nodes of a left-nested chain (a + b - c), innermost first, and its first operand.
template <typename Same>
const Node* chain_spine(const Node* n, Same same, std::vector<const Node*>& spine) {
  while (same(n)) {
    spine.push_back(n);
    n = n->kid(0);
  }
  std::reverse(spine.begin(), spine.end());
  return n;
}

// A chain is evaluated in a loop, left to right, so that its length costs no stack.
Value* eval_binary_chain(const Node* n) {
  std::vector<const Node*> spine;
  const Node* first = chain_spine(
      n, [](const Node* x) { return x->kind == NodeKind::Binary; }, spine);
  TempRoots roots;
  Value* acc = roots.add(eval(first));
  for (const Node* link : spine) {
    Value* rhs = roots.add(eval(link->kid(1)));
    try {
      acc = roots.add(binary_op(link->text, acc, rhs));
    } catch (MAXScriptException& e) {
      locate(e, link);
      throw;
    }
  }
  return acc;
}

// `and` / `or` chains short-circuit as their nested form would.
Value* eval_logic_chain(const Node* n) {
  NodeKind kind = n->kind;
  std::vector<const Node*> spine;
  const Node* first = chain_spine(
      n, [kind](const Node* x) { return x->kind == kind; }, spine);
  bool stop_on = kind == NodeKind::Or;
  bool v = truthy(eval(first));
  for (const Node* link : spine) {
    if (v == stop_on) break;
    Value* rhs = eval(link->kid(1));
    try {
      v = truthy(rhs);
    } catch (MAXScriptException& e) {
      locate(e, link);
      throw;
    }
  }
  return bool_result(v);
}

}  // namespace maxhost::mxs::evaluator

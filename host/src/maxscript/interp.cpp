#include "maxscript/interp.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <new>
#include <pthread.h>
#include <algorithm>

#include "maxscript/ops.h"
#include "maxscript/run_guard.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {
namespace {

ValueMetaClass Scope_class(L"Scope");
ValueMetaClass GlobalMarker_class(L"GlobalMarker");

// Stands in a scope's table for a name that the scope declared global.
class GlobalMarker : public Value {
 public:
  GlobalMarker() { tag = &GlobalMarker_class; }
};
GlobalMarker g_global_marker;

struct LoopExit {
  Value* value;
};
struct LoopContinue {};
struct FunctionReturn {
  Value* value;
};

thread_local const Program* g_current_program = nullptr;

struct ProgramScope {
  const Program* saved;
  explicit ProgramScope(const Program* p) : saved(g_current_program) { g_current_program = p; }
  ~ProgramScope() { g_current_program = saved; }
};

// Pushes a scope for the duration of a block, loop or call.
struct ScopePush {
  ThreadState& t;
  std::size_t size;
  explicit ScopePush(Scope* s) : t(thread_state()), size(t.scopes.size()) { t.scopes.push_back(s); }
  ~ScopePush() { t.scopes.resize(size); }
};

Scope* current_scope() {
  ThreadState& t = thread_state();
  return t.scopes.empty() ? nullptr : t.scopes.back();
}

Name* name_of(const std::wstring& s) {
  return Name::intern_name(s);
}

bool truthy(Value* v) {
  if (is_bool(v)) return static_cast<Boolean*>(v)->value;
  throw ConversionError(v, L"Boolean");
}

// ---- variables ----------------------------------------------------------------------

struct VarRef {
  enum Kind { kNone, kScope, kMember, kGlobal } kind = kNone;
  Scope* scope = nullptr;
  Struct* self = nullptr;
  int index = -1;
  GlobalThunk* thunk = nullptr;
};

GlobalThunk* global_thunk(Value* n) {
  Value* g = globals->get(n);
  if (g != nullptr && (is_globalthunk(g) || is_constglobalthunk(g)))
    return static_cast<GlobalThunk*>(g);
  return nullptr;
}

VarRef resolve(Value* n, bool force_global) {
  VarRef r;
  if (!force_global) {
    for (Scope* s = current_scope(); s != nullptr; s = s->parent) {
      auto it = s->vars.find(n);
      if (it != s->vars.end()) {
        if (it->second == &g_global_marker) break;
        r.kind = VarRef::kScope;
        r.scope = s;
        return r;
      }
      if (s->self != nullptr) {
        int i = s->self->definition->member_index(n);
        if (i >= 0) {
          r.kind = VarRef::kMember;
          r.self = s->self;
          r.index = i;
          return r;
        }
      }
    }
  }
  if ((r.thunk = global_thunk(n)) != nullptr) r.kind = VarRef::kGlobal;
  return r;
}

Struct* innermost_self() {
  for (Scope* s = current_scope(); s != nullptr; s = s->parent)
    if (s->self != nullptr) return s->self;
  return nullptr;
}

Value* read_var(Value* n, bool force_global) {
  VarRef r = resolve(n, force_global);
  switch (r.kind) {
    case VarRef::kScope:
      return r.scope->vars[n];
    case VarRef::kMember:
      return r.self->members[static_cast<std::size_t>(r.index)];
    case VarRef::kGlobal:
      return r.thunk->cell;
    case VarRef::kNone:
      break;
  }
  if (n == Name::intern(L"this")) {
    if (Struct* self = innermost_self()) return self;
  }
  if (Value* c = find_host_class(static_cast<Name*>(n)->string)) return c;
  return &undefined;
}

void define_in_current(Value* n, Value* v) {
  Scope* s = current_scope();
  if (s != nullptr) {
    s->vars[n] = v;
    return;
  }
  GlobalThunk* g = global_thunk(n);
  if (g == nullptr)
    globals->put(n, new GlobalThunk(n, v));
  else if (is_constglobalthunk(g))
    throw RuntimeError(L"Cannot assign to read-only variable: ", n);
  else
    g->cell = v;
}

void write_var(Value* n, Value* v, bool force_global) {
  VarRef r = resolve(n, force_global);
  switch (r.kind) {
    case VarRef::kScope:
      r.scope->vars[n] = v;
      return;
    case VarRef::kMember:
      r.self->members[static_cast<std::size_t>(r.index)] = v;
      return;
    case VarRef::kGlobal:
      if (is_constglobalthunk(r.thunk))
        throw RuntimeError(L"Cannot assign to read-only variable: ", n);
      r.thunk->cell = v;
      return;
    case VarRef::kNone:
      break;
  }
  if (force_global)
    globals->put(n, new GlobalThunk(n, v));
  else
    define_in_current(n, v);
}

Value* eval(const Node* n);

// ---- calls --------------------------------------------------------------------------

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

// ---- operators ----------------------------------------------------------------------

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
  Value* r = v->coerce(cls);
  if (r == nullptr) throw ConversionError(v, cls->name);
  return r;
}

// Errors raised while applying an operator point at that operator's node.
void locate(MAXScriptException& e, const Node* n) {
  if (e.source_line != 0) return;
  e.source_line = n->line;
  e.source_column = n->column;
  e.source_position = n->position;
  if (g_current_program) e.source_file = g_current_program->source_name;
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

// ---- definitions --------------------------------------------------------------------

Value* eval_fn_def(const Node* n) {
  auto* f = new ScriptFunction(g_program_ref(), n, current_scope());
  f->name = n->text;
  TempRoots roots;
  roots.add(f);
  define_in_current(name_of(n->text), f);
  return f;
}

Value* eval_struct_def(const Node* n) {
  auto* d = new ScriptStructDef();
  TempRoots roots;
  roots.add(d);
  d->name = name_of(n->text);
  d->program = g_program_ref();
  d->def = n;
  d->closure = current_scope();
  for (auto& m : n->kids) {
    if (m->kind == NodeKind::Handler) break;  // handlers follow all members
    d->member_names.push_back(name_of(m->text));
    if (m->kind == NodeKind::FnDef) {
      auto* f = new ScriptFunction(d->program, m.get(), d->closure);
      f->name = m->text;
      f->owner = d;
      d->member_functions.push_back(f);
    } else {
      d->member_functions.push_back(nullptr);
    }
  }
  define_in_current(d->name, d);
  return d;
}

Value* eval_decl(const Node* n) {
  Value* last = &undefined;
  TempRoots roots;
  for (auto& item : n->kids) {
    Value* name = name_of(item->text);
    Value* v = item->kids.empty() ? nullptr : roots.add(eval(item->kid(0)));
    Scope* s = current_scope();
    if (n->flag) {
      if (s != nullptr) s->vars[name] = &g_global_marker;
      GlobalThunk* g = global_thunk(name);
      if (g == nullptr) {
        globals->put(name, new GlobalThunk(name, v ? v : &undefined));
      } else if (v != nullptr) {
        if (is_constglobalthunk(g))
          throw RuntimeError(L"Cannot assign to read-only variable: ", name);
        g->cell = v;
      }
    } else if (s != nullptr) {
      s->vars[name] = v ? v : &undefined;
    } else {
      write_var(name, v ? v : &undefined, true);
    }
    if (v) last = v;
  }
  return last;
}

// ---- control ------------------------------------------------------------------------

Value* eval_block(const Node* n) {
  Scope* s = new Scope(current_scope(), nullptr);
  ScopePush push(s);
  Value* r = &undefined;
  TempRoots roots;
  for (auto& e : n->kids) {
    roots.add(r = eval(e.get()));
    maybe_collect();
  }
  return r;
}

bool loop_test(const Node* clause) {
  return clause == nullptr || truthy(eval(clause));
}

Value* eval_for(const Node* n) {
  TempRoots roots;
  Scope* s = new Scope(current_scope(), nullptr);
  ScopePush push(s);
  Value* var = name_of(n->text);
  s->vars[var] = &undefined;
  Array* collected = nullptr;
  if (n->flag) roots.add(collected = new Array(0));
  const Node* while_clause = n->kid(3);
  const Node* where_clause = n->kid(4);
  const Node* body = n->kid(5);
  Value* exit_value = nullptr;

  // Returns false to stop the loop.
  auto step = [&](Value* item) -> bool {
    check_run();
    s->vars[var] = item;
    if (!loop_test(while_clause)) return false;
    if (!loop_test(where_clause)) return true;
    try {
      Value* v = eval(body);
      if (collected) collected->append(v);
    } catch (LoopContinue&) {
    } catch (LoopExit& e) {
      exit_value = e.value;
      return false;
    }
    maybe_collect();
    return true;
  };

  if (n->kind == NodeKind::ForTo) {
    Value* from = roots.add(eval(n->kid(0)));
    Value* to = roots.add(eval(n->kid(1)));
    Value* by = n->kid(2) ? roots.add(eval(n->kid(2))) : Integer::intern(1);
    for (Value* v : {from, to, by})
      if (!is_number(v)) throw ConversionError(v, L"Number");
    if (is_integer(from) && is_integer(to) && is_integer(by)) {
      std::int64_t i = from->to_int(), end = to->to_int(), inc = by->to_int();
      if (inc == 0)
        throw RuntimeError(L"for loop step must not be 0", static_cast<Value*>(nullptr));
      for (; inc > 0 ? i <= end : i >= end; i += inc)
        if (!step(Integer::intern(static_cast<int>(i)))) break;
    } else {
      double i = from->to_double(), end = to->to_double(), inc = by->to_double();
      if (inc == 0 || !std::isfinite(inc))
        throw RuntimeError(L"for loop step must not be 0", static_cast<Value*>(nullptr));
      for (; inc > 0 ? i <= end : i >= end; i += inc)
        if (!step(new Float(static_cast<float>(i)))) break;
    }
  } else {
    Value* coll = roots.add(eval(n->kid(0)));
    if (is_array(coll)) {
      auto* a = static_cast<Array*>(coll);
      for (int i = 0; i < a->count(); ++i)
        if (!step(a->get(i))) break;
    } else if (is_string(coll)) {
      std::wstring text = static_cast<String*>(coll)->string;
      for (wchar_t c : text)
        if (!step(new String(std::wstring(1, c)))) break;
    } else {
      Array* items = iterable_items(coll);
      roots.add(items);
      for (int i = 0; i < items->count(); ++i)
        if (!step(items->get(i))) break;
    }
  }
  if (exit_value != nullptr) return exit_value;
  return collected ? static_cast<Value*>(collected) : &ok;
}

Value* eval_case(const Node* n) {
  TempRoots roots;
  Value* subject = n->kid(0) ? roots.add(eval(n->kid(0))) : nullptr;
  const Node* fallback = nullptr;
  for (std::size_t i = 1; i < n->kids.size(); ++i) {
    const Node* item = n->kid(i);
    if (item->kid(0) == nullptr) {
      fallback = item->kid(1);
      continue;
    }
    Value* label = roots.add(eval(item->kid(0)));
    bool match = subject ? values_equal(subject, label) : truthy(label);
    if (match) return eval(item->kid(1));
  }
  return fallback ? eval(fallback) : &undefined;
}

Value* eval_try(const Node* n) {
  ThreadState& t = thread_state();
  std::size_t scopes = t.scopes.size();
  try {
    return eval(n->kid(0));
  } catch (RunAborted&) {
    throw;
  } catch (std::bad_alloc&) {
    throw;
  } catch (MAXScriptException& e) {
    t.scopes.resize(scopes);
    t.current_exception = new String(L"-- " + e.message());
  } catch (std::exception&) {
    // Native failures (a host container's range check, an allocation) are caught too.
    t.scopes.resize(scopes);
    t.current_exception = new String(L"-- Unknown system exception");
  }
  return eval(n->kid(1));
}

Value* eval_throw(const Node* n) {
  if (n->kids.empty()) {
    Value* cur = thread_state().current_exception;
    std::wstring text = cur ? cur->to_string() : L"-- Runtime error: throw";
    if (text.rfind(L"-- ", 0) == 0) text = text.substr(3);
    throw MAXScriptException(text);
  }
  Value* v = eval(n->kid(0));
  throw UserThrownError(sprinted(v), v);
}

Value* unsupported_construct(const Node* n) {
  std::wstring what;
  switch (n->kind) {
    case NodeKind::PathName:
      what = L"path name $" + n->text;
      break;
    case NodeKind::BitArrayLit:
    case NodeKind::Range:
      what = L"bit array";
      break;
    case NodeKind::ByRef:
      what = L"by-reference &";
      break;
    case NodeKind::Deref:
      what = L"dereference *";
      break;
    case NodeKind::Definition:
      what = n->text;
      break;
    case NodeKind::When:
      what = L"when";
      break;
    case NodeKind::MaxCommand:
      what = L"max " + n->text;
      break;
    default:
      what = L"this construct";
  }
  throw RuntimeError((what + L" is not supported by this host").c_str(),
                     static_cast<Value*>(nullptr));
}

Value* eval_inner(const Node* n) {
  switch (n->kind) {
    case NodeKind::Integer:
      return Integer::intern(n->ival);
    case NodeKind::Float:
      return new Float(n->fval);
    case NodeKind::String:
      return new String(n->text);
    case NodeKind::NameLit:
      return name_of(n->text);
    case NodeKind::Ident:
      return read_var(name_of(n->text), n->flag);
    case NodeKind::Empty:
      return &undefined;
    case NodeKind::ArrayLit: {
      TempRoots roots;
      auto* a = new Array(static_cast<int>(n->kids.size()));
      roots.add(a);
      for (auto& e : n->kids) a->append(eval(e.get()));
      return a;
    }
    case NodeKind::PointLit: {
      if (n->kids.size() < 2 || n->kids.size() > 4)
        throw RuntimeError(L"point literal needs 2 or 3 components", static_cast<Value*>(nullptr));
      TempRoots roots;
      float c[3] = {0, 0, 0};
      for (std::size_t i = 0; i < n->kids.size() && i < 3; ++i) {
        Value* v = roots.add(eval(n->kid(i)));
        if (!is_number(v)) throw ConversionError(v, L"Float");
        c[i] = v->to_float();
      }
      return new Point3Value(c[0], c[1], c[2]);
    }
    case NodeKind::Block:
      return eval_block(n);
    case NodeKind::Call:
      return eval_call(n);
    case NodeKind::Property: {
      TempRoots roots;
      Value* obj = roots.add(eval(n->kid(0)));
      Value* prop = name_of(n->text);
      return obj->get_property(&prop, 1);
    }
    case NodeKind::Index: {
      TempRoots roots;
      Value* obj = roots.add(eval(n->kid(0)));
      Value* idx = roots.add(eval(n->kid(1)));
      return obj->get_vf(&idx, 1);
    }
    case NodeKind::Negate:
      return negate_value(eval(n->kid(0)));
    case NodeKind::Not:
      return bool_result(!truthy(eval(n->kid(0))));
    case NodeKind::Binary:
      return eval_binary_chain(n);
    case NodeKind::And:
    case NodeKind::Or:
      return eval_logic_chain(n);
    case NodeKind::As:
      return eval_as(n);
    case NodeKind::Assign:
      return eval_assign(n);
    case NodeKind::If: {
      if (truthy(eval(n->kid(0)))) return eval(n->kid(1));
      return n->kid(2) ? eval(n->kid(2)) : &undefined;
    }
    case NodeKind::While: {
      Value* r = &undefined;
      TempRoots roots;
      try {
        while (truthy(eval(n->kid(0)))) {
          check_run();
          try {
            roots.add(r = eval(n->kid(1)));
          } catch (LoopContinue&) {
          }
          maybe_collect();
        }
      } catch (LoopExit& e) {
        r = e.value ? e.value : &ok;
      }
      return r;
    }
    case NodeKind::DoWhile: {
      Value* r = &undefined;
      TempRoots roots;
      try {
        do {
          check_run();
          try {
            roots.add(r = eval(n->kid(0)));
          } catch (LoopContinue&) {
          }
          maybe_collect();
        } while (truthy(eval(n->kid(1))));
      } catch (LoopExit& e) {
        r = e.value ? e.value : &ok;
      }
      return r;
    }
    case NodeKind::ForTo:
    case NodeKind::ForIn:
      return eval_for(n);
    case NodeKind::Case:
      return eval_case(n);
    case NodeKind::Try:
      return eval_try(n);
    case NodeKind::Throw:
      return eval_throw(n);
    case NodeKind::Return:
      throw FunctionReturn{n->kids.empty() ? &ok : eval(n->kid(0))};
    case NodeKind::Exit:
      throw LoopExit{n->kids.empty() ? nullptr : eval(n->kid(0))};
    case NodeKind::Continue:
      throw LoopContinue{};
    case NodeKind::Decl:
      return eval_decl(n);
    case NodeKind::FnDef:
      return eval_fn_def(n);
    case NodeKind::StructDef:
      return eval_struct_def(n);
    case NodeKind::TimeLit:
      return new Float(n->fval);  // frames; the host has no separate time value
    case NodeKind::Context:
      // Animation, undo, redraw and coordinate-system contexts have no effect here:
      // the body runs as written.
      return n->kids.back() ? eval(n->kids.back().get()) : &ok;
    case NodeKind::PathName:
    case NodeKind::BitArrayLit:
    case NodeKind::ByRef:
    case NodeKind::Deref:
    case NodeKind::Definition:
    case NodeKind::When:
    case NodeKind::MaxCommand:
    case NodeKind::Control:
    case NodeKind::Handler:
    case NodeKind::DefBody:
    case NodeKind::Range:
      return unsupported_construct(n);
    default:
      throw RuntimeError(L"cannot evaluate this expression", static_cast<Value*>(nullptr));
  }
}

Value* eval(const Node* n) {
  check_stack();
  try {
    return eval_inner(n);
  } catch (MAXScriptException& e) {
    if (e.source_line == 0) {
      e.source_line = n->line;
      e.source_column = n->column;
      e.source_position = n->position;
      if (g_current_program) e.source_file = g_current_program->source_name;
    }
    throw;
  }
}

}  // namespace

// Shared pointer to the program being evaluated, for values that keep its tree.
thread_local std::shared_ptr<const Program> g_program_holder;
std::shared_ptr<const Program> g_program_ref() {
  return g_program_holder;
}

// The lowest stack address this thread may reach before script recursion is stopped:
// a quarter of the stack (at most 1 MB) stays free for native code and unwinding.
static const char* stack_floor() {
  thread_local const char* floor = [] {
    pthread_attr_t attr;
    void* low = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &low, &size);
      pthread_attr_destroy(&attr);
    }
    if (low == nullptr || size == 0) return static_cast<const char*>(nullptr);
    std::size_t margin = std::min<std::size_t>(size / 4, 1024 * 1024);
    return static_cast<const char*>(low) + margin;
  }();
  return floor;
}

void check_stack() {
  char probe;
  const char* floor = stack_floor();
  if (floor != nullptr && &probe < floor)
    throw MAXScriptException(L"Runtime error: Stack overflow");
}

// ---- Scope and functions ------------------------------------------------------------

Scope::Scope(Scope* p, Struct* s) : parent(p), self(s) {
  tag = &Scope_class;
}
void Scope::gc_trace() {
  gc_mark(parent);
  gc_mark(self);
  for (auto& kv : vars) {
    gc_mark(kv.first);
    gc_mark(kv.second);
  }
}

ScriptFunction::ScriptFunction(std::shared_ptr<const Program> prog, const Node* d, Scope* c)
    : program(std::move(prog)), def(d), closure(c), self(nullptr), owner(nullptr) {}

void ScriptFunction::gc_trace() {
  gc_mark(closure);
  gc_mark(self);
  gc_mark(owner);
}

namespace {
struct ProgramHolder {
  std::shared_ptr<const Program> saved;
  explicit ProgramHolder(std::shared_ptr<const Program> p) : saved(std::move(g_program_holder)) {
    g_program_holder = std::move(p);
  }
  ~ProgramHolder() { g_program_holder = std::move(saved); }
};
struct DepthGuard {
  ThreadState& t;
  DepthGuard() : t(thread_state()) { ++t.call_depth; }
  ~DepthGuard() { --t.call_depth; }
};
}  // namespace

Value* ScriptFunction::apply(Value** arglist, int count, CallContext*) {
  check_stack();
  RunScope run;
  check_run();
  DepthGuard depth;
  TempRoots roots;
  roots.add(this);
  int npos = positional_arg_count(arglist, count);
  std::vector<const Node*> positional;
  std::vector<const Node*> keyword;
  for (std::size_t i = 0; i + 1 < def->kids.size(); ++i) {
    const Node* p = def->kid(i);
    (p->flag ? keyword : positional).push_back(p);
  }
  if (npos != static_cast<int>(positional.size()))
    throw ArgCountError(name.c_str(), static_cast<int>(positional.size()), npos);
  Scope* s = new Scope(closure, self);
  ScopePush push(s);
  ProgramHolder holder(program);
  ProgramScope program_scope(program.get());
  for (std::size_t i = 0; i < positional.size(); ++i)
    s->vars[Name::intern_name(positional[i]->text)] = arglist[i];
  for (const Node* p : keyword) {
    Value* key = Name::intern_name(p->text);
    Value* v = _get_key_arg(arglist, count, key);
    if (v == &unsupplied && !p->kids.empty()) v = eval(p->kid(0));
    s->vars[key] = v;
  }
  try {
    return eval(def->kids.back().get());
  } catch (FunctionReturn& r) {
    return r.value;
  } catch (LoopExit&) {
    throw RuntimeError(L"exit outside a loop in ", name.c_str());
  } catch (LoopContinue&) {
    throw RuntimeError(L"continue outside a loop in ", name.c_str());
  } catch (MAXScriptException& e) {
    if (e.function_name.empty()) e.function_name = name;
    throw;
  }
}

ScriptStructDef::ScriptStructDef() : def(nullptr), closure(nullptr) {}
void ScriptStructDef::sprin1(CharStream* s) {
  s->puts(L"#Struct:");
  name->sprint(s);
  s->puts(L"(");
  for (std::size_t i = 0; i < member_names.size(); ++i) {
    s->puts(i ? L", " : L"");
    member_names[i]->sprint(s);
  }
  s->puts(L")");
}
void ScriptStructDef::gc_trace() {
  gc_mark(name);
  gc_mark(closure);
  for (Value* f : member_functions) gc_mark(f);
}

Value* ScriptStructDef::apply(Value** arglist, int count, CallContext*) {
  check_stack();
  TempRoots roots;
  auto* inst = new Struct(this);
  roots.add(inst);
  std::vector<bool> set(member_names.size(), false);
  int npos = positional_arg_count(arglist, count);
  std::size_t next = 0;
  for (int i = 0; i < npos; ++i) {
    while (next < member_functions.size() && member_functions[next] != nullptr) ++next;
    if (next >= member_names.size())
      throw ArgCountError(static_cast<Name*>(name)->string.c_str(), static_cast<int>(next), npos);
    inst->members[next] = arglist[i];
    set[next++] = true;
  }
  for (int i = npos + 1; i + 1 < count; i += 2) {
    int m = member_index(arglist[i]);
    if (m >= 0 && member_functions[static_cast<std::size_t>(m)] == nullptr) {
      inst->members[static_cast<std::size_t>(m)] = arglist[i + 1];
      set[static_cast<std::size_t>(m)] = true;
    }
  }
  for (std::size_t i = 0; i < member_names.size(); ++i) {
    if (auto* f = static_cast<ScriptFunction*>(member_functions[i])) {
      auto* bound = new ScriptFunction(f->program, f->def, closure);
      bound->name = f->name;
      bound->owner = this;
      bound->self = inst;
      inst->members[i] = bound;
    }
  }
  Scope* s = new Scope(closure, inst);
  ScopePush push(s);
  ProgramHolder holder(program);
  ProgramScope program_scope(program.get());
  for (std::size_t i = 0; i < member_names.size(); ++i) {
    const Node* m = def->kid(i);
    if (!set[i] && m->kind == NodeKind::StructField && !m->kids.empty())
      inst->members[i] = eval(m->kid(0));
  }
  for (std::size_t i = member_names.size(); i < def->kids.size(); ++i) {
    const Node* h = def->kid(i);
    if (h->kind == NodeKind::Handler && h->kids.size() == 2 &&
        Name::intern_name(h->kid(0)->text) == Name::intern_name(L"create"))
      eval(h->kids.back().get());
  }
  return inst;
}

Value* call_value(Value* fn, Value** args, int count) {
  check_stack();
  check_run();
  return fn->apply(args, count, nullptr);
}

Value* eval_program(const std::shared_ptr<const Program>& program) {
  RunScope run;
  ThreadState& t = thread_state();
  std::size_t scopes = t.scopes.size();
  t.scopes.push_back(nullptr);
  struct Restore {
    ThreadState& t;
    std::size_t n;
    ~Restore() { t.scopes.resize(n); }
  } restore{t, scopes};
  ProgramHolder holder(program);
  ProgramScope program_scope(program.get());
  TempRoots roots;
  Value* r = &ok;
  try {
    for (auto& e : program->body) {
      roots.add(r = eval(e.get()));
      maybe_collect();
    }
  } catch (FunctionReturn& f) {
    r = f.value;
  } catch (LoopExit&) {
    throw MAXScriptException(L"Runtime error: exit outside a loop");
  } catch (LoopContinue&) {
    throw MAXScriptException(L"Runtime error: continue outside a loop");
  }
  return r;
}

}  // namespace maxhost::mxs

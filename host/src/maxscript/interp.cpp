// The evaluator's core: variables and their scopes, the dispatch of nodes by kind, the
// stack check and the running of programs.
#include "maxscript/interp.h"

#include <pthread.h>

#include <algorithm>
#include <array>

#include "maxscript/interp_impl.h"
#include "maxscript/ops.h"
#include "maxscript/run_guard.h"
#include "maxscript/value_numbers.h"

namespace maxhost::mxs {
namespace evaluator {

thread_local const Program* g_current_program = nullptr;
thread_local std::shared_ptr<const Program> g_program_holder;

namespace {

ValueMetaClass GlobalMarker_class(L"GlobalMarker");

class GlobalMarker : public Value {
 public:
  GlobalMarker() { tag = &GlobalMarker_class; }
};
GlobalMarker g_global_marker;

}  // namespace

Value* global_marker() {
  return &g_global_marker;
}

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

namespace {

struct VarRef {
  enum Kind { kNone, kScope, kMember, kGlobal } kind = kNone;
  Scope* scope = nullptr;
  Struct* self = nullptr;
  int index = -1;
  GlobalThunk* thunk = nullptr;
};

}  // namespace

GlobalThunk* global_thunk(Value* n) {
  Value* g = globals->get(n);
  if (g != nullptr && (is_globalthunk(g) || is_constglobalthunk(g)))
    return static_cast<GlobalThunk*>(g);
  return nullptr;
}

namespace {

ValueMetaClass Reference_class(L"ValueRef");
ValueMetaClass RefParam_class(L"RefParam");

class RefParam : public Value {
 public:
  Reference* ref;
  explicit RefParam(Reference* r) : ref(r) { tag = &RefParam_class; }
  void gc_trace() override { gc_mark(ref); }
};

Reference* ref_param_target(Value* v) {
  return is_kind(v, RefParam) ? static_cast<RefParam*>(v)->ref : nullptr;
}

VarRef resolve(Value* n, bool force_global);

// A variable where it was found when the reference was made.
class VariableRef : public Reference {
 public:
  VariableRef(Value* name, VarRef where) : name_(name), where_(where) {}
  Value* get() override {
    switch (where_.kind) {
      case VarRef::kScope:
        return where_.scope->vars[name_];
      case VarRef::kMember:
        return where_.self->members[static_cast<std::size_t>(where_.index)];
      default:
        return where_.thunk->cell;
    }
  }
  void set(Value* v) override {
    switch (where_.kind) {
      case VarRef::kScope:
        where_.scope->vars[name_] = v;
        return;
      case VarRef::kMember:
        where_.self->members[static_cast<std::size_t>(where_.index)] = v;
        return;
      default:
        if (is_constglobalthunk(where_.thunk))
          throw RuntimeError(L"Cannot assign to read-only variable: ", name_);
        where_.thunk->cell = v;
    }
  }
  void gc_trace() override {
    gc_mark(name_);
    gc_mark(where_.scope);
    gc_mark(where_.self);
    gc_mark(where_.thunk);
  }

 private:
  Value* name_;
  VarRef where_;
};

// An element (a[i]) or a property (obj.p) of a container, read and written through it.
class SlotRef : public Reference {
 public:
  SlotRef(Value* obj, Value* key, bool property) : obj_(obj), key_(key), property_(property) {}
  Value* get() override {
    return property_ ? obj_->get_property(&key_, 1) : obj_->get_vf(&key_, 1);
  }
  void set(Value* v) override {
    if (property_) {
      Value* args[2] = {v, key_};
      obj_->set_property(args, 2);
    } else {
      Value* args[2] = {key_, v};
      obj_->put_vf(args, 2);
    }
  }
  void gc_trace() override {
    gc_mark(obj_);
    gc_mark(key_);
  }

 private:
  Value* obj_;
  Value* key_;
  bool property_;
};

VarRef resolve(Value* n, bool force_global) {
  VarRef r;
  if (!force_global) {
    for (Scope* s = current_scope(); s != nullptr; s = s->parent) {
      auto it = s->vars.find(n);
      if (it != s->vars.end()) {
        if (it->second == global_marker()) break;
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

}  // namespace

Reference::Reference() {
  tag = &Reference_class;
}
// "&" and what the reference refers to; a reference that reaches itself (r = &r) prints
// "..." there instead of recursing.
void Reference::sprin1(CharStream* s) {
  thread_local std::vector<const Reference*> printing;
  s->puts(L"&");
  if (std::find(printing.begin(), printing.end(), this) != printing.end()) return s->puts(L"...");
  printing.push_back(this);
  struct Pop {
    ~Pop() { printing.pop_back(); }
  } pop;
  check_stack();
  get()->sprin1(s);
}

Reference* as_reference(Value* v) {
  return dynamic_cast<Reference*>(v);
}

Value* make_ref_param(Reference* r) {
  return new RefParam(r);
}

Value* eval_by_ref(const Node* n) {
  const Node* target = n->kid(0);
  TempRoots roots;
  switch (target->kind) {
    case NodeKind::Ident: {
      Value* name = name_of(target->text);
      VarRef r = resolve(name, target->flag);
      if (r.kind == VarRef::kNone) {
        write_var(name, &undefined, target->flag);
        r = resolve(name, target->flag);
      }
      if (r.kind == VarRef::kScope) {
        if (Reference* alias = ref_param_target(r.scope->vars[name])) return alias;
      }
      return new VariableRef(name, r);
    }
    case NodeKind::Index: {
      Value* obj = roots.add(eval(target->kid(0)));
      Value* key = roots.add(eval(target->kid(1)));
      return new SlotRef(obj, key, false);
    }
    case NodeKind::Property: {
      Value* obj = roots.add(eval(target->kid(0)));
      return new SlotRef(obj, name_of(target->text), true);
    }
    default:
      throw RuntimeError(L"& needs a variable, an element or a property",
                         static_cast<Value*>(nullptr));
  }
}

Value* eval_deref(const Node* n) {
  Value* v = eval(n->kid(0));
  Reference* r = as_reference(v);
  if (r == nullptr) throw TypeError(L"* needs a reference (&), got: ", v);
  return r->get();
}

Value* read_var(Value* n, bool force_global) {
  VarRef r = resolve(n, force_global);
  switch (r.kind) {
    case VarRef::kScope:
      if (Reference* alias = ref_param_target(r.scope->vars[n])) return alias->get();
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
      if (Reference* alias = ref_param_target(r.scope->vars[n])) return alias->set(v);
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

// ---- dispatch -----------------------------------------------------------------------

namespace {

using EvalFn = Value* (*)(const Node*);

// The evaluator of each node kind (a table, as Lua's per-library registries are).
struct EvalTable {
  std::array<EvalFn, kNodeKindCount> fns{};
  void set(NodeKind k, EvalFn f) { fns[static_cast<std::size_t>(k)] = f; }
  EvalTable() {
    fns.fill(&unsupported_construct);
    set(NodeKind::Integer, [](const Node* n) -> Value* { return Integer::intern(n->ival); });
    set(NodeKind::Float, [](const Node* n) -> Value* { return new Float(n->fval); });
    set(NodeKind::Integer64Lit, [](const Node* n) { return integer64_literal(n->text); });
    set(NodeKind::DoubleLit, [](const Node* n) { return double_literal(n->text); });
    set(NodeKind::String, [](const Node* n) -> Value* { return new String(n->text); });
    set(NodeKind::NameLit, [](const Node* n) -> Value* { return name_of(n->text); });
    set(NodeKind::Ident,
        [](const Node* n) -> Value* { return read_var(name_of(n->text), n->flag); });
    set(NodeKind::Empty, [](const Node*) -> Value* { return &undefined; });
    set(NodeKind::TimeLit, [](const Node* n) -> Value* { return TimeValue::from_frames(n->fval); });
    set(NodeKind::ArrayLit, &eval_array);
    set(NodeKind::PointLit, &eval_point);
    set(NodeKind::BitArrayLit, &eval_bitarray);
    set(NodeKind::ByRef, &eval_by_ref);
    set(NodeKind::Deref, &eval_deref);
    set(NodeKind::Block, &eval_block);
    set(NodeKind::Call, &eval_call);
    set(NodeKind::Property, &eval_property);
    set(NodeKind::Index, &eval_index);
    set(NodeKind::Negate, [](const Node* n) { return negate_value(eval(n->kid(0))); });
    set(NodeKind::Not, [](const Node* n) { return bool_result(!truthy(eval(n->kid(0)))); });
    set(NodeKind::Binary, &eval_binary_chain);
    set(NodeKind::And, &eval_logic_chain);
    set(NodeKind::Or, &eval_logic_chain);
    set(NodeKind::As, &eval_as);
    set(NodeKind::Assign, &eval_assign);
    set(NodeKind::If, [](const Node* n) -> Value* {
      if (truthy(eval(n->kid(0)))) return eval(n->kid(1));
      return n->kid(2) ? eval(n->kid(2)) : &undefined;
    });
    set(NodeKind::While, &eval_while);
    set(NodeKind::DoWhile, &eval_do_while);
    set(NodeKind::ForTo, &eval_for);
    set(NodeKind::ForIn, &eval_for);
    set(NodeKind::Case, &eval_case);
    set(NodeKind::Try, &eval_try);
    set(NodeKind::Throw, &eval_throw);
    set(NodeKind::Return, [](const Node* n) -> Value* {
      throw FunctionReturn{n->kids.empty() ? &ok : eval(n->kid(0))};
    });
    set(NodeKind::Exit, [](const Node* n) -> Value* {
      throw LoopExit{n->kids.empty() ? nullptr : eval(n->kid(0))};
    });
    set(NodeKind::Continue, [](const Node*) -> Value* { throw LoopContinue{}; });
    set(NodeKind::Decl, &eval_decl);
    set(NodeKind::FnDef, &eval_fn_def);
    set(NodeKind::StructDef, &eval_struct_def);
    set(NodeKind::Context, &eval_context);
  }
};

}  // namespace

void locate(MAXScriptException& e, const Node* n) {
  if (e.source_line != 0) return;
  e.source_line = n->line;
  e.source_column = n->column;
  e.source_position = n->position;
  if (g_current_program) e.source_file = g_current_program->source_name;
}

Value* eval(const Node* n) {
  static const EvalTable table;
  check_stack();
  try {
    return table.fns[static_cast<std::size_t>(n->kind)](n);
  } catch (MAXScriptException& e) {
    locate(e, n);
    throw;
  }
}

}  // namespace evaluator

using namespace evaluator;

std::shared_ptr<const Program> g_program_ref() {
  return g_program_holder;
}

// The lowest stack address this thread may reach before script recursion is stopped:
// a quarter of the stack (at most 1 MB) stays free for native code and unwinding.
static const char* stack_floor() {
  thread_local const char* floor = [] {
    void* low = nullptr;
    std::size_t size = 0;
#if defined(_WIN32)
    // The stack is one reservation from its lowest address up to where the thread began.
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(&region, &region, sizeof region) != 0) {
      low = region.AllocationBase;
      size = static_cast<std::size_t>(reinterpret_cast<const char*>(&region) -
                                      static_cast<const char*>(low));
    }
#else
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &low, &size);
      pthread_attr_destroy(&attr);
    }
#endif
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

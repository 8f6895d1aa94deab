// Scopes and the functions and structs that scripts define.
#include "maxscript/interp_impl.h"
#include "maxscript/run_guard.h"

namespace maxhost::mxs {

using namespace evaluator;

namespace {

ValueMetaClass Scope_class(L"Scope");

}  // namespace

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

Value* ScriptFunction::apply(Value** arglist, int count, CallContext*) {
  check_stack();
  RunScope run;
  check_run();
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
  // A mapped function given a collection first runs once per element; the call is OK.
  if (def->flag && npos > 0 && (is_array(arglist[0]) || is_bitarray(arglist[0]))) {
    Value* items = roots.add(is_array(arglist[0]) ? arglist[0] : arglist[0]->iterate_items());
    std::vector<Value*> args(arglist, arglist + count);
    for (Value* item : std::vector<Value*>(static_cast<Array*>(items)->data)) {
      args[0] = item;
      apply(args.data(), count);
    }
    return &ok;
  }
  Scope* s = new Scope(closure, self);
  ScopePush push(s);
  ProgramHolder holder(program);
  ProgramScope program_scope(program.get());
  for (std::size_t i = 0; i < positional.size(); ++i) {
    Reference* r = positional[i]->ival == 1 ? as_reference(arglist[i]) : nullptr;
    s->vars[Name::intern_name(positional[i]->text)] = r ? make_ref_param(r) : arglist[i];
  }
  for (const Node* p : keyword) {
    Value* key = Name::intern_name(p->text);
    Value* v = _get_key_arg(arglist, count, key);
    if (v == &unsupplied && !p->kids.empty()) v = eval(p->kid(0));
    Reference* r = p->ival == 1 ? as_reference(v) : nullptr;
    s->vars[key] = r ? make_ref_param(r) : v;
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
// As the listener shows a definition: one member a line, "name:<data>" or "name:<fn>", with
// its visibility.
void ScriptStructDef::sprin1(CharStream* s) {
  s->puts(L"#Struct:");
  name->sprint(s);
  s->puts(L"(");
  for (std::size_t i = 0; i < member_names.size(); ++i) {
    s->puts(i ? L",\n" : L"\n");
    member_names[i]->sprint(s);
    s->puts(member_functions[i] != nullptr ? L":<fn>" : L":<data>");
    const Node* m = def != nullptr ? def->kid(i) : nullptr;
    s->puts(m != nullptr && m->ival == 1 ? L"; Private" : L"; Public");
  }
  s->puts(L")");
}
void ScriptStructDef::gc_trace() {
  gc_mark(name);
  gc_mark(closure);
  for (Value* f : member_functions) gc_mark(f);
}

namespace {

// Runs the definition's `on <event> do` handlers for an instance, in its scope.
void run_struct_handlers(ScriptStructDef* d, Struct* inst, const wchar_t* event) {
  Scope* s = new Scope(d->closure, inst);
  ScopePush push(s);
  ProgramHolder holder(d->program);
  ProgramScope program_scope(d->program.get());
  for (std::size_t i = d->member_names.size(); i < d->def->kids.size(); ++i) {
    const Node* h = d->def->kid(i);
    if (h->kind == NodeKind::Handler && h->kids.size() == 2 &&
        Name::intern_name(h->kid(0)->text) == Name::intern_name(event))
      eval(h->kids.back().get());
  }
}

// A member function of the definition bound to an instance.
Value* bind_member(ScriptStructDef* d, std::size_t i, Struct* inst) {
  auto* f = static_cast<ScriptFunction*>(d->member_functions[i]);
  auto* bound = new ScriptFunction(f->program, f->def, d->closure);
  bound->name = f->name;
  bound->owner = d;
  bound->self = inst;
  return bound;
}

}  // namespace

Struct* clone_struct(Struct* source, const std::function<Value*(Value*)>& copy_member) {
  check_stack();
  TempRoots roots;
  auto* out = new Struct(source->definition);
  roots.add(out);
  auto* d = dynamic_cast<ScriptStructDef*>(source->definition);
  for (std::size_t i = 0; i < source->members.size(); ++i) {
    if (d != nullptr && d->member_functions[i] != nullptr)
      out->members[i] = bind_member(d, i, out);
    else
      out->members[i] = copy_member(source->members[i]);
  }
  if (d != nullptr && d->def != nullptr) run_struct_handlers(d, out, L"clone");
  return out;
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
  for (std::size_t i = 0; i < member_names.size(); ++i)
    if (member_functions[i] != nullptr) inst->members[i] = bind_member(this, i, inst);
  {
    Scope* s = new Scope(closure, inst);
    ScopePush push(s);
    ProgramHolder holder(program);
    ProgramScope program_scope(program.get());
    for (std::size_t i = 0; i < member_names.size(); ++i) {
      const Node* m = def->kid(i);
      if (!set[i] && m->kind == NodeKind::StructField && !m->kids.empty())
        inst->members[i] = eval(m->kid(0));
    }
  }
  run_struct_handlers(this, inst, L"create");
  return inst;
}

}  // namespace maxhost::mxs

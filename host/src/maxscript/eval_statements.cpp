// Blocks, loops, control flow and definitions.
#include <cmath>
#include <cstdint>
#include <exception>
#include <new>

#include "maxscript/interp_impl.h"
#include "maxscript/ops.h"
#include "maxscript/run_guard.h"
#include "maxscript/value_numbers.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs::evaluator {

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
      if (s != nullptr) s->vars[name] = global_marker();
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

namespace {

// One `for` loop: its scope, its clauses and what `collect` gathers.
class ForLoop {
 public:
  explicit ForLoop(const Node* n)
      : n_(n), scope_(new Scope(current_scope(), nullptr)), push_(scope_), var_(name_of(n->text)) {
    scope_->vars[var_] = &undefined;
    if (n->kind == NodeKind::ForIn && n->kid(1) != nullptr) {
      index_ = name_of(n->kid(1)->text);
      scope_->vars[index_] = &undefined;
    }
    if (n->flag) roots_.add(collected_ = new Array(0));
  }

  Value* run() {
    if (n_->kind == NodeKind::ForTo)
      run_range();
    else
      run_items(roots_.add(eval(n_->kid(0))));
    // An exit leaves a collect loop with what it gathered so far; a do loop with the exit's
    // value, undefined when it has none.
    if (collected_ != nullptr) return collected_;
    if (exited_) return exit_value_ != nullptr ? exit_value_ : &undefined;
    return &ok;
  }

 private:
  const Node* n_;
  TempRoots roots_;
  Scope* scope_;
  ScopePush push_;
  Value* var_;
  Value* index_ = nullptr;  // for v, i in ...: the item's position, from 1
  int position_ = 0;
  Array* collected_ = nullptr;
  Value* exit_value_ = nullptr;
  bool exited_ = false;

  // One iteration with the variable at item; false stops the loop.
  bool step(Value* item) {
    check_run();
    scope_->vars[var_] = item;
    if (index_ != nullptr) scope_->vars[index_] = Integer::intern(++position_);
    if (!loop_test(n_->kid(3))) return false;  // while
    if (!loop_test(n_->kid(4))) return true;   // where
    try {
      Value* v = eval(n_->kid(5));
      if (collected_) collected_->append(v);
    } catch (LoopContinue&) {
    } catch (LoopExit& e) {
      exit_value_ = e.value;
      exited_ = true;
      return false;
    }
    maybe_collect();
    return true;
  }

  // for v = from to to [by step]: integers while all three are integers, else floats.
  void run_range() {
    Value* from = roots_.add(eval(n_->kid(0)));
    Value* to = roots_.add(eval(n_->kid(1)));
    Value* by = n_->kid(2) ? roots_.add(eval(n_->kid(2))) : Integer::intern(1);
    for (Value* v : {from, to, by})
      if (!is_any_number(v)) throw ConversionError(v, L"Number");
    // The variable takes the widest class of the three: Double, Float, Integer64, Integer.
    const bool any_double = is_kind(from, Double) || is_kind(to, Double) || is_kind(by, Double);
    const bool any_float = is_float(from) || is_float(to) || is_float(by);
    if (!any_double && !any_float &&
        (is_kind(from, Integer64) || is_kind(to, Integer64) || is_kind(by, Integer64))) {
      auto wide = [](Value* v) {
        return static_cast<Integer64Value*>(convert_number(v, &Integer64_class))->value;
      };
      const std::int64_t end = wide(to), inc = wide(by);
      if (inc == 0)
        throw RuntimeError(L"for loop step must not be 0", static_cast<Value*>(nullptr));
      for (std::int64_t i = wide(from); inc > 0 ? i <= end : i >= end;) {
        if (!step(new Integer64Value(i))) return;
        if (inc > 0 ? i > INT64_MAX - inc : i < INT64_MIN - inc) return;  // the next would wrap
        i += inc;
      }
      return;
    }
    if (is_integer(from) && is_integer(to) && is_integer(by)) {
      std::int64_t i = from->to_int(), end = to->to_int(), inc = by->to_int();
      if (inc == 0)
        throw RuntimeError(L"for loop step must not be 0", static_cast<Value*>(nullptr));
      for (; inc > 0 ? i <= end : i >= end; i += inc)
        if (!step(Integer::intern(static_cast<int>(i)))) return;
      return;
    }
    double i = from->to_double(), end = to->to_double(), inc = by->to_double();
    if (inc == 0 || !std::isfinite(inc))
      throw RuntimeError(L"for loop step must not be 0", static_cast<Value*>(nullptr));
    for (; inc > 0 ? i <= end : i >= end; i += inc)
      if (!step(any_double ? static_cast<Value*>(new DoubleValue(i))
                           : new Float(static_cast<float>(i))))
        return;
  }

  // for v in collection: array items, a string's characters, or anything with count
  // and indexing.
  void run_items(Value* coll) {
    if (is_string(coll)) {
      std::wstring text = static_cast<String*>(coll)->string;
      for (wchar_t c : text)
        if (!step(new String(std::wstring(1, c)))) return;
      return;
    }
    Array* items = is_array(coll) ? static_cast<Array*>(coll) : iterable_items(coll);
    roots_.add(items);
    for (int i = 0; i < items->count(); ++i)
      if (!step(items->get(i))) return;
  }
};

}  // namespace

Value* eval_for(const Node* n) {
  return ForLoop(n).run();
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

Value* eval_while(const Node* n) {
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
    r = e.value ? e.value : &undefined;
  }
  return r;
}

Value* eval_do_while(const Node* n) {
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
    r = e.value ? e.value : &undefined;
  }
  return r;
}

// `printAllElements` holds for the body and is restored after it, also when it throws;
// `set printAllElements` keeps it. Animation, undo, redraw and coordinate-system contexts
// have no effect here: the body runs as written.
Value* eval_context(const Node* n) {
  const Node* body = n->kids.back().get();
  const bool saved = print_all_elements();
  struct Restore {
    bool active = false;
    bool value = false;
    ~Restore() {
      if (active) set_print_all_elements(value);
    }
  } restore;
  for (std::size_t i = 0; i + 1 < n->kids.size(); ++i) {
    const Node* clause = n->kid(i);
    if (clause->text != L"printallelements") continue;
    Value* v = eval(clause->kid(0));
    if (!is_bool(v)) throw ConversionError(v, L"BooleanClass");
    if (body != nullptr && !restore.active) {
      restore.active = true;
      restore.value = saved;
    }
    set_print_all_elements(v == &true_value);
  }
  return body ? eval(body) : &ok;
}

Value* unsupported_construct(const Node* n) {
  std::wstring what;
  switch (n->kind) {
    case NodeKind::PathName:
      what = L"path name $" + n->text;
      break;
    case NodeKind::Range:
      what = L"a range outside a bit array";
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

}  // namespace maxhost::mxs::evaluator

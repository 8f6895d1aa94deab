// The evaluator's internals shared by its files: interp.cpp (variables, the dispatch by
// node kind, programs), eval_expressions.cpp (operands, calls, operators, assignment),
// eval_statements.cpp (blocks, loops, control flow, definitions) and functions.cpp (scopes,
// script functions and structs).
#pragma once

#include <memory>
#include <string>

#include "maxscript/interp.h"

namespace maxhost::mxs::evaluator {

// Non-local exits of a script: `exit`, `continue` and `return` unwind as these.
struct LoopExit {
  Value* value;
};
struct LoopContinue {};
struct FunctionReturn {
  Value* value;
};

// The program whose code runs on this thread: errors name its file.
extern thread_local const Program* g_current_program;
struct ProgramScope {
  const Program* saved;
  explicit ProgramScope(const Program* p) : saved(g_current_program) { g_current_program = p; }
  ~ProgramScope() { g_current_program = saved; }
};

// Keeps the running program's tree alive for the function values made from it.
extern thread_local std::shared_ptr<const Program> g_program_holder;
struct ProgramHolder {
  std::shared_ptr<const Program> saved;
  explicit ProgramHolder(std::shared_ptr<const Program> p) : saved(std::move(g_program_holder)) {
    g_program_holder = std::move(p);
  }
  ~ProgramHolder() { g_program_holder = std::move(saved); }
};

// Pushes a scope for the duration of a block, loop or call.
struct ScopePush {
  ThreadState& t;
  std::size_t size;
  explicit ScopePush(Scope* s) : t(thread_state()), size(t.scopes.size()) { t.scopes.push_back(s); }
  ~ScopePush() { t.scopes.resize(size); }
};

Scope* current_scope();
Name* name_of(const std::wstring& s);
// A condition's value; anything but a boolean is a conversion error.
bool truthy(Value* v);

// Variables: resolved through the scopes, the members of the innermost `this`, then the
// globals. An unknown name is created in the current scope (global at top level).
GlobalThunk* global_thunk(Value* n);
// Stands in a scope's table for a name that the scope declared global.
Value* global_marker();
Value* read_var(Value* n, bool force_global);
void define_in_current(Value* n, Value* v);
void write_var(Value* n, Value* v, bool force_global);

// `&x`, `&a[i]`, `&obj.prop`: a value that reads and writes a variable, an element or a
// property where it lives. A parameter declared `&p` and passed a reference is an alias:
// reading and assigning p read and write the referenced place (RefParam in its scope).
class Reference : public Value {
 public:
  Reference();
  virtual Value* get() = 0;
  virtual void set(Value* v) = 0;
  void sprin1(CharStream* s) override;
};
Reference* as_reference(Value* v);  // nullptr when v is no reference
Value* eval_by_ref(const Node* n);
Value* eval_deref(const Node* n);
// The scope entry of a by-reference parameter.
Value* make_ref_param(Reference* r);

// Evaluates a node: a step of the stack check, with errors located at the node.
Value* eval(const Node* n);
// Locates an error at a node unless an inner node already did.
void locate(MAXScriptException& e, const Node* n);

// eval_expressions.cpp
Value* eval_array(const Node* n);
Value* eval_point(const Node* n);
Value* eval_bitarray(const Node* n);
Value* eval_property(const Node* n);
Value* eval_index(const Node* n);
Value* eval_call(const Node* n);
Value* eval_assign(const Node* n);
Value* eval_as(const Node* n);
Value* eval_binary_chain(const Node* n);
Value* eval_logic_chain(const Node* n);

// eval_statements.cpp
Value* eval_block(const Node* n);
Value* eval_while(const Node* n);
Value* eval_do_while(const Node* n);
Value* eval_for(const Node* n);
Value* eval_case(const Node* n);
Value* eval_try(const Node* n);
Value* eval_throw(const Node* n);
Value* eval_decl(const Node* n);
Value* eval_fn_def(const Node* n);
Value* eval_struct_def(const Node* n);
Value* eval_context(const Node* n);
Value* unsupported_construct(const Node* n);

}  // namespace maxhost::mxs::evaluator

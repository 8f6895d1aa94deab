// The evaluator: walks the syntax tree with lexical scopes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "maxscript/ast.h"
#include "maxscript/heap.h"

namespace maxhost::mxs {

// A lexical scope: a function call, a loop body or a top-level block. The top level
// itself has no scope object: its variables are the globals.
class Scope : public Value {
 public:
  Scope* parent;
  Struct* self;  // instance whose members a member function sees by name
  std::unordered_map<Value*, Value*> vars;
  Scope(Scope* p, Struct* s);
  void gc_trace() override;
};

// A function written in script.
class ScriptFunction : public MAXScriptFunction {
 public:
  std::shared_ptr<const Program> program;  // keeps the syntax tree alive
  const Node* def;
  Scope* closure;
  Struct* self;
  StructDef* owner;  // struct whose member this is, or nullptr
  ScriptFunction(std::shared_ptr<const Program> prog, const Node* d, Scope* c);
  Value* apply(Value** arglist, int count, CallContext* cc = nullptr) override;
  void gc_trace() override;
};

// Struct definition made by a script.
class ScriptStructDef : public StructDef {
 public:
  std::shared_ptr<const Program> program;
  const Node* def;
  Scope* closure;
  std::vector<Value*> member_functions;  // ScriptFunction* or nullptr per member
  ScriptStructDef();
  void sprin1(CharStream* s) override;
  void gc_trace() override;
  Value* apply(Value** arglist, int count, CallContext* cc = nullptr) override;
};

// A copy of a struct instance, as `copy` and `deepCopy` make one: data members through
// copy_member, member functions bound to the copy; then the definition's `on clone do`
// handler runs with `this` the copy.
Struct* clone_struct(Struct* source, const std::function<Value*(Value*)>& copy_member);

// Evaluates a parsed program's top-level expressions in the global scope.
Value* eval_program(const std::shared_ptr<const Program>& program);

// Arguments of a native function: positional values, then keyword values.
Value* call_value(Value* fn, Value** args, int count);

// Stack check shared by the evaluator and native recursion (printing nested arrays).
void check_stack();

void mark_engine_roots();

// Built-ins (builtins.cpp) and host-object classes (wrappers.cpp) register here.
void register_builtins();
void register_wrapper_classes();
// Starts the host's "Map #N" / "Material #N" numbering again, as a new scene does.
void reset_new_names();

}  // namespace maxhost::mxs

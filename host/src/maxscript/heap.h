// The collector: a list of every collectable value, marked from the roots and swept.
//
// Roots: the global table, heap-permanent values, every thread's value-local chain and
// evaluator state (scopes, temporaries), and the marker callbacks that other libraries
// register (the .NET bridge marks values held by live .NET objects).
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

class Scope;

// Per-thread state of the engine.
struct ThreadState {
  Value** locals_frame = nullptr;  // head of the value-local chain
  std::vector<Value*> temp_roots;  // evaluator temporaries
  std::vector<Scope*> scopes;      // innermost scope of every active evaluation level
  int alloc_frames = 0;
  int eval_contexts = 0;
  Value* current_exception = nullptr;
  ThreadState();
  ~ThreadState();
};
ThreadState& thread_state();

// Runs a full collection now. Values reachable only from C++ locals that are not value
// locals are freed: call it at safe points only.
void collect();
// Collects when many values have been allocated since the last collection or the heap
// passed its limit; called by the evaluator between statements, it is also a step of the
// run (see check_run). Throws the out-of-memory error when a collection leaves the heap
// above its limit.
void maybe_collect();
std::size_t live_value_count();
// The script heap's size in bytes (measured at the last collection, estimated since).
std::size_t heap_bytes();
// Counts bytes a value is about to allocate (a string being built, an array growing)
// before it allocates them. Throws the out-of-memory error when the reachable values and
// the request would pass the heap limit; garbage is collected at the next safe point.
void reserve_heap(std::size_t bytes);
// Counts bytes a value has already allocated (a string made from finished text).
void note_heap_bytes(std::size_t bytes);
std::size_t collection_count();
// Value-local scope objects that found no frame of their own at the head of the chain
// (none, or one another scope owns) and so did nothing; counted since the process began.
std::size_t frameless_value_local_scopes();

// Marker callbacks run during every collection's mark phase; they call Value::gc_mark.
int add_root_marker(std::function<void()> marker);
void remove_root_marker(int id);

// Keeps temporaries rooted until the guard ends.
class TempRoots {
 public:
  TempRoots() : state_(thread_state()), size_(state_.temp_roots.size()) {}
  ~TempRoots() { state_.temp_roots.resize(size_); }
  TempRoots(const TempRoots&) = delete;
  TempRoots& operator=(const TempRoots&) = delete;
  Value* add(Value* v) {
    state_.temp_roots.push_back(v);
    return v;
  }

 private:
  ThreadState& state_;
  std::size_t size_;
};

}  // namespace maxhost::mxs

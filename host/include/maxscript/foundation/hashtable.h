// Table keyed by value identity (names are interned, so name keys compare by name).
#pragma once

#include <unordered_map>

#include "../kernel/value.h"

class ScripterExport HashTable : public Value {
 public:
  std::unordered_map<Value*, Value*> table;
  HashTable();
  // nullptr when absent.
  Value* get(Value* key);
  Value* put(Value* key, Value* val);
  void remove(Value* key);
  void gc_trace() override;
};

// A collectable value that counts its destruction, to watch the collector.
#pragma once

#include "maxscript/maxscript.h"

struct ProbeValue : public Value {
  static inline int destroyed = 0;
  ~ProbeValue() override { ++destroyed; }
  void sprin1(CharStream* s) override { s->puts(L"<probe>"); }
};

// Script wrappers of host objects (maps, bitmap textures, any ReferenceTarget).
#pragma once

#include "../kernel/value.h"

class ScripterExport MAXWrapper : public Value {
 public:
  MAXWrapper();
  // The wrapped object, or nullptr once it has been deleted.
  virtual ReferenceTarget* get_ref() = 0;
};

// Class values of host classes (`BitmapTexture`, `Tilvara`): callable to create objects.
class ScripterExport MAXClass : public Value {
 public:
  MAXClass();
  // Wraps any ReferenceTarget; the same object always gets an equal wrapper.
  static Value* make_wrapper_for(ReferenceTarget* ref);
};

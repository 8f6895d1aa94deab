// Collections other than Array that append, deleteItem and join work on (the array
// parameters of host objects).
#pragma once

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

class CollectionOps {
 public:
  virtual ~CollectionOps() = default;
  virtual void append_item(Value* v) = 0;
  virtual void delete_item(int index_1based) = 0;
};

inline CollectionOps* as_collection(Value* v) {
  return dynamic_cast<CollectionOps*>(v);
}

}  // namespace maxhost::mxs

// A mix-in base that makes every class derived from it non-copyable: neither the copy
// constructor nor the copy assignment of a derived class can be generated.
#pragma once

#include "maxheap.h"

namespace MaxSDK {
namespace Util {

class Noncopyable : public MaxHeapOperators {
 protected:
  Noncopyable() = default;
  ~Noncopyable() = default;

 public:
  Noncopyable(const Noncopyable&) = delete;
  Noncopyable& operator=(const Noncopyable&) = delete;
};

}  // namespace Util
}  // namespace MaxSDK

// The SDK's own exception classes (namespace MaxSDK::Util). They are not std::exception:
// code at a library's edge catches them by this base.
#pragma once

#include <string>

#include "../maxheap.h"
#include "../strbasic.h"

namespace MaxSDK {
namespace Util {

// Owns a copy of its message.
class Exception : public MaxHeapOperators {
 public:
  explicit Exception(const MCHAR* message) : mMessage(message ? message : _M("")) {}
  virtual ~Exception() = default;
  virtual const MCHAR* What() const { return mMessage.c_str(); }

 protected:
  Exception() = default;

 private:
  std::wstring mMessage;
};

// An index outside an array's elements.
class OutOfRangeException : public Exception {
 public:
  explicit OutOfRangeException(const MCHAR* message) : Exception(message) {}
};

class NullDereferenceException : public Exception {
 public:
  explicit NullDereferenceException(const MCHAR* message) : Exception(message) {}
};

// A call that the object's state does not allow, such as the first element of an empty array.
class RunTimeException : public Exception {
 public:
  explicit RunTimeException(const MCHAR* message) : Exception(message) {}
};

}  // namespace Util
}  // namespace MaxSDK

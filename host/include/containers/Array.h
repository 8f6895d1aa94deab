// MaxSDK::Array<T>: the SDK's growable array of C++ values, with a settable growth step.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "../maxheap.h"

namespace MaxSDK {

class CoreExport OutOfRangeException : public std::out_of_range {
 public:
  OutOfRangeException()
      : std::out_of_range("Argument index out of bounds, passed into a MaxSDK::Array::operator[]") {
  }
};

template <class T>
class Array : public MaxHeapOperators {
 public:
  Array() = default;
  explicit Array(size_t initUsedLength, const T& defaultVal = T(), size_t initGrowLength = 4)
      : mItems(initUsedLength, defaultVal), mGrowLength(initGrowLength ? initGrowLength : 1) {}

  size_t length() const { return mItems.size(); }
  bool isEmpty() const { return mItems.empty(); }
  size_t lengthReserved() const { return mItems.capacity(); }
  size_t growLength() const { return mGrowLength; }
  void setGrowLength(size_t n) { mGrowLength = n ? n : 1; }
  const T* asArrayPtr() const { return mItems.data(); }
  T* asArrayPtr() { return mItems.data(); }

  T& operator[](size_t i) {
    if (i >= mItems.size()) throw OutOfRangeException();
    return mItems[i];
  }
  const T& operator[](size_t i) const {
    if (i >= mItems.size()) throw OutOfRangeException();
    return mItems[i];
  }
  T& first() { return (*this)[0]; }
  T& last() { return (*this)[mItems.size() - 1]; }

  Array& append(const T& v) {
    Reserve(mItems.size() + 1);
    mItems.push_back(v);
    return *this;
  }
  Array& insertAt(size_t at, const T& v) {
    if (at > mItems.size()) throw OutOfRangeException();
    Reserve(mItems.size() + 1);
    mItems.insert(mItems.begin() + static_cast<std::ptrdiff_t>(at), v);
    return *this;
  }
  Array& removeAt(size_t at) {
    if (at >= mItems.size()) throw OutOfRangeException();
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(at));
    return *this;
  }
  Array& removeSubArray(size_t start, size_t end) {
    if (start > end || end >= mItems.size()) throw OutOfRangeException();
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(start),
                 mItems.begin() + static_cast<std::ptrdiff_t>(end) + 1);
    return *this;
  }
  Array& removeAll() {
    mItems.clear();
    return *this;
  }
  Array& setLengthUsed(size_t n, const T& fill = T()) {
    Reserve(n);
    mItems.resize(n, fill);
    return *this;
  }
  Array& setLengthReserved(size_t n) {
    if (n > mItems.capacity()) mItems.reserve(n);
    return *this;
  }
  bool contains(const T& v) const { return find(v) >= 0; }
  int find(const T& v, size_t start = 0) const {
    for (size_t i = start; i < mItems.size(); ++i)
      if (mItems[i] == v) return static_cast<int>(i);
    return -1;
  }
  void clear() { mItems.clear(); }

 private:
  // Storage grows in whole steps of the growth length, as the SDK's container does.
  void Reserve(size_t need) {
    if (need <= mItems.capacity()) return;
    size_t cap = mItems.capacity();
    while (cap < need) cap += mGrowLength;
    mItems.reserve(cap);
  }

  std::vector<T> mItems;
  size_t mGrowLength = 4;
};

}  // namespace MaxSDK

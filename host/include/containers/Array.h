// MaxSDK::Array<T>: the SDK's growable array of C++ values, with a settable growth step.
// Element access by index checks the index and throws; the editing operations only assert
// their indices (DbgAssert) and then leave the array unchanged, as a release build of the
// host does for the indices where its own code is well defined.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "../assert1.h"
#include "../maxheap.h"
#include "../util/maxexceptions.h"

namespace MaxSDK {

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
  Array& setGrowLength(size_t n) {
    DbgAssert(n > 0);
    mGrowLength = n ? n : 1;
    return *this;
  }
  const T* asArrayPtr() const { return mItems.data(); }
  T* asArrayPtr() { return mItems.data(); }
  bool isValidIndex(size_t i) const { return i < mItems.size(); }

  T& operator[](size_t i) {
    if (!isValidIndex(i)) {
      DbgAssert(false);
      throw Util::OutOfRangeException(
          _M("Argument index out of bounds, passed into a MaxSDK::Array::operator[]"));
    }
    return mItems[i];
  }
  const T& operator[](size_t i) const {
    if (!isValidIndex(i)) {
      DbgAssert(false);
      throw Util::OutOfRangeException(
          _M("Argument index out of bounds, passed into a MaxSDK::Array::operator[]"));
    }
    return mItems[i];
  }
  T& first() {
    if (mItems.empty()) throw Util::RunTimeException(_M("MaxSDK::Array::first() on an empty array"));
    return mItems.front();
  }
  T& last() {
    if (mItems.empty()) throw Util::RunTimeException(_M("MaxSDK::Array::last() on an empty array"));
    return mItems.back();
  }

  // Returns the index of the new element.
  size_t append(const T& v) {
    Reserve(mItems.size() + 1);
    mItems.push_back(v);
    return mItems.size() - 1;
  }
  // `at` may be the length (an append); past it nothing is inserted.
  Array& insertAt(size_t at, const T& v) {
    DbgAssert(at <= mItems.size());
    if (at > mItems.size()) return *this;
    Reserve(mItems.size() + 1);
    mItems.insert(mItems.begin() + static_cast<std::ptrdiff_t>(at), v);
    return *this;
  }
  Array& removeAt(size_t at) {
    DbgAssert(isValidIndex(at));
    if (isValidIndex(at)) mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(at));
    return *this;
  }
  // Removes elements start to end, both included; an end past the last element stands for
  // the last one.
  Array& removeSubArray(size_t start, size_t end) {
    DbgAssert(isValidIndex(start));
    DbgAssert(start <= end);
    if (!isValidIndex(start) || start > end) return *this;
    if (end >= mItems.size()) end = mItems.size() - 1;
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
  bool contains(const T& v, size_t start = 0) const { return findFrom(v, start) != kNotFound; }
  // The index of the first element equal to v, from start on; (size_t)-1 when none is.
  size_t findFrom(const T& v, size_t start) const {
    for (size_t i = start; i < mItems.size(); ++i)
      if (mItems[i] == v) return i;
    return kNotFound;
  }
  size_t find(const T& v) const { return findFrom(v, 0); }
  bool find(const T& v, size_t& foundAt, size_t start = 0) const {
    const size_t i = findFrom(v, start);
    if (i == kNotFound) return false;
    foundAt = i;
    return true;
  }

 private:
  // Storage grows in whole steps of the growth length, as the SDK's container does.
  void Reserve(size_t need) {
    if (need <= mItems.capacity()) return;
    size_t cap = mItems.capacity();
    while (cap < need) cap += mGrowLength;
    mItems.reserve(cap);
  }

  static constexpr size_t kNotFound = static_cast<size_t>(-1);

  std::vector<T> mItems;
  size_t mGrowLength = 4;
};

}  // namespace MaxSDK

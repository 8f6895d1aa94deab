// Tab<T>: the SDK's growable table of plain values (pointers, ints, small structs).
// Elements are moved with memcpy-like semantics, so T must be trivially copyable.
#pragma once

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <type_traits>

#include "maxheap.h"
#include "maxtypes.h"

class CoreExport TabOutOfRangeException : public std::out_of_range {
 public:
  TabOutOfRangeException()
      : std::out_of_range("Invalid index passed into a Max SDK Tab::operator[]") {}
};

template <class T>
class Tab : public MaxHeapOperators {
  static_assert(std::is_trivially_copyable<T>::value, "Tab holds trivially copyable values only");

 public:
  Tab() = default;
  Tab(const Tab& o) { *this = o; }
  Tab& operator=(const Tab& o) {
    if (this != &o) {
      SetCount(o.mCount);
      if (o.mCount > 0) std::memcpy(static_cast<void*>(mData), o.mData, sizeof(T) * o.mCount);
    }
    return *this;
  }
  ~Tab() { std::free(mData); }

  int Count() const { return mCount; }
  int Length() const { return mCount; }
  bool IsEmpty() const { return mCount == 0; }
  void ZeroCount() { mCount = 0; }
  void Init() {
    std::free(mData);
    mData = nullptr;
    mCount = mAlloc = 0;
  }

  // Sets the count; new entries are left uninitialised, as the SDK does.
  void SetCount(int n, BOOL resize = TRUE) {
    if (n < 0) n = 0;
    if (n > mAlloc) Grow(n);
    mCount = n;
    if (resize && n < mAlloc && n == 0) Shrink();
  }
  int Resize(int num) {
    if (num < mCount) num = mCount;
    if (num != mAlloc) {
      if (num == 0) {
        std::free(mData);
        mData = nullptr;
      } else {
        Realloc(num);
      }
      mAlloc = num;
    }
    return 1;
  }
  void Shrink() { Resize(mCount); }

  int Append(int num, const T* el, int allocExtra = 0) {
    const int at = mCount;
    if (num <= 0) return at;
    if (mCount + num > mAlloc) Grow(mCount + num + (allocExtra > 0 ? allocExtra : 0));
    std::memmove(static_cast<void*>(mData + mCount), el, sizeof(T) * num);
    mCount += num;
    return at;
  }
  int Insert(int at, int num, const T* el) {
    if (at < 0) at = 0;
    if (at > mCount) at = mCount;
    if (num <= 0) return at;
    if (mCount + num > mAlloc) Grow(mCount + num);
    std::memmove(static_cast<void*>(mData + at + num), mData + at, sizeof(T) * (mCount - at));
    std::memmove(static_cast<void*>(mData + at), el, sizeof(T) * num);
    mCount += num;
    return at;
  }
  int Delete(int start, int num) {
    if (start < 0 || start >= mCount || num <= 0) return mCount;
    if (start + num > mCount) num = mCount - start;
    std::memmove(static_cast<void*>(mData + start), mData + start + num,
                 sizeof(T) * (mCount - start - num));
    mCount -= num;
    return mCount;
  }
  T* Addr(INT_PTR i) const {
    if (i < 0 || i >= mCount) throw TabOutOfRangeException();
    return mData + i;
  }
  T& operator[](INT_PTR i) const {
    if (i < 0 || i >= mCount) throw TabOutOfRangeException();
    return mData[i];
  }

 private:
  void Grow(int need) {
    int n = mAlloc > 0 ? mAlloc : 4;
    while (n < need) n = n > (1 << 29) ? need : n * 2;
    Realloc(n);
    mAlloc = n;
  }
  void Realloc(int n) {
    void* p = std::realloc(static_cast<void*>(mData), sizeof(T) * static_cast<size_t>(n));
    if (!p) throw std::bad_alloc();
    mData = static_cast<T*>(p);
  }

  T* mData = nullptr;
  int mCount = 0;
  int mAlloc = 0;
};

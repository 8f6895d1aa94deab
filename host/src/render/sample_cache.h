#pragma once
// A small per-sample cache keyed by object address: a fixed array searched linearly, no heap.
// Shading asks for a few maps per sample, so a handful of slots is plenty; when full, the oldest
// entry gives way.
#include <cstddef>

namespace maxhost {

template <typename Value, int Slots = 8>
class SampleCache {
 public:
  bool Get(const void* key, Value& out) const {
    for (int i = 0; i < count_; ++i)
      if (keys_[i] == key) {
        out = values_[i];
        return true;
      }
    return false;
  }
  void Put(const void* key, const Value& v) {
    for (int i = 0; i < count_; ++i)
      if (keys_[i] == key) {
        values_[i] = v;
        return;
      }
    if (count_ < Slots) {
      keys_[count_] = key;
      values_[count_++] = v;
      return;
    }
    keys_[next_] = key;
    values_[next_] = v;
    next_ = (next_ + 1) % Slots;
  }
  void Toss(const void* key) {
    for (int i = 0; i < count_; ++i)
      if (keys_[i] == key) {
        for (int j = i + 1; j < count_; ++j) {
          keys_[j - 1] = keys_[j];
          values_[j - 1] = values_[j];
        }
        --count_;
        next_ = 0;
        return;
      }
  }
  void Clear() {
    count_ = 0;
    next_ = 0;
  }
  int Size() const { return count_; }

 private:
  const void* keys_[Slots] = {};
  Value values_[Slots] = {};
  int count_ = 0;
  int next_ = 0;
};

}  // namespace maxhost

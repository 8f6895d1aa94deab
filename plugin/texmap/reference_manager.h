// A reference maker whose references are a run-time table of slots. Each slot carries its
// own change callback and dependency flags, so a class built on the manager writes no
// reference bookkeeping of its own.
//
// The table has a plain area, where a removed slot leaves an empty position so that every
// other reference keeps its index, and a grouped area from `group start` on, where each
// group holds a variable number of consecutive references and removal closes the gap.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include <containers/Array.h>
#include <hold.h>
#include <iparamb2.h>
#include <plugapi.h>
#include <ref.h>

// Change callback of a slot. The manager ignores the result.
struct RefCallback {
  void* userData;
  int (*notify)(void* userData, RefMessage message, PartID& partID);
};

// One reference position. Created by add, freed (with its callback) by remove.
struct RefSlot {
  enum : uint32_t { kWeak = 0x1, kPersist = 0x2 };
  uint32_t flags;
  ReferenceTarget* target;
  RefCallback* callback;
};

class IReferenceManager {
 public:
  virtual ReferenceTarget* ReferenceAt(uint64_t index) = 0;
  virtual void SetRef(int32_t index, ReferenceTarget* target) = 0;
  virtual int32_t IndexOfSlot(const RefSlot* slot) = 0;
  virtual bool HasSlot(uint64_t index) = 0;
  virtual bool MakeGroup(uint64_t index) = 0;
  // `callback` becomes the slot's; `positionInGroup` < 0 appends to the group.
  virtual RefSlot* AddReference(uint64_t index, int32_t positionInGroup, RefCallback* callback,
                                ReferenceTarget* target, bool weak, bool persist) = 0;
  // 1 when the slot was found and removed, 0 otherwise.
  virtual int32_t RemoveReference(RefSlot* slot, uint64_t index) = 0;

 protected:
  ~IReferenceManager() = default;
};

// Tag tells apart managers layered over one base.
template <class Base, int Tag>
class ReferenceManager : public Base, public virtual IReferenceManager {
 public:
  static constexpr uint64_t kNoGroups = 0x7FFFFFFF;

  ReferenceManager() { slots_.setGrowLength(8); }

  // Slot records are freed only by RemoveReference: owners remove their slots before the
  // manager goes (RefPtr does).
  ~ReferenceManager() override { this->DeleteAllRefs(); }

  ReferenceManager(const ReferenceManager&) = delete;
  ReferenceManager& operator=(const ReferenceManager&) = delete;

  // IReferenceManager

  ReferenceTarget* ReferenceAt(uint64_t index) override {
    if (index >= slots_.length() || !slots_[index]) return nullptr;
    return slots_[index]->target;
  }

  void SetRef(int32_t index, ReferenceTarget* target) override {
    if (target) {
      this->ReplaceReference(index, target);
    } else if (index < 0) {
      Base::SetReference(index, nullptr);
    } else if (HasSlot(static_cast<uint64_t>(index))) {
      slots_[static_cast<size_t>(index)]->target = nullptr;
    }
  }

  int32_t IndexOfSlot(const RefSlot* slot) override {
    if (!slot) return -1;
    for (size_t k = 0; k < slots_.length(); ++k)
      if (slots_[k] == slot) return static_cast<int32_t>(k);
    return -1;
  }

  bool HasSlot(uint64_t index) override {
    return index < slots_.length() && slots_[index] != nullptr;
  }

  bool MakeGroup(uint64_t a) override {
    if (a >= slots_.length()) {
      if (groupStart_ < a && groups_.size() < a) {
        const int64_t more = static_cast<int64_t>(a) - static_cast<int64_t>(groups_.size()) -
                             static_cast<int64_t>(groupStart_) + 1;
        if (more > 0 && more < int64_t{kNoGroups}) AppendEmpty(static_cast<size_t>(more));
      } else if (groups_.empty() && a < kNoGroups) {
        AppendEmpty(static_cast<size_t>(a + 1 - slots_.length()));
      }
    }
    if (a < groupStart_) {
      const int64_t front = std::min<int64_t>(static_cast<int64_t>(groupStart_),
                                              static_cast<int64_t>(slots_.length())) -
                            static_cast<int64_t>(a);
      if (front > 0) groups_.insert(groups_.begin(), static_cast<size_t>(front), 1);
      groupStart_ = a;
    } else if (groups_.size() < a - groupStart_ + 1) {
      groups_.resize(static_cast<size_t>(a - groupStart_ + 1), 1);
    }
    const size_t g = static_cast<size_t>(a - groupStart_);
    if (groups_.size() <= g) groups_.resize(g + 1, 1);
    const uint64_t e = groupStart_ + GroupOffset(g);
    if (e < slots_.length()) slots_.removeAt(static_cast<size_t>(e));
    groups_[g] = 0;
    return true;
  }

  RefSlot* AddReference(uint64_t index, int32_t position, RefCallback* callback,
                        ReferenceTarget* target, bool weak, bool persist) override {
    const uint32_t flags = (weak ? RefSlot::kWeak : 0u) | (persist ? RefSlot::kPersist : 0u);
    if (index < groupStart_) {
      InsertSlot(static_cast<int32_t>(index), flags, callback);
      this->ReplaceReference(static_cast<int>(index), target);
      return index < slots_.length() ? slots_[static_cast<size_t>(index)] : nullptr;
    }
    const uint64_t g = index - groupStart_;
    if (g >= groups_.size()) {
      groups_.resize(static_cast<size_t>(g + 1), 1);
    } else {
      groups_[static_cast<size_t>(g)] += 1;
    }
    if (position < 0) position = static_cast<int32_t>(groups_[static_cast<size_t>(g)] - 1);
    const uint64_t r =
        groupStart_ + GroupOffset(static_cast<size_t>(g)) + static_cast<uint64_t>(position);
    RefSlot* slot = InsertSlot(static_cast<int32_t>(r), flags, callback);
    if (slot && target) this->ReplaceReference(static_cast<int>(r), target);
    return slot;
  }

  int32_t RemoveReference(RefSlot* slot, uint64_t index) override {
    const int32_t k = IndexOfSlot(slot);
    if (k < 0) return 0;
    if (slot->target) this->DeleteReference(k);
    if (static_cast<uint64_t>(k) >= groupStart_) {
      slots_.removeAt(static_cast<size_t>(k));
    } else {
      slots_[static_cast<size_t>(k)] = nullptr;
    }
    delete slot->callback;
    delete slot;
    if (index >= groupStart_ && index - groupStart_ < groups_.size()) {
      uint64_t& count = groups_[static_cast<size_t>(index - groupStart_)];
      if (count > 0) --count;
    }
    return 1;
  }

  // Host reference maker and target

  int NumRefs() override { return static_cast<int>(slots_.length()); }

  RefTargetHandle GetReference(int i) override {
    if (i < 0) return nullptr;
    return ReferenceAt(static_cast<uint64_t>(i));
  }

  BOOL IsRealDependency(ReferenceTarget* target) override {
    const RefSlot* slot = FindByTarget(target);
    return !slot || !(slot->flags & RefSlot::kWeak);
  }

  BOOL ShouldPersistWeakRef(RefTargetHandle target) override {
    const RefSlot* slot = FindByTarget(target);
    return !slot || (slot->flags & RefSlot::kPersist);
  }

  // Clones real dependencies through the remap directory and shares weak ones.
  void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) override {
    if (from && to && from != to) {
      for (int i = 0; i < from->NumRefs(); ++i) {
        ReferenceTarget* ref = from->GetReference(i);
        if (ref && from->IsRealDependency(ref)) ref = remap.CloneRef(ref);
        to->ReplaceReference(i, ref);
      }
    }
    Base::BaseClone(from, to, remap);
  }

  // Read access for tests and owners.
  uint64_t GroupStart() const { return groupStart_; }
  const std::vector<uint64_t>& GroupCounts() const { return groups_; }
  size_t SlotGrowLength() const { return slots_.growLength(); }

 protected:
  void SetReference(int i, RefTargetHandle target) override {
    if (i < 0) {
      Base::SetReference(i, target);
      return;
    }
    if (static_cast<size_t>(i) >= slots_.length()) return;
    if (RefSlot* slot = slots_[static_cast<size_t>(i)]) slot->target = target;
  }

  // Hands the message to the sender's slot callback; always lets it pass on to the
  // manager's own dependents.
  RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle target, PartID& partID,
                             RefMessage message, BOOL /*propagate*/) override {
    if (RefSlot* slot = FindByTarget(target); slot && slot->callback)
      slot->callback->notify(slot->callback->userData, message, partID);
    if (message == REFMSG_TARGET_DELETED && target) {
      if (RefSlot* slot = FindByTarget(target)) slot->target = nullptr;
    }
    return REF_SUCCEED;
  }

 private:
  RefSlot* FindByTarget(const ReferenceTarget* target) {
    for (size_t k = 0; k < slots_.length(); ++k)
      if (slots_[k] && slots_[k]->target == target) return slots_[k];
    return nullptr;
  }

  uint64_t GroupOffset(size_t group) const {
    uint64_t sum = 0;
    for (size_t g = 0; g < group && g < groups_.size(); ++g) sum += groups_[g];
    return sum;
  }

  void AppendEmpty(size_t n) {
    for (size_t j = 0; j < n; ++j) slots_.append(nullptr);
  }

  // A negative position appends; an occupied position moves its slot and the later ones up.
  RefSlot* InsertSlot(int32_t k, uint32_t flags, RefCallback* callback) {
    if (k < 0) k = static_cast<int32_t>(slots_.length());
    while (static_cast<size_t>(k) >= slots_.length()) slots_.append(nullptr);
    if (slots_[static_cast<size_t>(k)]) slots_.insertAt(static_cast<size_t>(k), nullptr);
    auto* slot = new RefSlot{flags, nullptr, callback};
    slots_[static_cast<size_t>(k)] = slot;
    return slot;
  }

  MaxSDK::Array<RefSlot*> slots_;
  std::vector<uint64_t> groups_;
  uint64_t groupStart_ = kNoGroups;
};

// What a RefPtr<T> may hand out: a slot's target is returned only when it is of T's kind,
// so a target of another kind (from a damaged scene file) reads as an empty slot.
template <class T>
struct RefKind;

template <>
struct RefKind<ReferenceTarget> {
  static bool Holds(ReferenceTarget*) { return true; }
};

template <>
struct RefKind<IParamBlock2> {
  static bool Holds(ReferenceTarget* target) {
    return target->SuperClassID() == PARAMETER_BLOCK2_CLASS_ID;
  }
};

// Owning handle of the slot that holds one object of type T at reference Index.
template <class T, int Index>
class RefPtr {
 public:
  // Takes ownership of `callback`.
  RefPtr(IReferenceManager* manager, RefCallback* callback) : manager_(manager) {
    std::unique_ptr<RefCallback> owned(callback);
    slot_ = manager_->AddReference(Index, 0, callback, nullptr, false, true);
    if (slot_) owned.release();
  }

  virtual ~RefPtr() {
    theHold.Suspend();
    manager_->RemoveReference(slot_, Index);
    slot_ = nullptr;
    theHold.Resume();
  }

  RefPtr(const RefPtr&) = delete;
  RefPtr& operator=(const RefPtr&) = delete;

  T* get() const {
    ReferenceTarget* target = slot_ ? slot_->target : nullptr;
    return target && RefKind<T>::Holds(target) ? static_cast<T*>(target) : nullptr;
  }
  T* operator->() const { return get(); }
  operator T*() const { return get(); }
  const RefSlot* slot() const { return slot_; }

 private:
  IReferenceManager* manager_;
  RefSlot* slot_ = nullptr;
};

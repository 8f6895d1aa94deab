#pragma once
// Keeps reference targets alive for host code that is not itself a reference maker (scenes,
// tests, the command-line host): each Hold is a real reference, released on destruction, after
// which the host deletes targets that nothing else references.
#include <vector>

#include "ref.h"

namespace maxhost {

class RefHolder : public ReferenceMaker {
 public:
  RefHolder() = default;
  ~RefHolder() override;
  RefHolder(const RefHolder&) = delete;
  RefHolder& operator=(const RefHolder&) = delete;

  // Adds a reference to target (null is ignored); returns target.
  template <typename T>
  T* Hold(T* target) {
    if (target) HoldTarget(target);
    return target;
  }
  // Drops every reference to target held here.
  void Release(ReferenceTarget* target);
  int Count() const { return int(refs_.size()); }

  SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }
  int NumRefs() override { return int(refs_.size()); }
  RefTargetHandle GetReference(int i) override;

 protected:
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

 private:
  void HoldTarget(ReferenceTarget* target);
  std::vector<RefTargetHandle> refs_;
};

}  // namespace maxhost

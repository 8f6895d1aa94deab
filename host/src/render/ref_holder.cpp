#include "render/ref_holder.h"

namespace maxhost {

RefHolder::~RefHolder() {
  DeleteAllRefs();
}

void RefHolder::HoldTarget(ReferenceTarget* target) {
  // Reuse a free slot so that released references do not grow the list.
  for (size_t i = 0; i < refs_.size(); ++i)
    if (!refs_[i]) {
      ReplaceReference(int(i), target);
      return;
    }
  refs_.push_back(nullptr);
  ReplaceReference(int(refs_.size() - 1), target);
}

void RefHolder::Release(ReferenceTarget* target) {
  for (size_t i = 0; i < refs_.size(); ++i)
    if (refs_[i] == target && target) DeleteReference(int(i));
}

RefTargetHandle RefHolder::GetReference(int i) {
  return i >= 0 && size_t(i) < refs_.size() ? refs_[size_t(i)] : nullptr;
}

void RefHolder::SetReference(int i, RefTargetHandle rtarg) {
  if (i >= 0 && size_t(i) < refs_.size()) refs_[size_t(i)] = rtarg;
}

}  // namespace maxhost

#pragma once
// Scene nodes of the renderer: a handle, a name and a material (reference 0).
#include <string>

#include "inode.h"
#include "core/year_forms.h"

namespace maxhost {

#define SCENE_NODE_CLASS_ID Class_ID(0x5a1e0c03, 0x1d2a7c03)

class SceneNode : public INode {
 public:
  SceneNode(ULONG handle, const MCHAR* name, Mtl* mtl = nullptr);

  ULONG GetHandle() override { return handle_; }
  const MCHAR* GetName() override { return name_.c_str(); }
  void SetName(const MCHAR* s) override { name_ = s ? s : _M(""); }
  Mtl* GetMtl() override { return mtl_; }
  void SetMtl(Mtl* matl) override;

  Class_ID ClassID() override { return SCENE_NODE_CLASS_ID; }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(_M("Node"));
  }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override;

 protected:
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

 private:
  ULONG handle_;
  std::wstring name_;
  Mtl* mtl_ = nullptr;
};

}  // namespace maxhost

#include "render/scene_node.h"

#include "imtl.h"

namespace maxhost {

SceneNode::SceneNode(ULONG handle, const MCHAR* name, Mtl* mtl)
    : handle_(handle), name_(name ? name : _M("")) {
  if (mtl) ReplaceReference(0, mtl);
}

void SceneNode::SetMtl(Mtl* matl) {
  ReplaceReference(0, matl);
}

RefTargetHandle SceneNode::GetReference(int i) {
  return i == 0 ? mtl_ : nullptr;
}

void SceneNode::SetReference(int i, RefTargetHandle rtarg) {
  if (i != 0 || (rtarg && rtarg->SuperClassID() != MATERIAL_CLASS_ID)) return;
  if (auto* mtl = dynamic_cast<Mtl*>(rtarg); mtl || !rtarg) mtl_ = mtl;
}

}  // namespace maxhost

// Scene nodes. The renderer of the stand-in implements them; plug-ins see this interface.
#pragma once

#include "maxtypes.h"
#include "ref.h"

class Mtl;

#define kNullHandle 0

class CoreExport INode : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }
  // The node's handle, unique in the scene; kNullHandle for none.
  virtual ULONG GetHandle() { return kNullHandle; }
  virtual const MCHAR* GetName() = 0;
  virtual void SetName(const MCHAR* s) = 0;
  virtual Mtl* GetMtl() = 0;
  virtual void SetMtl(Mtl* matl) = 0;
  virtual int GetMtlID() { return 0; }
  virtual INode* GetParentNode() { return nullptr; }
  virtual int NumberOfChildren() { return 0; }
  virtual INode* GetChildNode(int i) {
    (void)i;
    return nullptr;
  }
  virtual BOOL IsRootNode() { return FALSE; }
};

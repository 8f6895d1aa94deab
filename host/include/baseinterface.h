// Interface lookup shared by host objects and published interfaces.
#pragma once

#include "maxheap.h"
#include "maxtypes.h"

class Interface_ID : public MaxHeapOperators {
 public:
  Interface_ID() = default;
  Interface_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}
  ULONG PartA() const { return a; }
  ULONG PartB() const { return b; }
  void SetPartA(ULONG aa) { a = aa; }
  void SetPartB(ULONG bb) { b = bb; }
  bool operator==(const Interface_ID& o) const { return a == o.a && b == o.b; }
  bool operator!=(const Interface_ID& o) const { return !(*this == o); }
  bool operator<(const Interface_ID& o) const { return a < o.a || (a == o.a && b < o.b); }

 private:
  ULONG a = 0xffffffff;
  ULONG b = 0xffffffff;
};

class BaseInterface;

class CoreExport InterfaceServer : public MaxHeapOperators {
 public:
  virtual ~InterfaceServer() = default;
  virtual BaseInterface* GetInterface(Interface_ID id) {
    (void)id;
    return nullptr;
  }
};

enum LifetimeType { noRelease, immediateRelease, wantsRelease, serverControlled };

class CoreExport BaseInterface : public InterfaceServer {
 public:
  virtual ~BaseInterface() = default;
  virtual Interface_ID GetID() { return Interface_ID(0, 0); }
  virtual LifetimeType LifetimeControl() { return noRelease; }
  virtual bool RegisterNotifyCallback(class InterfaceNotifyCallback*) { return false; }
  virtual void UnRegisterNotifyCallback(class InterfaceNotifyCallback*) {}
  virtual BaseInterface* AcquireInterface() { return this; }
  virtual void ReleaseInterface() {}
  virtual void DeleteInterface() {}
  virtual BaseInterface* CloneInterface(void* remapDir = nullptr) {
    (void)remapDir;
    return nullptr;
  }
  BaseInterface* GetInterface(Interface_ID id) override { return id == GetID() ? this : nullptr; }
};

// Animatable: the root of everything the host can animate, list in its track view,
// and ask for sub-anims and parameter blocks.
#pragma once

#include "baseinterface.h"
#include "interval.h"
#include "maxtypes.h"
#include "noncopyable.h"
#include "plugapi.h"
#include "strclass.h"

class IParamBlock2;

// Animatable flags (SetAFlag/TestAFlag).
#define A_HELD (1 << 0)
#define A_IS_DELETED (1 << 1)
#define A_LOCK_TARGET (1 << 2)
#define A_WORK1 (1 << 8)
#define A_WORK2 (1 << 9)
#define A_WORK3 (1 << 10)
#define A_WORK4 (1 << 11)

// Animate mode: while on, setting an animatable parameter sets a key at the given time.
CoreExport BOOL Animating();
CoreExport void AnimateOn();
CoreExport void AnimateOff();
CoreExport void SuspendAnimate();
CoreExport void ResumeAnimate();

class CoreExport Animatable : public InterfaceServer, public MaxSDK::Util::Noncopyable {
 public:
  Animatable() = default;
  virtual ~Animatable();

#if MAX_VERSION_MAJOR >= 24
  // From 2022 a class answers with a localized switch; the short form stays for callers and
  // is sealed (2022 to 2025), then removed (2026).
#if MAX_VERSION_MAJOR < 28
  virtual void GetClassName(MSTR& s) final {
    GetClassName(s, true);
  }
#endif
  virtual void GetClassName(MSTR& s, bool localized) const {
    (void)localized;
    s = MSTR(_M("Animatable"));
  }
  MSTR ClassName(bool localized = true) const {
    MSTR s;
    GetClassName(s, localized);
    return s;
  }
#else
  virtual void GetClassName(MSTR& s) { s = MSTR(_M("Animatable")); }
#endif
  virtual Class_ID ClassID() { return Class_ID(0, 0); }
  virtual SClass_ID SuperClassID() = 0;
  virtual void DeleteThis();
  virtual void FreeCaches() {}

  // Sub-anims.
  virtual int NumSubs() { return 0; }
  virtual Animatable* SubAnim(int i) {
    (void)i;
    return nullptr;
  }
#if MAX_VERSION_MAJOR >= 24
#if MAX_VERSION_MAJOR < 28
  virtual MSTR SubAnimName(int i) final {
    return SubAnimName(i, true);
  }
#endif
  virtual MSTR SubAnimName(int i, bool localized);
#else
  virtual MSTR SubAnimName(int i);
#endif
  virtual int SubNumToRefNum(int subNum) {
    (void)subNum;
    return -1;
  }
  virtual BOOL IsAnimated();

  // Rendering notifications: flags are 0 for a scene render, nonzero (RENDERBEGIN_IN_MEDIT)
  // for the material editor's previews.
  virtual int RenderBegin(TimeValue t, ULONG flags = 0) {
    (void)t, (void)flags;
    return 0;
  }
  virtual int RenderEnd(TimeValue t) {
    (void)t;
    return 0;
  }

  // Parameter blocks.
  virtual int NumParamBlocks() { return 0; }
  virtual IParamBlock2* GetParamBlock(int i) {
    (void)i;
    return nullptr;
  }
  virtual IParamBlock2* GetParamBlockByID(BlockID id) {
    (void)id;
    return nullptr;
  }

  // Interfaces by ID.
  virtual void* GetInterface(ULONG id) {
    (void)id;
    return nullptr;
  }
  BaseInterface* GetInterface(Interface_ID id) override {
    return InterfaceServer::GetInterface(id);
  }

  void SetAFlag(DWORD mask) { mAFlags |= mask; }
  void ClearAFlag(DWORD mask) { mAFlags &= ~mask; }
  BOOL TestAFlag(DWORD mask) const { return (mAFlags & mask) ? TRUE : FALSE; }

 private:
  DWORD mAFlags = 0;
};

#define RENDERBEGIN_IN_MEDIT 1

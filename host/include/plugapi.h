// Plug-in identity: class and super-class identifiers, the class descriptor, and the
// version numbers that a plug-in's LibVersion is checked against.
#pragma once

#include "baseinterface.h"
#include "maxheap.h"
#include "maxtypes.h"

#include "maxversion.h"

// Each host release and the API number of its final SDK.
#define MAX_RELEASE_R14 14000
#define MAX_RELEASE_R15 15000
#define MAX_RELEASE_R17 17000
#define MAX_RELEASE_R19 19000
#define MAX_RELEASE_R20 20000
#define MAX_RELEASE_R21 21000
#define MAX_RELEASE_R22 22000
#define MAX_RELEASE_R23 23000
#define MAX_RELEASE_R24 24000
#define MAX_RELEASE_R25 25000
#define MAX_RELEASE_R26 26000
#define MAX_RELEASE_R27 27000
#define MAX_RELEASE_R28 28000
#define MAX_API_NUM_R140 38
#define MAX_API_NUM_R150 40
#define MAX_API_NUM_R170 44
#define MAX_API_NUM_R190 48
#define MAX_API_NUM_R200 50
#define MAX_API_NUM_R210 52
#define MAX_API_NUM_R220 55
#define MAX_API_NUM_R230 57
#define MAX_API_NUM_R240 60
#define MAX_API_NUM_R250 62
#define MAX_API_NUM_R260 64
#define MAX_API_NUM_R270 66
#define MAX_API_NUM_R280 68

#if MAX_VERSION_MAJOR == 14
#define MAX_RELEASE MAX_RELEASE_R14
#define MAX_API_NUM MAX_API_NUM_R140
#elif MAX_VERSION_MAJOR == 15
#define MAX_RELEASE MAX_RELEASE_R15
#define MAX_API_NUM MAX_API_NUM_R150
#elif MAX_VERSION_MAJOR == 17
#define MAX_RELEASE MAX_RELEASE_R17
#define MAX_API_NUM MAX_API_NUM_R170
#elif MAX_VERSION_MAJOR == 19
#define MAX_RELEASE MAX_RELEASE_R19
#define MAX_API_NUM MAX_API_NUM_R190
#elif MAX_VERSION_MAJOR == 20
#define MAX_RELEASE MAX_RELEASE_R20
#define MAX_API_NUM MAX_API_NUM_R200
#elif MAX_VERSION_MAJOR == 21
#define MAX_RELEASE MAX_RELEASE_R21
#define MAX_API_NUM MAX_API_NUM_R210
#elif MAX_VERSION_MAJOR == 22
#define MAX_RELEASE MAX_RELEASE_R22
#define MAX_API_NUM MAX_API_NUM_R220
#elif MAX_VERSION_MAJOR == 23
#define MAX_RELEASE MAX_RELEASE_R23
#define MAX_API_NUM MAX_API_NUM_R230
#elif MAX_VERSION_MAJOR == 24
#define MAX_RELEASE MAX_RELEASE_R24
#define MAX_API_NUM MAX_API_NUM_R240
#elif MAX_VERSION_MAJOR == 25
#define MAX_RELEASE MAX_RELEASE_R25
#define MAX_API_NUM MAX_API_NUM_R250
#elif MAX_VERSION_MAJOR == 26
#define MAX_RELEASE MAX_RELEASE_R26
#define MAX_API_NUM MAX_API_NUM_R260
#elif MAX_VERSION_MAJOR == 27
#define MAX_RELEASE MAX_RELEASE_R27
#define MAX_API_NUM MAX_API_NUM_R270
#else
#define MAX_RELEASE MAX_RELEASE_R28
#define MAX_API_NUM MAX_API_NUM_R280
#endif
#define MAX_SDK_REV 0
#define MAXAPIVERSION(rel, api, sdk) (((rel) << 16) | ((api) << 8) | (sdk))
#define VERSION_3DSMAX MAXAPIVERSION(MAX_RELEASE, MAX_API_NUM, MAX_SDK_REV)
#define GET_MAX_RELEASE(v) (((v) >> 16) & 0xffff)
#define GET_MAX_API_NUM(v) (((v) >> 8) & 0xff)
#define GET_MAX_SDK_REV(v) ((v)&0xff)

// Super classes.
#define GEN_DERIVOB_CLASS_ID 0x0001
#define BASENODE_CLASS_ID 0x0001
#define PARAMETER_BLOCK_CLASS_ID 0x0008
#define PARAMETER_BLOCK2_CLASS_ID 0x0082
#define REF_MAKER_CLASS_ID 0x0100
#define REF_TARGET_CLASS_ID 0x0900
#define MATERIAL_CLASS_ID 0x0C00
#define MTL_CLASS_ID MATERIAL_CLASS_ID
#define TEXMAP_CLASS_ID 0x0C10
#define UVGEN_CLASS_ID 0x0000C20
#define XYZGEN_CLASS_ID 0x0000C30
#define TEXOUTPUT_CLASS_ID 0x0000C40
#define SOUNDOBJ_CLASS_ID 0x0000D00
#define UTILITY_CLASS_ID 0x1020
#define MAKEREF_REST_CLASS_ID 0x9876543

// Class ids of the host's own classes that plug-ins test for.
#define BMTEX_CLASS_ID 0x0000240

#define NOTIFY_ALL 0xfffffff0

class CoreExport Class_ID : public MaxHeapOperators {
 public:
  Class_ID() = default;
  Class_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}
  ULONG PartA() const { return a; }
  ULONG PartB() const { return b; }
  void SetPartA(ULONG aa) { a = aa; }
  void SetPartB(ULONG bb) { b = bb; }
  int operator==(const Class_ID& o) const { return a == o.a && b == o.b; }
  int operator!=(const Class_ID& o) const { return !(*this == o); }
  bool operator<(const Class_ID& o) const { return a < o.a || (a == o.a && b < o.b); }

 private:
  ULONG a = 0xffffffff;
  ULONG b = 0xffffffff;
};

class ParamBlockDesc2;
class ParamMap2UserDlgProc;
class ReferenceMaker;
class FPInterface;
class IObjParam;
class Animatable;
class Interface;

class CoreExport ClassDesc : public MaxHeapOperators {
 public:
  ClassDesc();
  virtual ~ClassDesc();
  virtual int IsPublic() = 0;
  virtual void* Create(BOOL loading = FALSE) = 0;
  virtual int BeginEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* prev) {
    (void)ip, (void)obj, (void)flags, (void)prev;
    return 0;
  }
  virtual int EndEditParams(IObjParam* ip, ReferenceMaker* obj, ULONG flags, Animatable* prev) {
    (void)ip, (void)obj, (void)flags, (void)prev;
    return 1;
  }
  virtual void ResetClassParams(BOOL fileReset) { (void)fileReset; }
  virtual const MCHAR* ClassName() = 0;
#if MAX_VERSION_MAJOR >= 24
  // From 2022 scripts know the class by this name (unless only the internal name is
  // exposed); for scripts of older hosts to keep working it is the English class name.
  virtual const MCHAR* NonLocalizedClassName() = 0;
#endif
  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual const MCHAR* Category() = 0;
  virtual BOOL OkToCreate(Interface* i) {
    (void)i;
    return TRUE;
  }
  virtual BOOL HasClassParams() { return FALSE; }
  virtual const MCHAR* InternalName() { return nullptr; }
  virtual HINSTANCE HInstance() { return nullptr; }

  // Parameter block descriptors (ClassDesc2 keeps them).
  virtual int NumParamBlockDescs() { return 0; }
  virtual ParamBlockDesc2* GetParamBlockDesc(int i) {
    (void)i;
    return nullptr;
  }
  virtual ParamBlockDesc2* GetParamBlockDescByID(BlockID id) {
    (void)id;
    return nullptr;
  }
  virtual void AddParamBlockDesc(ParamBlockDesc2* pbd) { (void)pbd; }
  virtual void MakeAutoParamBlocks(ReferenceMaker* owner) { (void)owner; }
  virtual const MCHAR* GetRsrcString(INT_PTR id) { return reinterpret_cast<const MCHAR*>(id); }

  // Published function interfaces.
  virtual int NumInterfaces();
  virtual FPInterface* GetInterfaceAt(int i);
  virtual FPInterface* GetInterface(Interface_ID id);
  virtual FPInterface* GetInterface(const MCHAR* name);
  virtual void AddInterface(FPInterface* fpi);
  virtual void ClearInterfaces();

  virtual bool UseOnlyInternalNameForMAXScriptExposure() { return false; }

  // Installs the user dialog procedure of a block's automatic rollouts; ClassDesc2 does it.
  // It answers whether it could from 2022.
#if MAX_VERSION_MAJOR >= 24
  virtual bool SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = NULL) {
    (void)pbd, (void)proc;
    return false;
  }
#else
  virtual void SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = NULL) {
    (void)pbd, (void)proc;
  }
#endif

 private:
  ClassDesc(const ClassDesc&) = delete;
  ClassDesc& operator=(const ClassDesc&) = delete;
  struct InterfaceList;
  InterfaceList* mInterfaces = nullptr;
};

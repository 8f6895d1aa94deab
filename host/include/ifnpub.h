// Function publishing: interfaces described by a static variadic table, callable by ID
// from the script engine.
#pragma once

#include <vector>

#include "acolor.h"
#include "baseinterface.h"
#include "color.h"
#include "containers/Array.h"
#include "maxtypes.h"
#include "paramtype.h"
#include "plugapi.h"
#include "point3.h"
#include "strclass.h"
#include "tab.h"

class Value;
class ReferenceTarget;
class Texmap;
class Mtl;
class INode;
class FPInterface;
class FPInterfaceDesc;
class ClassDesc;

#define FPS_FAIL 0
#define FPS_OK 1
#define FPS_NO_SUCH_FUNCTION -1
#define FPS_ACTION_DISABLED -2

#define FP_NO_FUNCTION (static_cast<FunctionID>(-1))

// Interface flags (the fifth argument of the table).
#define FP_ACTIONS 0x0001
#define FP_MIXIN 0x0002
#define FP_CORE 0x0004
#define FP_STATIC_METHODS 0x0008
#define FP_TEST_INTERFACE 0x0010
#define FP_SCRIPTED_CLASS 0x1000
#define FP_TEMPORARY 0x2000

// Function flags.
#define FP_NO_REDRAW 0x0001
#define FP_VAR_ARGS 0x0002
#define FP_CLIENT_OWNS_RESULT 0x0004

// A value passed to or returned from a published function.
class CoreExport FPValue : public MaxHeapOperators {
 public:
  ParamType2 type = TYPE_VOID;
  union {
    int i;
    float f;
    DWORD d;
    bool b;
    INT_PTR intptr;
    double dbl;
    void* ptr;
    int* iptr;
    float* fptr;
    Point3* p;
    Color* clr;
    AColor* aclr;
    const MCHAR* s;
    MSTR* tstr;
    ReferenceTarget* r;
    Texmap* tex;
    Mtl* mtl;
    INode* n;
    Value* v;
    FPInterface* fpi;
    BaseInterface* bi;
    HWND hwnd;
    Tab<int>* i_tab;
    Tab<float>* f_tab;
    Tab<ReferenceTarget*>* r_tab;
  };

  FPValue() : dbl(0.0) {}
  FPValue(const FPValue& o) : type(o.type), dbl(0.0) { CopyFrom(o); }
  FPValue& operator=(const FPValue& o) {
    if (this != &o) {
      Free();
      type = o.type;
      CopyFrom(o);
    }
    return *this;
  }
  ~FPValue() { Free(); }

  // Stores a value of the given type; pointer types keep the pointer as given.
  void LoadPtr(ParamType2 t, const void* pointer) {
    Free();
    type = t;
    ptr = const_cast<void*>(pointer);
  }
  void Load(ParamType2 t, int val) {
    Free();
    type = t;
    i = val;
  }
  void Load(ParamType2 t, float val) {
    Free();
    type = t;
    f = val;
  }
  void Load(ParamType2 t, bool val) {
    Free();
    type = t;
    b = val;
  }
  void Load(ParamType2 t, Value* val) {
    Free();
    type = t;
    v = val;
  }
  // Owned copies for strings (TYPE_TSTR_BV) so the value can outlive the callee.
  void LoadString(const MCHAR* text);
  void Free();

 private:
  void CopyFrom(const FPValue& o);
  bool mOwnsString = false;
};

class CoreExport FPParams : public MaxHeapOperators {
 public:
  MaxSDK::Array<FPValue> params;
  FPParams() = default;
  explicit FPParams(int count) : params(static_cast<size_t>(count > 0 ? count : 0)) {}
  int Count() { return static_cast<int>(params.length()); }
};

// One parameter of a published function.
struct FPParamDef {
  const MCHAR* internal_name = nullptr;
  StringResID description = 0;
  ParamType2 type = TYPE_VOID;
  int flags = 0;
  bool keyArg = false;
  FPValue* keyArgDefault = nullptr;
};

struct FPFunctionDef {
  FunctionID ID = FP_NO_FUNCTION;
  const MCHAR* internal_name = nullptr;
  StringResID description = 0;
  ParamType2 result_type = TYPE_VOID;
  int flags = 0;
  std::vector<FPParamDef> params;
};

struct FPPropDef {
  FunctionID getter_ID = FP_NO_FUNCTION;
  FunctionID setter_ID = FP_NO_FUNCTION;
  const MCHAR* internal_name = nullptr;
  StringResID description = 0;
  ParamType2 prop_type = TYPE_VOID;
};

// Option tags of function and property stanzas.
enum FPTags {
  f_range = -40,
  f_validator = -41,
  f_inOut = -42,
  f_keyArgDefault = -43,
  f_enum = -44,
  f_select = -45,
  f_iconRes = -46,
  f_icon = -47,
  f_buttonText = -48,
  f_toolTip = -49,
  f_menuText = -50,
  f_ui = -51,
  f_shortCut = -52,
  f_macroEnabled = -53,
  f_category = -54,
  f_isEnabled = -55,
  f_isChecked = -56,
  f_isVisible = -57,
  f_iconName = -58
};

struct FPEnum {
  int ID = 0;
  std::vector<std::pair<const MCHAR*, int>> enumeration;
};

class CoreExport FPInterface : public BaseInterface {
 public:
  virtual FPInterfaceDesc* GetDesc() = 0;
  Interface_ID GetID() override;
  virtual FPStatus Invoke(FunctionID fid, TimeValue t = 0, FPParams* params = nullptr);
  virtual FPStatus Invoke(FunctionID fid, TimeValue t, FPValue& result, FPParams* params = nullptr);
  virtual FPStatus Invoke(FunctionID fid, FPValue& result, FPParams* params = nullptr) {
    return Invoke(fid, 0, result, params);
  }
  virtual FunctionID FindFn(const MCHAR* name);
  // The empty descriptor that interface lookups answer for an unknown ID.
  static CoreExport FPInterfaceDesc nullInterface;

 protected:
  virtual FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) {
    (void)fid, (void)t, (void)result, (void)p;
    return FPS_NO_SUCH_FUNCTION;
  }
};

// The descriptor of a published interface; for core and static interfaces it is the
// interface itself.
class CoreExport FPInterfaceDesc : public FPInterface {
 public:
  // The table: interface ID, internal name, description string, class descriptor (which
  // the interface is added to, unless null), flags; then the functions (id, name, descr,
  // result type, flags, parameter count, per parameter: name, descr, type [, tags]);
  // then `properties` followed by getter id, setter id, name, descr, type per property;
  // then `enums`; the table ends with p_end.
  FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* cd,
                  ULONG flag, ...);
  FPInterfaceDesc();
  ~FPInterfaceDesc() override;

  Interface_ID ID;
  const MCHAR* internal_name = nullptr;
  StringResID description = 0;
  ClassDesc* cd = nullptr;
  USHORT flags = 0;
  std::vector<FPFunctionDef> functions;
  std::vector<FPPropDef> props;
  std::vector<FPEnum> enumerations;

  Interface_ID GetID() override { return ID; }
  FPInterfaceDesc* GetDesc() override { return this; }
  // Descriptors live as long as the library that defines them.
  LifetimeType LifetimeControl() override { return noRelease; }
  using FPInterface::FindFn;
  const FPFunctionDef* FindFn(FunctionID fid) const;
  const FPFunctionDef* FindFn(const MCHAR* name) const;
  const FPPropDef* FindProp(const MCHAR* name) const;
};

// The base of static and core interfaces: the interface is its own descriptor.
class FPStaticInterface : public FPInterfaceDesc {};

// An interface mixed into an object's class; the object answers GetInterface with it.
class CoreExport FPMixinInterface : public FPInterface {
 public:
  // The object that mixes the interface in decides how long it lives.
  LifetimeType LifetimeControl() override { return serverControlled; }
  // The descriptor of the interface with this ID that the object offers; mixins
  // usually answer GetDesc() with GetDescByID(their ID).
  virtual FPInterfaceDesc* GetDescByID(Interface_ID id) {
    (void)id;
    return &nullInterface;
  }
};

// Function-map macros: a _dispatch_fn that calls member functions by ID.
#define TYPE_INT_FIELD i
#define TYPE_FLOAT_FIELD f
#define TYPE_BOOL_FIELD i
#define TYPE_bool_FIELD b
#define TYPE_DWORD_FIELD d
#define TYPE_INTPTR_FIELD intptr
#define TYPE_DOUBLE_FIELD dbl
#define TYPE_ANGLE_FIELD f
#define TYPE_PCNT_FRAC_FIELD f
#define TYPE_WORLD_FIELD f
#define TYPE_TIMEVALUE_FIELD i
#define TYPE_INDEX_FIELD i
#define TYPE_ENUM_FIELD i
#define TYPE_VALUE_FIELD v
#define TYPE_STRING_FIELD s
#define TYPE_FILENAME_FIELD s
#define TYPE_REFTARG_FIELD r
#define TYPE_TEXMAP_FIELD tex
#define TYPE_MTL_FIELD mtl
#define TYPE_INODE_FIELD n
#define TYPE_INTERFACE_FIELD fpi
#define TYPE_HWND_FIELD hwnd
#define TYPE_POINT3_FIELD p
#define TYPE_RGBA_FIELD clr
#define TYPE_COLOR_FIELD clr

#define FP_FIELD_(type) type##_FIELD
#define FP_FIELD(type) FP_FIELD_(type)

#define BEGIN_FUNCTION_MAP                                                                    \
 public:                                                                                      \
  FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) override { \
    (void)t;                                                                                  \
    (void)p;                                                                                  \
    FPStatus status = FPS_OK;                                                                 \
    switch (fid) {
#define END_FUNCTION_MAP           \
  default:                         \
    status = FPS_NO_SUCH_FUNCTION; \
    }                              \
    (void)result;                  \
    return status;                 \
    }

#define FP_ARG(n, type) (p->params[n].FP_FIELD(type))
#define FP_RESULT(type, expr)                    \
  do {                                           \
    result.type = static_cast<ParamType2>(type); \
    result.FP_FIELD(type) = (expr);              \
  } while (0)

#define PROP_FNS(getID, getFn, setID, setFn, ptype) \
  case getID:                                       \
    result.Free();                                  \
    result.type = ptype;                            \
    result.FP_FIELD(ptype) = getFn();               \
    break;                                          \
  case setID:                                       \
    if (!p || p->Count() < 1) return FPS_FAIL;      \
    setFn(FP_ARG(0, ptype));                        \
    break;
#define RO_PROP_FN(getID, getFn, ptype) \
  case getID:                           \
    result.Free();                      \
    result.type = ptype;                \
    result.FP_FIELD(ptype) = getFn();   \
    break;
#define VFN_0(fid, fn) \
  case fid:            \
    fn();              \
    break;
#define VFN_1(fid, fn, t1)                     \
  case fid:                                    \
    if (!p || p->Count() < 1) return FPS_FAIL; \
    fn(FP_ARG(0, t1));                         \
    break;
#define VFN_2(fid, fn, t1, t2)                 \
  case fid:                                    \
    if (!p || p->Count() < 2) return FPS_FAIL; \
    fn(FP_ARG(0, t1), FP_ARG(1, t2));          \
    break;
#define FN_0(fid, rtype, fn)       \
  case fid:                        \
    result.Free();                 \
    result.type = rtype;           \
    result.FP_FIELD(rtype) = fn(); \
    break;
#define FN_1(fid, rtype, fn, t1)                \
  case fid:                                     \
    if (!p || p->Count() < 1) return FPS_FAIL;  \
    result.Free();                              \
    result.type = rtype;                        \
    result.FP_FIELD(rtype) = fn(FP_ARG(0, t1)); \
    break;
#define FN_2(fid, rtype, fn, t1, t2)                           \
  case fid:                                                    \
    if (!p || p->Count() < 2) return FPS_FAIL;                 \
    result.Free();                                             \
    result.type = rtype;                                       \
    result.FP_FIELD(rtype) = fn(FP_ARG(0, t1), FP_ARG(1, t2)); \
    break;

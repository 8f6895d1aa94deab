// Materials and texture maps, and the shade context through which the renderer asks
// them for colours.
#pragma once

#include "acolor.h"
#include "color.h"
#include "interval.h"
#include "maxtypes.h"
#include "point3.h"
#include "ref.h"
#include "strclass.h"

class INode;
class Texmap;
class Mtl;
class MtlBase;
class ParamDlg;
class IMtlParams;
class UVGen;
class XYZGen;
class ShadeContext;

// Slot types of sub-maps.
#define MAPSLOT_TEXTURE 0
#define MAPSLOT_ENVIRON 1
#define MAPSLOT_DISPLACEMENT 2
#define MAPSLOT_BACKGROUND 3

// UVW sources.
#define UVWSRC_EXPLICIT 0
#define UVWSRC_OBJXYZ 1
#define UVWSRC_EXPLICIT2 2
#define UVWSRC_WORLDXYZ 3

// Texture tiling flags.
#define U_WRAP (1 << 0)
#define V_WRAP (1 << 1)
#define U_MIRROR (1 << 2)
#define V_MIRROR (1 << 3)

// MtlBase flags.
#define MTL_IN_SCENE (1 << 0)
#define MTL_TEX_DISPLAY_ENABLED (1 << 3)
#define MTL_MEDIT_BACKGROUND (1 << 4)

// Shading requirements.
#define MTLREQ_2SIDE (1 << 0)
#define MTLREQ_UV (1 << 2)
#define MTLREQ_FACEMAP (1 << 3)
#define MTLREQ_XYZ (1 << 4)
#define MTLREQ_BUMPUV (1 << 11)
#define MTLREQ_UV2 (1 << 15)

// Shading modes of ShadeContext::mode.
#define SCMODE_NORMAL 0
#define SCMODE_SHADOW 1

enum RefFrame { REF_CAMERA = 0, REF_WORLD, REF_OBJECT };

inline float Intens(const AColor& c) {
  return (c.r + c.g + c.b) / 3.0f;
}
inline float Intens(const Color& c) {
  return (c.r + c.g + c.b) / 3.0f;
}

// What a material's Shade writes.
class ShadeOutput : public MaxHeapOperators {
 public:
  ULONG flags = 0;
  Color c;  // shaded colour
  Color t;  // transparency
  float ior = 1.0f;
  int gbufId = 0;
  void Reset(int n = -1) {
    (void)n;
    flags = 0;
    c.Black();
    t.Black();
    ior = 1.0f;
    gbufId = 0;
  }
};

// One shading sample, handed to every map evaluation. Renderers derive from it; each
// rendering thread has its own. The per-sample caches default to "no cache".
class CoreExport ShadeContext : public InterfaceServer {
 public:
  ULONG mode = SCMODE_NORMAL;
  int nLights = 0;
  int shadow = 0;
  int backFace = 0;
  int mtlNum = 0;
  Color ambientLight;
  int rayLevel = 0;
  int xshadeID = 0;
  ShadeOutput out;
  bool doMaps = true;
  bool filterMaps = true;

  ShadeContext() = default;
  ~ShadeContext() override = default;

  virtual void ResetOutput(int n = -1) { out.Reset(n); }
  virtual Class_ID ClassID() { return Class_ID(0, 0); }
  virtual BOOL InMtlEditor() { return FALSE; }
  virtual int Antialias() { return 0; }
  virtual int ProjType() { return 0; }
  virtual TimeValue CurTime() { return 0; }
  virtual int NodeID() { return -1; }
  virtual INode* Node() { return nullptr; }
  virtual int FaceNumber() { return 0; }
  virtual Point3 BarycentricCoords() { return Point3(0.0f, 0.0f, 0.0f); }
  virtual Point3 Normal() { return Point3(0.0f, 0.0f, 1.0f); }
  virtual void SetNormal(Point3 p) { (void)p; }
  virtual Point3 OrigNormal() { return Normal(); }
  virtual Point3 GNormal() { return Normal(); }
  virtual Point3 V() { return Point3(0.0f, 0.0f, -1.0f); }
  virtual void SetView(Point3 p) { (void)p; }
  virtual Point3 OrigView() { return V(); }
  virtual Point3 ReflectVector() { return V(); }
  virtual Point3 RefractVector(float ior) {
    (void)ior;
    return V();
  }
  virtual void SetIOR(float ior) { (void)ior; }
  virtual float GetIOR() { return 1.0f; }
  virtual Point3 CamPos() { return Point3(0.0f, 0.0f, 0.0f); }
  virtual Point3 P() { return Point3(0.0f, 0.0f, 0.0f); }
  virtual Point3 DP() { return Point3(0.0f, 0.0f, 0.0f); }
  virtual void DP(Point3& dpdx, Point3& dpdy) { dpdx = dpdy = Point3(0.0f, 0.0f, 0.0f); }
  virtual Point3 PObj() { return P(); }
  virtual Point3 DPObj() { return DP(); }
  virtual Point3 PObjRelBox() { return PObj(); }
  virtual Point3 DPObjRelBox() { return DPObj(); }
  virtual void ScreenUV(Point2& uv, Point2& duv) {
    uv = Point2(0.0f, 0.0f);
    duv = Point2(0.0f, 0.0f);
  }
  // Texture coordinates of a map channel at the sample, their extent over the sample's
  // footprint, and the surface derivatives with respect to them.
  virtual Point3 UVW(int channel = 0) = 0;
  virtual Point3 DUVW(int channel = 0) {
    (void)channel;
    return Point3(0.0f, 0.0f, 0.0f);
  }
  virtual void DPdUVW(Point3 dP[3], int channel = 0) {
    (void)channel;
    dP[0] = Point3(1.0f, 0.0f, 0.0f);
    dP[1] = Point3(0.0f, 1.0f, 0.0f);
    dP[2] = Point3(0.0f, 0.0f, 1.0f);
  }
  virtual int BumpBasisVectors(Point3 dP[2], int axis, int channel = 0) {
    (void)dP, (void)axis, (void)channel;
    return 0;
  }
  virtual BOOL IsSuperSampleOn() { return FALSE; }
  virtual BOOL IsTextureSuperSampleOn() { return FALSE; }
  virtual void GetBGColor(Color& bgcol, Color& transp, BOOL fogBG = TRUE) {
    (void)fogBG;
    bgcol.Black();
    transp.Black();
  }
  virtual Point3 PointTo(const Point3& p, RefFrame ito) {
    (void)ito;
    return p;
  }
  virtual Point3 PointFrom(const Point3& p, RefFrame ifrom) {
    (void)ifrom;
    return p;
  }
  virtual Point3 VectorTo(const Point3& p, RefFrame ito) {
    (void)ito;
    return p;
  }
  virtual Point3 VectorFrom(const Point3& p, RefFrame ifrom) {
    (void)ifrom;
    return p;
  }
  // G-buffer object id of the map being evaluated.
  virtual void SetGBufferID(int gbid) { out.gbufId = gbid; }
  virtual AColor EvalEnvironMap(Texmap* map, Point3 viewd) {
    (void)map, (void)viewd;
    return AColor(0.0f, 0.0f, 0.0f, 0.0f);
  }
  virtual AColor EvalGlobalEnvironMap(Point3 dir) {
    (void)dir;
    return AColor(0.0f, 0.0f, 0.0f, 0.0f);
  }

  // Per-sample caches keyed by map.
  virtual BOOL GetCache(Texmap* map, AColor& c) {
    (void)map, (void)c;
    return FALSE;
  }
  virtual BOOL GetCache(Texmap* map, float& f) {
    (void)map, (void)f;
    return FALSE;
  }
  virtual BOOL GetCache(Texmap* map, Point3& p) {
    (void)map, (void)p;
    return FALSE;
  }
  virtual void PutCache(Texmap* map, const AColor& c) { (void)map, (void)c; }
  virtual void PutCache(Texmap* map, const float f) { (void)map, (void)f; }
  virtual void PutCache(Texmap* map, const Point3& p) { (void)map, (void)p; }
  virtual void TossCache(Texmap* map) { (void)map; }
};

// The viewport's texture handle made from a device-independent bitmap.
class TexHandle : public MaxHeapOperators {
 public:
  virtual ~TexHandle() = default;
  virtual DWORD_PTR GetHandle() = 0;
  virtual void DeleteThis() = 0;
};

class TexHandleMaker : public MaxHeapOperators {
 public:
  virtual ~TexHandleMaker() = default;
  // Takes ownership of bminf (allocated with malloc).
  virtual TexHandle* MakeHandle(BITMAPINFO* bminf) = 0;
  virtual TexHandle* CreateHandle(BITMAPINFO* bminf, int symflags = 0, int extraFlags = 0) {
    (void)symflags, (void)extraFlags;
    return MakeHandle(bminf);
  }
  virtual BOOL UseClosestPowerOf2() { return TRUE; }
  // Edge length of the square bitmaps the viewport wants.
  virtual int Size() { return 64; }
};

// Categories of the material/map browser; these arrays live in the core library.
extern CoreExport MCHAR TEXMAP_CAT_2D[];
extern CoreExport MCHAR TEXMAP_CAT_3D[];
extern CoreExport MCHAR TEXMAP_CAT_COMP[];
extern CoreExport MCHAR TEXMAP_CAT_COLMOD[];
extern CoreExport MCHAR TEXMAP_CAT_ENV[];

// The material editor's dialog of one material or map.
class ParamDlg : public InterfaceServer {
 public:
  virtual ~ParamDlg() = default;
  virtual Class_ID ClassID() = 0;
  virtual void SetThing(ReferenceTarget* m) = 0;
  virtual ReferenceTarget* GetThing() = 0;
  virtual void SetTime(TimeValue t) = 0;
  virtual void ReloadDialog() = 0;
  virtual void DeleteThis() = 0;
  virtual void ActivateDlg(BOOL onOff) = 0;
  virtual int FindSubTexFromHWND(HWND hwnd) {
    (void)hwnd;
    return -1;
  }
  virtual int FindSubMtlFromHWND(HWND hwnd) {
    (void)hwnd;
    return -1;
  }
  using InterfaceServer::GetInterface;
  virtual void* GetInterface(ULONG id) {
    (void)id;
    return nullptr;
  }
};

class CoreExport IMtlParams : public InterfaceServer {
 public:
  virtual ~IMtlParams() = default;
  virtual void MtlChanged() = 0;
  virtual TimeValue GetTime() = 0;
  virtual void DeleteRollupPage(HWND hRollup) { (void)hRollup; }
  virtual void RollupMouseMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)hDlg, (void)message, (void)wParam, (void)lParam;
  }
};

class CoreExport ISubMap : public MaxHeapOperators {
 public:
  virtual ~ISubMap() = default;
  virtual int NumSubTexmaps() { return 0; }
  virtual Texmap* GetSubTexmap(int i) {
    (void)i;
    return nullptr;
  }
  virtual int MapSlotType(int i) = 0;
  virtual void SetSubTexmap(int i, Texmap* m) { (void)i, (void)m; }
  virtual int SubTexmapOn(int i) {
    (void)i;
    return 1;
  }
#if MAX_VERSION_MAJOR >= 24
  virtual MSTR GetSubTexmapSlotName(int i, bool localized);
  // The name shown in the track view for sub-map i: its slot name.
  MSTR GetSubTexmapTVName(int i, bool localized = true);
#else
  virtual MSTR GetSubTexmapSlotName(int i);
  // The name shown in the track view for sub-map i: its slot name.
  MSTR GetSubTexmapTVName(int i);
#endif
  virtual BOOL SetDlgThing(ParamDlg* dlg) {
    (void)dlg;
    return FALSE;
  }
  virtual ReferenceTarget* GetRefTarget() = 0;
};

class CoreExport MtlBase : public ReferenceTarget, public ISubMap {
 public:
  ULONG gbufID = 0;

  MtlBase();
  ~MtlBase() override;
  // Copies the base data (name, flags, slot type, G-buffer id); no references.
  MtlBase& operator=(const MtlBase& m);

  MSTR& GetName() { return mName; }
  virtual void SetName(MSTR s) { mName = s; }
  virtual MSTR GetFullName();
  void SetMtlFlag(int mask, BOOL val = TRUE) {
    if (val)
      mMtlFlags |= static_cast<ULONG>(mask);
    else
      mMtlFlags &= ~static_cast<ULONG>(mask);
  }
  void ClearMtlFlag(int mask) { SetMtlFlag(mask, FALSE); }
  int TestMtlFlag(int mask) { return (mMtlFlags & static_cast<ULONG>(mask)) ? 1 : 0; }
  ULONG GetGBufID() { return gbufID; }
  void SetGBufID(ULONG id) { gbufID = id; }
  int DefaultSlotType() { return mDefaultSlotType; }

  virtual ULONG Requirements(int subMtlNum) {
    (void)subMtlNum;
    return 0;
  }
  virtual ULONG LocalRequirements(int subMtlNum) { return Requirements(subMtlNum); }
  virtual void Update(TimeValue t, Interval& valid) = 0;
  virtual void Reset() = 0;
  virtual Interval Validity(TimeValue t) = 0;
  virtual ParamDlg* CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) = 0;

  // Viewport texture display.
  virtual BOOL SupportTexDisplay() { return FALSE; }
  virtual DWORD_PTR GetActiveTexHandle(TimeValue t, TexHandleMaker& thmaker) {
    (void)t, (void)thmaker;
    return 0;
  }
  virtual void ActivateTexDisplay(BOOL onoff) { (void)onoff; }

  ReferenceTarget* GetRefTarget() override { return this; }
  BaseInterface* GetInterface(Interface_ID id) override;
  void* GetInterface(ULONG id) override;
  void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) override;

  // Writes and reads the base data (the name).
  IOResult Save(ISave* isave) override;
  IOResult Load(ILoad* iload) override;

 private:
  MSTR mName;
  ULONG mMtlFlags = 0;
  int mDefaultSlotType = MAPSLOT_TEXTURE;
};

class CoreExport Texmap : public MtlBase {
 public:
  int cacheID = 0;

  Texmap();
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
#if MAX_VERSION_MAJOR >= 24
  void GetClassName(MSTR& s, bool localized = true) const override {
    (void)localized;
    s = MSTR(_M("Texture"));
  }
#else
  void GetClassName(MSTR& s) override { s = MSTR(_M("Texture")); }
#endif

  virtual AColor EvalColor(ShadeContext& sc) = 0;
  virtual float EvalMono(ShadeContext& sc) { return Intens(EvalColor(sc)); }
  virtual Point3 EvalNormalPerturb(ShadeContext& sc) = 0;
  virtual BOOL HandleOwnViewPerturb() { return FALSE; }

  // Renders the map at t into a device-independent bitmap (24 bits, bottom-up) of the
  // handle maker's size, or forceW x forceH; narrows valid to the map's validity.
  // The bitmap is allocated with malloc.
  virtual BITMAPINFO* GetVPDisplayDIB(TimeValue t, TexHandleMaker& thmaker, Interval& valid,
                                      BOOL mono = FALSE, int forceW = 0, int forceH = 0);
  virtual int GetTextureTiling() { return U_WRAP | V_WRAP; }
  virtual void InitSlotType(int sType) { (void)sType; }
  int MapSlotType(int i) override {
    (void)i;
    return MAPSLOT_TEXTURE;
  }
  virtual int GetUVWSource() { return UVWSRC_EXPLICIT; }
  virtual int GetMapChannel() { return 1; }
  virtual UVGen* GetTheUVGen() { return nullptr; }
  virtual XYZGen* GetTheXYZGen() { return nullptr; }
  virtual void SetOutputLevel(TimeValue t, float v) { (void)t, (void)v; }
  virtual int LoadMapFiles(TimeValue t) {
    (void)t;
    return 1;
  }
  virtual bool IsOutputMeaningful(ShadeContext& sc) {
    (void)sc;
    return false;
  }
  virtual bool IsLocalOutputMeaningful(ShadeContext& sc) {
    (void)sc;
    return false;
  }
  virtual int IsHighDynamicRange() const { return false; }
};

class CoreExport Mtl : public MtlBase {
 public:
  Mtl();
  SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
#if MAX_VERSION_MAJOR >= 24
  void GetClassName(MSTR& s, bool localized = true) const override {
    (void)localized;
    s = MSTR(_M("Material"));
  }
#else
  void GetClassName(MSTR& s) override { s = MSTR(_M("Material")); }
#endif
  int MapSlotType(int i) override {
    (void)i;
    return MAPSLOT_TEXTURE;
  }

  virtual int NumSubMtls() { return 0; }
  virtual Mtl* GetSubMtl(int i) {
    (void)i;
    return nullptr;
  }
  virtual void SetSubMtl(int i, Mtl* m) { (void)i, (void)m; }
  virtual MSTR GetSubMtlSlotName(int i) {
    (void)i;
    return MSTR();
  }

  virtual Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return Color(0.0f, 0.0f, 0.0f);
  }
  virtual Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return Color(0.5f, 0.5f, 0.5f);
  }
  virtual Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return Color(1.0f, 1.0f, 1.0f);
  }
  virtual float GetShininess(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return 0.0f;
  }
  virtual float GetShinStr(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return 0.0f;
  }
  virtual float GetXParency(int mtlNum = 0, BOOL backFace = FALSE) {
    (void)mtlNum, (void)backFace;
    return 0.0f;
  }
  virtual void SetAmbient(Color c, TimeValue t) { (void)c, (void)t; }
  virtual void SetDiffuse(Color c, TimeValue t) { (void)c, (void)t; }
  virtual void SetSpecular(Color c, TimeValue t) { (void)c, (void)t; }
  virtual void SetShininess(float v, TimeValue t) { (void)v, (void)t; }
  // Fills sc.out with the material's colour at the sample.
  virtual void Shade(ShadeContext& sc) = 0;
};

// Generates texture coordinates for a map (the standard one is StdUVGen, stdmat.h).
class CoreExport UVGen : public MtlBase {
 public:
  SClass_ID SuperClassID() override { return UVGEN_CLASS_ID; }
  int MapSlotType(int i) override {
    (void)i;
    return MAPSLOT_TEXTURE;
  }
  virtual void GetUV(ShadeContext& sc, Point2& UV, Point2& dUV) = 0;
  virtual void GetBumpDP(ShadeContext& sc, Point3& dPdu, Point3& dPdv) {
    (void)sc;
    dPdu = Point3(1.0f, 0.0f, 0.0f);
    dPdv = Point3(0.0f, 1.0f, 0.0f);
  }
  virtual int GetTextureTiling() { return U_WRAP | V_WRAP; }
  virtual void SetTextureTiling(int t) { (void)t; }
  virtual int GetUVWSource() { return UVWSRC_EXPLICIT; }
  virtual int GetMapChannel() { return 1; }
  virtual void SetUVWSource(int s) { (void)s; }
  virtual void SetMapChannel(int s) { (void)s; }
  virtual BOOL IsStdUVGen() { return FALSE; }
};

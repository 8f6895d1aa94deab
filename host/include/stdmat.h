// The host's standard texture classes as plug-ins see them: the bitmap texture and its
// standard UV generator. The objects themselves live in the host's render library.
#pragma once

#include "imtl.h"
#include "iparamb2.h"

// Class_ID part A of the standard classes (part B is 0).
#define DMTL_CLASS_ID 0x00000002
#define STDUV_CLASS_ID 0x00000100
#define CHECKER_CLASS_ID 0x00000200

// Filtering modes of the bitmap texture (its parameter 8).
#define FILTER_PYR 0
#define FILTER_SAT 1
#define FILTER_NADA 2

// Mapping types of StdUVGen.
#define UVMAP_EXPLICIT 0
#define UVMAP_SPHERE_ENV 1
#define UVMAP_CYL_ENV 2
#define UVMAP_SHRINK_ENV 3
#define UVMAP_SCREEN_ENV 4

// Texture-space axes of StdUVGen.
#define AXIS_UV 0
#define AXIS_VW 1
#define AXIS_WU 2

class StdUVGen : public UVGen {
 public:
  BOOL IsStdUVGen() override { return TRUE; }

  virtual void SetCoordMapping(int) = 0;
  virtual int GetCoordMapping(int) = 0;
  virtual void SetUOffs(float f, TimeValue t) = 0;
  virtual void SetVOffs(float f, TimeValue t) = 0;
  virtual void SetUScl(float f, TimeValue t) = 0;
  virtual void SetVScl(float f, TimeValue t) = 0;
  // Rotation angles in radians; the W angle turns the map about the centre of UV space.
  virtual void SetUAng(float f, TimeValue t) = 0;
  virtual void SetVAng(float f, TimeValue t) = 0;
  virtual void SetWAng(float f, TimeValue t) = 0;
  // Scales the filter footprint (1 = the sample's own footprint).
  virtual void SetBlur(float f, TimeValue t) = 0;
  // Adds to the footprint, in UV units.
  virtual void SetBlurOffs(float f, TimeValue t) = 0;

  virtual float GetUOffs(TimeValue t) = 0;
  virtual float GetVOffs(TimeValue t) = 0;
  virtual float GetUScl(TimeValue t) = 0;
  virtual float GetVScl(TimeValue t) = 0;
  virtual float GetUAng(TimeValue t) = 0;
  virtual float GetVAng(TimeValue t) = 0;
  virtual float GetWAng(TimeValue t) = 0;
  virtual float GetBlur(TimeValue t) = 0;
  virtual float GetBlurOffs(TimeValue t) = 0;
};

class BitmapTex : public Texmap {
 public:
  // FILTER_PYR, FILTER_SAT or FILTER_NADA (parameter 8 of the texture's block).
  virtual void SetFilterType(int ft) = 0;
  virtual int GetFilterType() = 0;
  // Sets the image file and loads it; a file that cannot be read evaluates to opaque black.
  virtual void SetMapName(const MCHAR* name, bool isUIAction = false) = 0;
  virtual const MCHAR* GetMapName() = 0;
  // Reads the file again, even if it is already loaded.
  virtual void ReloadBitmapAndUpdate() = 0;
  virtual StdUVGen* GetUVGen() = 0;
  UVGen* GetTheUVGen() override { return GetUVGen(); }
};

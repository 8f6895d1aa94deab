// NURBS surfaces: of them the plug-in sees only what max.h brings in with every plug-in,
// the trim point and the texture channel, whose small inline members are exported by every
// library that includes this header, as the host's headers make them.
#pragma once

#include "coreexp.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "point3.h"

// Which side of a trim point a curve keeps.
enum NURBSTrimDirection {
  kNone = 0,
  kPositive = 1,
  kNegative = 2,
};

class NURBSTrimPoint {
 public:
  DllExport NURBSTrimPoint(double parameter, NURBSTrimDirection direction)
      : mParameter(parameter), mDirection(direction) {}
  DllExport double GetParameter() { return mParameter; }
  DllExport NURBSTrimDirection GetDirection() { return mDirection; }

 private:
  double mParameter;
  NURBSTrimDirection mDirection;
};

// The texture surface of one map channel of a NURBS surface.
class NURBSTextureSurface : public MaxHeapOperators {
 public:
  DllExport NURBSTextureSurface();
  DllExport ~NURBSTextureSurface();
  DllExport NURBSTextureSurface(NURBSTextureSurface& tsurf);
  DllExport NURBSTextureSurface& operator=(const NURBSTextureSurface& surf);

 private:
  int mMapperType = 0;
  void* mpPoints = nullptr;
  int mNumUPoints = 0;
  int mNumVPoints = 0;
};

class NURBSSurface;

// One map channel of a NURBS surface; only the surface makes and reads them.
class NURBSTextureChannel {
  friend class NURBSSurface;

 private:
  DllExport explicit NURBSTextureChannel(int channel);

  DllExport int GetChannel() { return mChannel; }
  DllExport BOOL GenerateUVs();
  DllExport void SetGenerateUVs(BOOL state);
  DllExport NURBSTextureSurface& GetTextureSurface() { return mTexSurface; }
  DllExport void SetTextureSurface(NURBSTextureSurface& texSurf);

  int mChannel;
  BOOL mGenUVs;
  Point2 mTexUVs[4];
  float mUTile;
  float mVTile;
  float mUOffset;
  float mVOffset;
  float mAngle;
  NURBSTextureSurface mTexSurface;
};

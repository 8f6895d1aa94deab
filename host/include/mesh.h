// Meshes: of them the plug-in sees only what max.h brings in with every plug-in, the
// switch between the host's two ways of computing vertex normals. Its inline constructor
// is exported by every library that includes this header, as the host's headers make it.
#pragma once

#include "coreexp.h"
#include "maxheap.h"
#include "tab.h"

// Told when the user changes how vertex normals are weighted.
class VertexNormalsCallback : public MaxHeapOperators {
 public:
  virtual ~VertexNormalsCallback() = default;
  virtual void SetUseFaceAngles(bool value) = 0;
};

// Whether vertex normals weight each face by its angle at the vertex (the default) or use
// the older plain average; the host keeps one instance.
class VertexNormalsControl : public MaxHeapOperators {
  bool mUseFaceAngles;
  Tab<VertexNormalsCallback*> mCallbacks;

 public:
  DllExport VertexNormalsControl() : mUseFaceAngles(true) {}

  DllExport void RegisterCallback(VertexNormalsCallback* pCallback);
  DllExport void UnregisterCallback(VertexNormalsCallback* pCallback);
  DllExport void SetUseFaceAngles(bool value);
  DllExport bool GetUseFaceAngles();
};

#pragma once
// The bucket renderer. A scene is a list of nodes over a planar layout that covers the image:
//   floor    one node; UVs run across the image (uvScale units over its width, square texels),
//            material ID 0;
//   faces    one node cut into a grid of faces; face k (row-major from the top left) has material
//            ID firstMtlId + k and UVs 0..1 across the face;
//   objects  a grid of nodes, node k with handle firstHandle + k and UVs 0..1 across its cell.
// Rendering sends RenderBegin to everything the materials reference, updates the materials (and
// through them their maps) at the frame time on the calling thread, shades buckets on worker
// threads (one shade context each), then sends RenderEnd. One sample per pixel, at its centre;
// the image is the same, bit for bit, for any thread count and bucket order.
#include <memory>
#include <string>
#include <vector>

#include "imtl.h"
#include "render/image.h"
#include "render/ref_holder.h"
#include "render/scene_node.h"

namespace maxhost {

enum class RenderMode {
  kScene,          // a scene render: RenderBegin flags 0
  kEditorPreview,  // the material editor's preview: RenderBegin flags RENDERBEGIN_IN_MEDIT
};

enum class SceneLayout { kFloor, kFaces, kObjects };

enum class BucketOrder { kRows, kReverse, kShuffled };

class Scene {
 public:
  Scene(SceneLayout layout, int columns, int rows);
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  SceneLayout Layout() const { return layout_; }
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  float UVScale() const { return uvScale_; }
  void SetUVScale(float s) { uvScale_ = s; }
  int FirstMtlId() const { return firstMtlId_; }
  void SetFirstMtlId(int id) { firstMtlId_ = id; }

  // Adds a node that the scene keeps alive (with its material) until the scene goes.
  SceneNode* AddNode(ULONG handle, const MCHAR* name, Mtl* mtl);
  const std::vector<SceneNode*>& Nodes() const { return nodes_; }
  // Materials of the nodes, in node order, each once.
  std::vector<Mtl*> Materials() const;

 private:
  SceneLayout layout_;
  int columns_, rows_;
  float uvScale_ = 4.0f;
  int firstMtlId_ = 1;
  RefHolder holder_;
  std::vector<SceneNode*> nodes_;
};

// floor: one node (handle 1, "Floor") with this material.
std::unique_ptr<Scene> MakeFloorScene(Mtl* material, float uvScale = 4.0f);
// faces: one node (handle 1, "Faces") whose columns x rows faces carry material IDs
// firstMtlId, firstMtlId + 1, ...
std::unique_ptr<Scene> MakeFacesScene(Mtl* material, int columns, int rows, int firstMtlId = 1);
// objects: columns x rows nodes with handles firstHandle, firstHandle + 1, ...; node k takes
// materials[k % materials.size()].
std::unique_ptr<Scene> MakeObjectsScene(const std::vector<Mtl*>& materials, int columns, int rows,
                                        ULONG firstHandle = 1);

struct RenderOptions {
  int width = 256;
  int height = 256;
  int threads = 0;  // 0: one per hardware thread
  RenderMode mode = RenderMode::kScene;
  TimeValue time = 0;
  int bucketSize = 32;
  BucketOrder order = BucketOrder::kRows;
  unsigned orderSeed = 1;  // for BucketOrder::kShuffled
};

struct RenderResult {
  bool ok = false;
  std::string error;  // "Render: <why>" when not ok
  Image image;        // RGBA, alpha 1
};

RenderResult Render(Scene& scene, const RenderOptions& options);

// Everything reachable from root through references (root first, depth first, each once).
std::vector<ReferenceMaker*> CollectReferences(ReferenceMaker* root);

// Sends RenderBegin (flags by mode) to everything reachable from the roots on construction and
// RenderEnd on destruction.
class RenderNotifier {
 public:
  RenderNotifier(const std::vector<ReferenceMaker*>& roots, TimeValue t, RenderMode mode);
  ~RenderNotifier();
  RenderNotifier(const RenderNotifier&) = delete;
  RenderNotifier& operator=(const RenderNotifier&) = delete;

 private:
  std::vector<ReferenceMaker*> targets_;
  TimeValue time_;
};

}  // namespace maxhost

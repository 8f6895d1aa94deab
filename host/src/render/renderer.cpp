#include "render/renderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <numeric>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "render/shade_context.h"

namespace maxhost {
namespace {

struct Bucket {
  int x0, y0, x1, y1;
};

std::vector<Bucket> MakeBuckets(int width, int height, int size, BucketOrder order, unsigned seed) {
  std::vector<Bucket> buckets;
  for (int y = 0; y < height; y += size)
    for (int x = 0; x < width; x += size)
      buckets.push_back({x, y, std::min(x + size, width), std::min(y + size, height)});
  if (order == BucketOrder::kReverse) std::reverse(buckets.begin(), buckets.end());
  if (order == BucketOrder::kShuffled) {
    uint32_t state = seed;
    for (size_t i = buckets.size(); i > 1; --i) {
      state = state * 1664525u + 1013904223u;
      std::swap(buckets[i - 1], buckets[(state >> 8) % i]);
    }
  }
  return buckets;
}

// What one pixel sees: node, material ID and coordinates.
struct PixelSample {
  SceneNode* node = nullptr;
  int mtlNum = 0;
  Point3 uvw, duvw;
};

PixelSample SampleAt(const Scene& scene, int x, int y, int width, int height) {
  PixelSample s;
  const auto& nodes = scene.Nodes();
  if (scene.Layout() == SceneLayout::kFloor) {
    const float k = scene.UVScale() / float(width);
    s.node = nodes.empty() ? nullptr : nodes[0];
    s.uvw = Point3((float(x) + 0.5f) * k, (float(height - y) - 0.5f) * k, 0.0f);
    s.duvw = Point3(k, k, 0.0f);
    return s;
  }
  const int cols = std::max(1, scene.Columns()), rows = std::max(1, scene.Rows());
  const double fx = (x + 0.5) * cols / width, fy = (y + 0.5) * rows / height;
  const int cx = std::min(int(fx), cols - 1), cy = std::min(int(fy), rows - 1);
  const int cell = cy * cols + cx;
  s.uvw = Point3(float(fx - cx), float(1.0 - (fy - cy)), 0.0f);
  s.duvw = Point3(float(cols) / float(width), float(rows) / float(height), 0.0f);
  if (scene.Layout() == SceneLayout::kFaces) {
    s.node = nodes.empty() ? nullptr : nodes[0];
    s.mtlNum = scene.FirstMtlId() + cell;
  } else {
    s.node = size_t(cell) < nodes.size() ? nodes[size_t(cell)] : nullptr;
  }
  return s;
}

void ShadeBucket(const Scene& scene, const Bucket& b, RenderShadeContext& sc, Image& out) {
  for (int y = b.y0; y < b.y1; ++y) {
    for (int x = b.x0; x < b.x1; ++x) {
      const PixelSample s = SampleAt(scene, x, y, out.width, out.height);
      sc.BeginSample(s.mtlNum, s.node, s.uvw, s.duvw);
      Color c(0.0f, 0.0f, 0.0f);
      if (Mtl* mtl = s.node ? s.node->GetMtl() : nullptr) {
        mtl->Shade(sc);
        c = sc.out.c;
      }
      out.At(x, y) = {c.r, c.g, c.b, 1.0f};
    }
  }
}

}  // namespace

Scene::Scene(SceneLayout layout, int columns, int rows)
    : layout_(layout), columns_(std::max(1, columns)), rows_(std::max(1, rows)) {}

Scene::~Scene() = default;  // the holder releases the nodes, and through them their materials

SceneNode* Scene::AddNode(ULONG handle, const MCHAR* name, Mtl* mtl) {
  auto* node = holder_.Hold(new SceneNode(handle, name, mtl));
  nodes_.push_back(node);
  return node;
}

std::vector<Mtl*> Scene::Materials() const {
  std::vector<Mtl*> out;
  for (SceneNode* n : nodes_)
    if (Mtl* m = n->GetMtl(); m && std::find(out.begin(), out.end(), m) == out.end())
      out.push_back(m);
  return out;
}

std::unique_ptr<Scene> MakeFloorScene(Mtl* material, float uvScale) {
  auto scene = std::make_unique<Scene>(SceneLayout::kFloor, 1, 1);
  scene->SetUVScale(uvScale);
  scene->AddNode(1, _M("Floor"), material);
  return scene;
}

std::unique_ptr<Scene> MakeFacesScene(Mtl* material, int columns, int rows, int firstMtlId) {
  auto scene = std::make_unique<Scene>(SceneLayout::kFaces, columns, rows);
  scene->SetFirstMtlId(firstMtlId);
  scene->AddNode(1, _M("Faces"), material);
  return scene;
}

std::unique_ptr<Scene> MakeObjectsScene(const std::vector<Mtl*>& materials, int columns, int rows,
                                        ULONG firstHandle) {
  auto scene = std::make_unique<Scene>(SceneLayout::kObjects, columns, rows);
  const int count = scene->Columns() * scene->Rows();
  for (int k = 0; k < count; ++k) {
    Mtl* m = materials.empty() ? nullptr : materials[size_t(k) % materials.size()];
    const std::wstring name = L"Object" + std::to_wstring(k + 1);
    scene->AddNode(firstHandle + ULONG(k), name.c_str(), m);
  }
  return scene;
}

std::vector<ReferenceMaker*> CollectReferences(ReferenceMaker* root) {
  std::vector<ReferenceMaker*> out;
  if (!root) return out;
  std::unordered_set<ReferenceMaker*> seen;
  std::vector<ReferenceMaker*> stack{root};
  while (!stack.empty()) {
    ReferenceMaker* rm = stack.back();
    stack.pop_back();
    if (!seen.insert(rm).second) continue;
    out.push_back(rm);
    for (int i = rm->NumRefs() - 1; i >= 0; --i)
      if (ReferenceTarget* t = rm->GetReference(i)) stack.push_back(t);
  }
  return out;
}

RenderNotifier::RenderNotifier(const std::vector<ReferenceMaker*>& roots, TimeValue t,
                               RenderMode mode)
    : time_(t) {
  std::unordered_set<ReferenceMaker*> seen;
  for (ReferenceMaker* root : roots)
    for (ReferenceMaker* rm : CollectReferences(root))
      if (seen.insert(rm).second) targets_.push_back(rm);
  const ULONG flags = mode == RenderMode::kEditorPreview ? RENDERBEGIN_IN_MEDIT : 0;
  for (ReferenceMaker* rm : targets_) rm->RenderBegin(t, flags);
}

RenderNotifier::~RenderNotifier() {
  for (ReferenceMaker* rm : targets_) rm->RenderEnd(time_);
}

RenderResult Render(Scene& scene, const RenderOptions& options) {
  RenderResult result;
  if (options.width <= 0 || options.height <= 0 || options.width > 16384 ||
      options.height > 16384) {
    result.error = "Render: image size " + std::to_string(options.width) + "x" +
                   std::to_string(options.height) + " is outside 1..16384";
    return result;
  }
  if (options.bucketSize <= 0) {
    result.error = "Render: bucket size must be positive";
    return result;
  }
  int threads = options.threads > 0 ? options.threads : int(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, 256);

  const std::vector<Mtl*> materials = scene.Materials();
  std::vector<ReferenceMaker*> roots(materials.begin(), materials.end());
  try {
    RenderNotifier notifier(roots, options.time, options.mode);
    for (Mtl* m : materials) {
      Interval valid = FOREVER;
      m->Update(options.time, valid);
    }

    Image image(options.width, options.height);
    const std::vector<Bucket> buckets = MakeBuckets(
        options.width, options.height, options.bucketSize, options.order, options.orderSeed);
    threads = std::min<int>(threads, int(buckets.size()));
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::vector<std::exception_ptr> errors(static_cast<size_t>(threads));
    auto work = [&](int index) {
      RenderShadeContext sc;
      sc.SetTime(options.time);
      sc.SetInMtlEditor(options.mode == RenderMode::kEditorPreview);
      try {
        for (size_t i = next++; i < buckets.size() && !failed; i = next++)
          ShadeBucket(scene, buckets[i], sc, image);
      } catch (...) {
        errors[size_t(index)] = std::current_exception();
        failed = true;
      }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
      try {
        pool.emplace_back(work, i);
      } catch (const std::system_error&) {
        break;  // render with the threads we have
      }
    }
    work(0);
    for (auto& t : pool) t.join();
    for (auto& e : errors) {
      if (!e) continue;
      try {
        std::rethrow_exception(e);
      } catch (const std::exception& ex) {
        result.error = std::string("Render: shading failed: ") + ex.what();
      } catch (...) {
        result.error = "Render: shading failed with an unknown exception";
      }
      return result;
    }
    result.image = std::move(image);
    result.ok = true;
  } catch (const std::exception& ex) {
    result.error = std::string("Render: ") + ex.what();
  }
  return result;
}

}  // namespace maxhost

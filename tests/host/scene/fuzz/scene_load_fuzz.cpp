// Any bytes given as a scene file load into objects that can be sampled and deleted, or are
// refused with nothing left behind.
#include <cstddef>
#include <cstdint>

#include <imtl.h>
#include <plugapi.h>

#include "core/live_targets.h"
#include "render/bitmap_store.h"
#include "render/ref_holder.h"
#include "render/register.h"
#include "render/sample.h"
#include "scene/scene_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  maxhost::RegisterRenderClasses();
  maxhost::SetRenderReporter([](const std::string&) {});  // missing textures are expected
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const long before = maxhost::LiveReferenceTargets();
  maxhost::LoadResult r = maxhost::LoadSceneFromBytes(data, size);
  if (!r.ok) {
    if (!r.roots.empty() || r.error.rfind("LoadScene: ", 0) != 0) __builtin_trap();
    if (maxhost::LiveReferenceTargets() != before) __builtin_trap();
    return 0;
  }
  // What loaded must shade: the first sample once read a map as a parameter block.
  for (ReferenceTarget* root : r.roots) {
    if (root->SuperClassID() == TEXMAP_CLASS_ID) {
      maxhost::SampleRequest request;
      (void)maxhost::SampleTexmap(static_cast<Texmap*>(root), request);
    } else if (root->SuperClassID() == MATERIAL_CLASS_ID) {
      Interval valid = FOREVER;
      static_cast<Mtl*>(root)->Update(0, valid);
      for (int i = 0; i < static_cast<Mtl*>(root)->NumSubTexmaps(); ++i)
        if (Texmap* map = static_cast<Mtl*>(root)->GetSubTexmap(i))
          (void)maxhost::SampleTexmap(map, maxhost::SampleRequest{});
    }
  }
  {
    // Roots may reference one another; holding them all and letting go deletes each once.
    maxhost::RefHolder holder;
    for (ReferenceTarget* root : r.roots) holder.Hold(root);
  }
  if (maxhost::LiveReferenceTargets() != before) __builtin_trap();
  return 0;
}

#include "render/sample.h"

#include "render/shade_context.h"

namespace maxhost {

SampleResult SampleTexmap(Texmap* map, const SampleRequest& request) {
  SampleResult result;
  if (!map) return result;
  RefHolder holder;
  SceneNode* node = nullptr;
  if (request.nodeHandle >= 0)
    node = holder.Hold(new SceneNode(ULONG(request.nodeHandle), _M("Sample"), nullptr));

  RenderNotifier notifier({map}, request.time, request.mode);
  Interval valid = FOREVER;
  map->Update(request.time, valid);

  RenderShadeContext sc;
  sc.SetTime(request.time);
  sc.SetInMtlEditor(request.mode == RenderMode::kEditorPreview);
  sc.BeginSample(request.mtlNum, node, request.uvw, request.duvw);
  sc.SetChannel(99, Point3(request.uvw.x, request.uvw.y, request.tileW), request.duvw);
  result.color = map->EvalColor(sc);
  result.mono = map->EvalMono(sc);
  result.bump = map->EvalNormalPerturb(sc);
  result.gbufferId = sc.GBufferID();
  return result;
}

}  // namespace maxhost

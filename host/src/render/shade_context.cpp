#include "render/shade_context.h"

#include "inode.h"

namespace maxhost {

void RenderShadeContext::BeginSample(int mtlNumber, INode* node, const Point3& uvw,
                                     const Point3& duvw) {
  mtlNum = mtlNumber;
  node_ = node;
  uvw_ = uvw;
  duvw_ = duvw;
  overrideCount_ = 0;
  gbufferId_ = 0;
  out.Reset();
  colors_.Clear();
  floats_.Clear();
  vectors_.Clear();
}

void RenderShadeContext::SetChannel(int channel, const Point3& uvw, const Point3& duvw) {
  if (channel < 0 || channel >= kMaxChannels) return;
  for (int i = 0; i < overrideCount_; ++i)
    if (overrides_[i].channel == channel) {
      overrides_[i].uvw = uvw;
      overrides_[i].duvw = duvw;
      return;
    }
  if (overrideCount_ < kMaxOverrides) overrides_[overrideCount_++] = {channel, uvw, duvw};
}

int RenderShadeContext::NodeID() {
  return node_ ? int(node_->GetHandle()) : -1;
}

Point3 RenderShadeContext::UVW(int channel) {
  if (channel < 0 || channel >= kMaxChannels) return Point3(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < overrideCount_; ++i)
    if (overrides_[i].channel == channel) return overrides_[i].uvw;
  return uvw_;
}

Point3 RenderShadeContext::DUVW(int channel) {
  if (channel < 0 || channel >= kMaxChannels) return Point3(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < overrideCount_; ++i)
    if (overrides_[i].channel == channel) return overrides_[i].duvw;
  return duvw_;
}

void RenderShadeContext::SetGBufferID(int gbid) {
  gbufferId_ = gbid;
  out.gbufId = gbid;
}

BOOL RenderShadeContext::GetCache(Texmap* map, AColor& c) {
  return colors_.Get(map, c);
}
BOOL RenderShadeContext::GetCache(Texmap* map, float& f) {
  return floats_.Get(map, f);
}
BOOL RenderShadeContext::GetCache(Texmap* map, Point3& p) {
  return vectors_.Get(map, p);
}
void RenderShadeContext::PutCache(Texmap* map, const AColor& c) {
  colors_.Put(map, c);
}
void RenderShadeContext::PutCache(Texmap* map, const float f) {
  floats_.Put(map, f);
}
void RenderShadeContext::PutCache(Texmap* map, const Point3& p) {
  vectors_.Put(map, p);
}

void RenderShadeContext::TossCache(Texmap* map) {
  colors_.Toss(map);
  floats_.Toss(map);
  vectors_.Toss(map);
}

}  // namespace maxhost

#include "render/material.h"

#include <gtest/gtest.h>

#include "probe_map.h"
#include "render/ref_holder.h"
#include "render/shade_context.h"

namespace maxhost {
namespace {

using testing::ProbeMap;

class FindMaterial : public DependentEnumProc {
 public:
  int proc(ReferenceMaker* rm) override {
    if (rm->SuperClassID() == MATERIAL_CLASS_ID) {
      found = rm;
      return DEP_ENUM_HALT;
    }
    return DEP_ENUM_CONTINUE;
  }
  ReferenceMaker* found = nullptr;
};

TEST(StandardMaterial, AMapInTheDiffuseSlotHasTheMaterialAmongItsDependents) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* map = holder.Hold(new ProbeMap);
  mtl->SetDiffuseMap(map);
  EXPECT_EQ(mtl->DiffuseMap(), map);
  EXPECT_EQ(mtl->NumSubTexmaps(), 1);
  FindMaterial finder;
  map->DoEnumDependents(&finder);
  EXPECT_EQ(finder.found, mtl);
}

TEST(StandardMaterial, TakingTheMapOutSendsTheReferenceDeletedNotice) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* map = holder.Hold(new ProbeMap);  // kept alive by the holder
  mtl->SetDiffuseMap(map);
  EXPECT_EQ(map->refDeletedCount, 0);
  mtl->SetDiffuseMap(nullptr);
  EXPECT_EQ(map->refDeletedCount, 1);
  EXPECT_EQ(mtl->DiffuseMap(), nullptr);
  FindMaterial finder;
  map->DoEnumDependents(&finder);
  EXPECT_EQ(finder.found, nullptr);
}

TEST(StandardMaterial, ShadesWithTheMapOrTheDiffuseColour) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  mtl->SetDiffuse(Color(0.2f, 0.4f, 0.6f), 0);
  Interval valid = FOREVER;
  mtl->Update(0, valid);
  RenderShadeContext sc;
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  mtl->Shade(sc);
  EXPECT_EQ(sc.out.c, Color(0.2f, 0.4f, 0.6f));
  auto* map = new ProbeMap;
  mtl->SetDiffuseMap(map);
  valid = FOREVER;
  mtl->Update(0, valid);
  EXPECT_GE(map->updateCount, 1);
  mtl->Shade(sc);
  EXPECT_EQ(sc.out.c, Color(0.25f, 0.5f, 0.75f));
}

}  // namespace
}  // namespace maxhost

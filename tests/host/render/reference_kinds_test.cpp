// Every host class refuses a reference target of the wrong kind and keeps what it held, so
// nothing (a scene file, a script, a plug-in) can make it read one object as another.
#include <gtest/gtest.h>

#include "core/live_targets.h"
#include "render/bitmap_texture.h"
#include "render/material.h"
#include "render/ref_holder.h"
#include "render/scene_node.h"
#include "render/std_maps.h"
#include "render/tile_map.h"
#include "render/uv_generator.h"

namespace maxhost {
namespace {

// Offers target at reference i: it must be refused with the slot and the target's
// dependents unchanged.
void ExpectRefused(ReferenceMaker* maker, int i, ReferenceTarget* target) {
  ReferenceTarget* before = maker->GetReference(i);
  const size_t dependents = target->Dependents().size();
  EXPECT_EQ(maker->ReplaceReference(i, target), REF_FAIL);
  EXPECT_EQ(maker->GetReference(i), before);
  EXPECT_EQ(target->Dependents().size(), dependents);
}

TEST(ReferenceKinds, EachSlotTakesOnlyItsKind) {
  RefHolder holder;
  auto* tex = holder.Hold(new BitmapTexture);
  auto* checker = holder.Hold(new CheckerMap);
  auto* tiles = holder.Hold(new TileMap);
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* uvgen = holder.Hold(new UVGenerator);
  auto* node = holder.Hold(new SceneNode(1, _M("floor")));

  ExpectRefused(tex, 0, checker);                 // generator slot
  ExpectRefused(tex, 1, checker);                 // block slot
  ExpectRefused(tex, 1, uvgen->GetReference(0));  // another class's block
  ExpectRefused(uvgen, 0, checker);
  ExpectRefused(uvgen, 0, tex->GetReference(1));
  ExpectRefused(mtl, 0, tiles);
  ExpectRefused(checker, 0, tiles->GetReference(0));  // a block, but the tile map's
  ExpectRefused(tiles, 0, checker);
  ExpectRefused(node, 0, checker);
  EXPECT_NE(tex->GetUVGen(), nullptr);
  EXPECT_NE(mtl->GetReference(0), nullptr);

  // The right kinds are taken.
  EXPECT_EQ(tex->ReplaceReference(0, uvgen), REF_SUCCEED);
  EXPECT_EQ(tex->GetUVGen(), uvgen);
  EXPECT_EQ(node->ReplaceReference(0, mtl), REF_SUCCEED);
  EXPECT_EQ(node->GetMtl(), mtl);
  auto* other = holder.Hold(new CheckerMap);
  EXPECT_EQ(checker->ReplaceReference(0, other->GetReference(0)), REF_SUCCEED);
}

// A block's map entry takes maps only; a refusal leaves the block as it was.
TEST(ReferenceKinds, BlockEntriesTakeTheirParameterTypesKind) {
  const long before = LiveReferenceTargets();
  {
    RefHolder holder;
    auto* mtl = holder.Hold(new StandardMaterial);
    auto* checker = holder.Hold(new CheckerMap);
    auto* node = holder.Hold(new SceneNode(1, _M("floor")));
    ReferenceMaker* block = mtl->GetReference(0);
    ASSERT_NE(block, nullptr);
    ASSERT_GE(block->NumRefs(), 1);
    ExpectRefused(block, 0, node);
    ExpectRefused(block, 0, checker->GetReference(0));
    EXPECT_EQ(block->ReplaceReference(0, checker), REF_SUCCEED);
    EXPECT_EQ(mtl->GetSubTexmap(0), checker);
  }
  EXPECT_EQ(LiveReferenceTargets(), before);
}

}  // namespace
}  // namespace maxhost

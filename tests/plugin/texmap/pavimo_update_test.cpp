// Update: the shading cache, the weighted selection table and its cap, the lists fitted
// to `submaps`, and the validity.
#include <vector>

#include "core/param_block.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

Pavimo* AsPavimo(Texmap* m) {
  return static_cast<Pavimo*>(m);
}

// The table's entries as sub-textures; release 2.01 keeps positions in `submaps`.
std::vector<Texmap*> Table(Texmap* m) {
  const Tab<PavimoTableEntry>& t = AsPavimo(m)->SelectionTable();
  std::vector<Texmap*> out;
#if TILVARA_RELEASE == 201
  for (int i = 0; i < t.Count(); ++i) out.push_back(m->GetSubTexmap(t[i]));
#else
  for (int i = 0; i < t.Count(); ++i) out.push_back(t[i]);
#endif
  return out;
}

class UpdateTest : public MapTest {};

TEST_F(UpdateTest, TableRepeatsEnabledEntriesByWeight) {
  auto *a = new ProbeMap(), *b = new ProbeMap(), *c = new ProbeMap();
  SetEntries(map_.get(), {a, b, c}, {1, 0, 1}, {2, 5, 1});
  UpdateAt(0);
  EXPECT_EQ(Table(map_.get()), (std::vector<Texmap*>{a, a, c}));
}

TEST_F(UpdateTest, ShortListsAreFittedWithDefaults) {
  auto *a = new ProbeMap(), *b = new ProbeMap(), *c = new ProbeMap();
  SetEntries(map_.get(), {a, b, c}, {1}, {2});
  // Shrink the lists behind the map's back, without the structure-change update.
  {
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    pb_->SetCount(pb_submap_on, 1);
    pb_->SetCount(pb_probability, 1);
  }
  pb_->SetValue(pb_seed, 0, 3);  // a change message empties the validity
  UpdateAt(0);
  ASSERT_EQ(pb_->Count(pb_submap_on), 3);
  ASSERT_EQ(pb_->Count(pb_probability), 3);
  EXPECT_EQ(pb_->GetInt(pb_submap_on, 0, 2), 1);
  EXPECT_EQ(pb_->GetInt(pb_probability, 0, 2), 1);
  EXPECT_EQ(Table(map_.get()), (std::vector<Texmap*>{a, a, b, c}));
}

TEST_F(UpdateTest, NonPositiveWeightGivesNoEntry) {
  auto *a = new ProbeMap(), *b = new ProbeMap(), *c = new ProbeMap();
  SetEntries(map_.get(), {a, b, c}, {1, 1, 1}, {2, -3, 1});
  UpdateAt(0);
  EXPECT_EQ(Table(map_.get()), (std::vector<Texmap*>{a, a, c}));
}

TEST_F(UpdateTest, EmptySlotsContributeNothing) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {nullptr, a, nullptr}, {1, 1, 1}, {3, 2, 3});
  UpdateAt(0);
  EXPECT_EQ(Table(map_.get()), (std::vector<Texmap*>{a, a}));
  EXPECT_EQ(a->updateCalls, 1);
}

// Switched-off sub-textures are still updated.
TEST_F(UpdateTest, AllOffGivesEmptyTableButUpdatesEverySubTexture) {
  auto *a = new ProbeMap(), *b = new ProbeMap();
  SetEntries(map_.get(), {a, b}, {0, 0}, {1, 1});
  a->updateCalls = b->updateCalls = 0;
  pb_->SetValue(pb_seed, 0, 3);
  UpdateAt(0);
  EXPECT_TRUE(Table(map_.get()).empty());
  EXPECT_EQ(a->updateCalls, 1);
  EXPECT_EQ(b->updateCalls, 1);
}

// Within the validity an update reads nothing and rebuilds nothing.
TEST_F(UpdateTest, SecondUpdateInsideValidityIsFree) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {2});
  UpdateAt(0);
  const int updates = a->updateCalls;
  // Change the weight without telling the map.
  {
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    pb_->SetValue(pb_probability, 0, 7, 0);
  }
  UpdateAt(100);
  EXPECT_EQ(a->updateCalls, updates);
  EXPECT_EQ(Table(map_.get()).size(), 2u);
}

TEST_F(UpdateTest, CacheHoldsPlainValuesAndFractions) {
  pb_->SetValue(pb_all_gamma, 0, 2.0f);
  pb_->SetValue(pb_rnd_hue, 0, 15.0f);
  pb_->SetValue(pb_occ_gamma, 0, 25.0f);
  pb_->SetValue(pb_occ_hue, 0, 100.0f);
  pb_->SetValue(pb_occ_sat, 0, 0.0f);
  pb_->SetValue(pb_rnd_by, 0, 2);
  pb_->SetValue(pb_seed, 0, 42);
  pb_->SetValue(pb_use_color, 0, 1);
  pb_->SetValue(pb_sub_color, 0, Color(0.1f, 0.2f, 0.3f));
  UpdateAt(0);
  const PavimoCache& c = AsPavimo(map_.get())->Cache();
  EXPECT_FLOAT_EQ(c.adjust.allGamma, 2.0f);
  EXPECT_FLOAT_EQ(c.adjust.rndHue, 15.0f);
  EXPECT_FLOAT_EQ(c.adjust.fracGamma, 0.75f);
  EXPECT_FLOAT_EQ(c.adjust.fracHue, 1.0f);
  EXPECT_FLOAT_EQ(c.adjust.fracSat, 0.0f);
  EXPECT_EQ(c.rndBy, 2);
  EXPECT_EQ(c.seed, 42);
  EXPECT_EQ(c.useColor, 1);
  EXPECT_FLOAT_EQ(c.flatColor.g, 0.2f);
}

// Without animation and with sub-textures valid forever, the map is valid forever.
TEST_F(UpdateTest, ValidityOfStaticMapIsForever) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {1});
  EXPECT_TRUE(map_->Validity(0) == FOREVER);
}

TEST_F(UpdateTest, ValidityNarrowsToSubTextures) {
  auto* a = new ProbeMap();
  a->validity = Interval(0, 50);
  SetEntries(map_.get(), {a}, {0}, {1});
  pb_->SetValue(pb_seed, 0, 3);
  EXPECT_TRUE(map_->Validity(10) == Interval(0, 50));
  Interval caller(20, 500);
  map_->Update(10, caller);
  EXPECT_TRUE(caller == Interval(20, 50));
}

// An index draw is below 32768: a capped table picks exactly as a full one would, with
// bounded memory whatever the weights.
TEST_F(UpdateTest, TableStopsAt32768Entries) {
  auto *a = new ProbeMap(), *b = new ProbeMap(), *c = new ProbeMap();
  SetEntries(map_.get(), {a, b, c}, {1, 1, 1}, {5, 2000000000, 2000000000});
  UpdateAt(0);
  const std::vector<Texmap*> t = Table(map_.get());
  ASSERT_EQ(t.size(), 32768u);
  EXPECT_EQ(t[0], a);
  EXPECT_EQ(t[4], a);
  EXPECT_EQ(t[5], b);
  EXPECT_EQ(t[32767], b);
}

TEST_F(UpdateTest, TableAtExactlyTheCapKeepsLaterWeightsOut) {
  auto *a = new ProbeMap(), *b = new ProbeMap();
  SetEntries(map_.get(), {a, b}, {1, 1}, {32768, 1});
  UpdateAt(0);
  const std::vector<Texmap*> t = Table(map_.get());
  ASSERT_EQ(t.size(), 32768u);
  EXPECT_EQ(t.back(), a);
}

TEST_F(UpdateTest, NoBlockMeansNoUpdate) {
  // A map whose block was deleted leaves the caller's interval alone.
  map_->DeleteReference(0);
  Interval caller(3, 9);
  map_->Update(0, caller);
  EXPECT_TRUE(caller == Interval(3, 9));
}

// Animated parameters narrow the validity to where their values hold.
TEST_F(UpdateTest, KeyedParameterNarrowsValidityAndIsReadAtTheTime) {
  auto* block = static_cast<maxhost::ParamBlock2*>(pb_);
  maxhost::PBValue v;
  v.f = 1.0f;
  ASSERT_TRUE(block->SetKey(pb_all_gamma, 0, v));
  v.f = 3.0f;
  ASSERT_TRUE(block->SetKey(pb_all_gamma, 100, v));
  EXPECT_TRUE(map_->Validity(50) == Interval(50, 50));
  EXPECT_FLOAT_EQ(AsPavimo(map_.get())->Cache().adjust.allGamma, 2.0f);
  const Interval after = map_->Validity(200);
  EXPECT_TRUE(after.InInterval(200));
  EXPECT_FALSE(after.InInterval(50));
  EXPECT_FLOAT_EQ(AsPavimo(map_.get())->Cache().adjust.allGamma, 3.0f);
}

#if TILVARA_RELEASE == 204
// Fitting the lists is bookkeeping: no undo record, no change message back to the map.
TEST_F(UpdateTest, FittingTheListsLeavesNoUndoAndSendsNoChange) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a, a}, {1, 1}, {1, 1});
  {
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    pb_->SetCount(pb_submap_on, 0);
    pb_->SetCount(pb_probability, 5);
  }
  pb_->SetValue(pb_seed, 0, 3);
  theHold.Begin();
  const int recorded = theHold.NumRecorded();
  UpdateAt(0);
  EXPECT_EQ(theHold.NumRecorded(), recorded);
  theHold.Accept(_M("update"));
  EXPECT_EQ(pb_->Count(pb_submap_on), 2);
  EXPECT_EQ(pb_->Count(pb_probability), 2);
  EXPECT_FALSE(AsPavimo(map_.get())->Cache().validity.Empty());
}

// Scene redraws are held off while the sub-textures update, and released afterwards.
TEST_F(UpdateTest, SceneRedrawIsSuspendedDuringTheRecompute) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {1});
  pb_->SetValue(pb_seed, 0, 3);
  Interface* ip = GetCOREInterface();
  ASSERT_NE(ip, nullptr);
  const int before = ip->IsSceneRedrawDisabled();
  UpdateAt(0);
  EXPECT_EQ(a->redrawDisabledSeen, before + 1);
  EXPECT_EQ(ip->IsSceneRedrawDisabled(), before);
}

#endif

}  // namespace

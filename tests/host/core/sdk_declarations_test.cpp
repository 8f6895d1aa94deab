// The shapes of the headers' declarations that a plug-in can lean on without noticing:
// base classes, copyability, return types and default bodies follow the host's SDK, so a
// plug-in that builds and behaves here builds and behaves against the host's headers.
#include <gtest/gtest.h>

#include <type_traits>

#include <ifnpub.h>
#include <imtl.h>
#include <inode.h>
#include <iparamm2.h>
#include <max.h>
#include <maxapi.h>
#include <ref.h>

#include "test_classes.h"

namespace {

// Everything the host animates is non-copyable; only the base data of a material or map
// is copied, through MtlBase's assignment, when a plug-in clones itself.
static_assert(std::is_base_of_v<MaxSDK::Util::Noncopyable, Animatable>);
static_assert(!std::is_copy_constructible_v<Animatable>);
static_assert(!std::is_copy_constructible_v<ReferenceMaker>);
static_assert(!std::is_copy_assignable_v<ReferenceMaker>);
static_assert(!std::is_copy_constructible_v<ReferenceTarget>);
static_assert(!std::is_copy_assignable_v<ReferenceTarget>);
static_assert(!std::is_copy_constructible_v<MtlBase>);
static_assert(std::is_copy_assignable_v<MtlBase>);
static_assert(!std::is_copy_constructible_v<Texmap>);

TEST(SdkDeclarations, MtlBaseAssignmentCopiesTheBaseDataOnly) {
  auto* from = new coretest::TestMap();
  auto* to = new coretest::TestMap();
  from->SetName(MSTR(L"Bricks"));
  from->gbufID = 7;
  from->SetMtlFlag(MTL_TEX_DISPLAY_ENABLED);
  IParamBlock2* const ownBlock = to->pblock;
  ASSERT_NE(ownBlock, nullptr);
  ASSERT_NE(ownBlock, from->pblock);

  static_cast<MtlBase&>(*to) = static_cast<const MtlBase&>(*from);

  EXPECT_STREQ(to->GetName().data(), L"Bricks");
  EXPECT_EQ(to->gbufID, 7u);
  EXPECT_TRUE(to->TestMtlFlag(MTL_TEX_DISPLAY_ENABLED));
  EXPECT_EQ(to->GetReference(0), ownBlock) << "references are not copied";
  EXPECT_EQ(ownBlock->Dependents().size(), 1u) << "the source's block gains no dependent";
  EXPECT_EQ(from->pblock->Dependents().size(), 1u);
  from->DeleteMe();
  to->DeleteMe();
}

// The Win32 long types keep their Windows width, and with it the layout of the records
// built from them.
static_assert(sizeof(DWORD) == 4 && sizeof(ULONG) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(Class_ID) == 8);

// Dialogs, parameter maps and the core interface answer interface queries; the sub-map
// part of a material or map is allocated through the host's heap.
static_assert(std::is_base_of_v<InterfaceServer, ParamDlg>);
static_assert(std::is_base_of_v<InterfaceServer, IMtlParams>);
static_assert(std::is_base_of_v<InterfaceServer, IParamMap2>);
static_assert(std::is_base_of_v<MaxHeapOperators, ISubMap>);
static_assert(std::is_base_of_v<FPStaticInterface, Interface>);
static_assert(std::is_base_of_v<FPInterfaceDesc, FPStaticInterface>);

TEST(SdkDeclarations, TheCoreInterfaceDescribesItself) {
  Interface* ip = GetCOREInterface();
  ASSERT_NE(ip, nullptr);
  FPInterface* fpi = ip;
  EXPECT_EQ(fpi->GetDesc(), static_cast<FPInterfaceDesc*>(ip));
  EXPECT_EQ(fpi->LifetimeControl(), noRelease) << "the core interface is never released";
}

// A mixin that keeps the defaults: it publishes no metadata of its own.
class PlainMixin : public FPMixinInterface {
 public:
  FPInterfaceDesc* GetDesc() override { return GetDescByID(Interface_ID(0x5EED0001, 0x2)); }
};

TEST(SdkDeclarations, MixinsAreServerControlledAndDescribedByTheNullDescriptor) {
  PlainMixin mixin;
  EXPECT_EQ(mixin.LifetimeControl(), serverControlled);
  EXPECT_EQ(mixin.GetDescByID(Interface_ID(0x5EED0001, 0x2)), &FPInterface::nullInterface);
  EXPECT_EQ(mixin.GetDesc(), &FPInterface::nullInterface);
  EXPECT_EQ(FPInterface::nullInterface.LifetimeControl(), noRelease)
      << "descriptors live as long as their library";
  EXPECT_TRUE(FPInterface::nullInterface.functions.empty());
}

// A node that leaves the handle to the default.
class BareNode : public INode {
 public:
  const MCHAR* GetName() override { return L"bare"; }
  void SetName(const MCHAR*) override {}
  Mtl* GetMtl() override { return nullptr; }
  void SetMtl(Mtl*) override {}

 protected:
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }
};

TEST(SdkDeclarations, ANodeWithoutAHandleAnswersTheNullHandle) {
  auto* node = new BareNode();
  EXPECT_EQ(node->GetHandle(), static_cast<ULONG>(kNullHandle));
  node->DeleteMe();
}

}  // namespace

#include "base/host_error.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace maxhost {
namespace {

// Whatever a plug-in lets out at a library's edge becomes a failed Status naming the call.
TEST(CatchAtEdge, EveryKindOfEscapeBecomesAFailureNamingTheCall) {
  EXPECT_TRUE(CatchAtEdge("Load", [] {}));

  Status host = CatchAtEdge("Load", [] { throw HostError("Load", "the file is not a library"); });
  EXPECT_FALSE(host);
  EXPECT_EQ(host.error, "Load: the file is not a library");

  Status oom = CatchAtEdge("Load", [] { throw std::bad_alloc(); });
  EXPECT_EQ(oom.error, "Load: out of memory");

  Status std_error = CatchAtEdge("Load", [] { throw std::runtime_error("broken"); });
  EXPECT_EQ(std_error.error, "Load: broken");

  // The SDK's exceptions (an array's index check throws one) are not std::exception.
  Status sdk = CatchAtEdge("Eval", [] {
    throw MaxSDK::Util::RunTimeException(L"MaxSDK::Array::last() on an empty array");
  });
  EXPECT_FALSE(sdk);
  EXPECT_EQ(sdk.error, "Eval: MaxSDK::Array::last() on an empty array");
  Status unicode = CatchAtEdge("Eval", [] { throw MaxSDK::Util::OutOfRangeException(L"Index \u00e9"); });
  EXPECT_EQ(unicode.error, "Eval: Index \xc3\xa9");
}

}  // namespace
}  // namespace maxhost

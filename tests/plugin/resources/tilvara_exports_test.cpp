// Windows: the export table of Tilvara.dlt, read from the file, holds the six entry points
// by plain name and the inline members that the SDK headers export from every plug-in that
// includes them, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/files.h"
#include "win32/pe_image.h"

namespace maxhost {
namespace {

TEST(TilvaraExports, TheExportTableHoldsTheEntryPointsAndTheSdkInlineMembersOnly) {
  std::vector<unsigned char> file;
  const Status read = ReadRegularFile("test", TILVARA_PLUGIN_FILE, 64u << 20, file);
  ASSERT_TRUE(read.ok) << read.error;
  ASSERT_TRUE(PeLibraryProblem(file).empty()) << PeLibraryProblem(file);
  const PeExportsResult exports = ReadPeExports(file);
  ASSERT_TRUE(exports.ok) << exports.error;
  EXPECT_EQ(exports.library_name, "Tilvara.dlt");

  std::vector<std::string> expected = {
      "LibClassDesc", "LibDescription", "LibInitialize", "LibNumberClasses", "LibShutdown",
      "LibVersion",
      // VertexNormalsControl::VertexNormalsControl(), both constructor forms
      "_ZN20VertexNormalsControlC1Ev", "_ZN20VertexNormalsControlC2Ev",
      // NURBSTrimPoint(double, NURBSTrimDirection), GetParameter(), GetDirection()
      "_ZN14NURBSTrimPointC1Ed18NURBSTrimDirection", "_ZN14NURBSTrimPointC2Ed18NURBSTrimDirection",
      "_ZN14NURBSTrimPoint12GetParameterEv", "_ZN14NURBSTrimPoint12GetDirectionEv",
      // NURBSTextureChannel::GetChannel(), GetTextureSurface()
      "_ZN19NURBSTextureChannel10GetChannelEv", "_ZN19NURBSTextureChannel17GetTextureSurfaceEv"};
  std::vector<std::string> names = exports.names;
  std::sort(expected.begin(), expected.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
  // No entry is exported by ordinal alone (DllMain is found through the image header).
  EXPECT_EQ(exports.function_count, exports.names.size());
  EXPECT_EQ(std::count(names.begin(), names.end(), "DllMain"), 0);
}

// The reader refuses what is not a whole PE image instead of reading past its end.
TEST(TilvaraExports, DamagedImagesAreRefused) {
  std::vector<unsigned char> file;
  ASSERT_TRUE(ReadRegularFile("test", TILVARA_PLUGIN_FILE, 64u << 20, file).ok);
  const std::vector<unsigned char> headers(file.begin(), file.begin() + 512);
  EXPECT_FALSE(PeLibraryProblem(headers).empty());
  EXPECT_FALSE(ReadPeExports(headers).ok);
  std::vector<unsigned char> not_pe = file;
  not_pe[0] = 'X';
  EXPECT_EQ(PeLibraryProblem(not_pe), "not a PE file (no MZ header)");
  EXPECT_FALSE(ReadPeExports({}).ok);
}

}  // namespace
}  // namespace maxhost

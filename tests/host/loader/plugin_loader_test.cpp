// The loader takes plug-ins through the host's start-up and exit sequence and
// skips libraries it must refuse, keeping the reason.
#include "loader/plugin_loader.h"

#include <gtest/gtest.h>
#include <plugapi.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/class_directory.h"
#include "win32/module.h"

namespace {
std::vector<std::string> g_events;
}

// Called by the probe plug-ins (found with dlsym in the executable).
extern "C" __declspec(dllexport) void ProbeEvent(const char* what) {
  g_events.emplace_back(what);
}

namespace maxhost {
namespace {

const PluginLoadResult* ResultFor(const std::vector<PluginLoadResult>& results,
                                  const std::string& file) {
  for (const PluginLoadResult& r : results)
    if (std::filesystem::path(r.path).filename() == file) return &r;
  return nullptr;
}

TEST(PluginLoader, LoadsAndUnloadsInTheHostsOrder) {
  g_events.clear();
  PluginLoader loader;
  const std::vector<PluginLoadResult> results = loader.LoadFolder(PROBE_GOOD_DIR);
  ASSERT_EQ(results.size(), 1u);
  ASSERT_TRUE(results[0].ok) << results[0].error;
  ASSERT_EQ(loader.Libraries().size(), 1u);
  const LoadedLibrary& lib = loader.Libraries()[0];
  EXPECT_EQ(lib.version, static_cast<ULONG>(VERSION_3DSMAX));
  // The description comes from the probe's string 1, through the module handle DllMain
  // received.
  EXPECT_EQ(lib.description, L"Loader Probe");
  ASSERT_EQ(lib.classes.size(), 1u);
  EXPECT_EQ(lib.classes[0]->HInstance(), lib.instance);
  EXPECT_NE(FindModule(lib.instance), nullptr);
  EXPECT_EQ(FindClassDesc(TEXMAP_CLASS_ID, Class_ID(0x1234, 0x5678)), lib.classes[0]);
  EXPECT_EQ(g_events, (std::vector<std::string>{"probe_good:attach", "probe_good:version",
                                                "probe_good:initialize"}));

  const HINSTANCE instance = lib.instance;
  g_events.clear();
  loader.UnloadAll();
  EXPECT_TRUE(loader.Libraries().empty());
  EXPECT_EQ(g_events, (std::vector<std::string>{"probe_good:shutdown", "probe_good:detach"}));
  EXPECT_EQ(FindClassDesc(TEXMAP_CLASS_ID, Class_ID(0x1234, 0x5678)), nullptr);
  EXPECT_EQ(FindModule(instance), nullptr);
}

TEST(PluginLoader, SkipsLibrariesItRefusesAndKeepsTheReasons) {
  g_events.clear();
  PluginLoader loader;
  const std::vector<PluginLoadResult> results = loader.LoadFolder(PROBE_MIXED_DIR);
  ASSERT_EQ(results.size(), 4u);

  const PluginLoadResult* old_version = ResultFor(results, "probe_a_old_version.dlt");
  ASSERT_NE(old_version, nullptr);
  EXPECT_FALSE(old_version->ok);
  EXPECT_EQ(old_version->error.rfind("LoadPlugin: ", 0), 0u) << old_version->error;
  EXPECT_NE(old_version->error.find("LibVersion 0x52083400"), std::string::npos)
      << old_version->error;

  const PluginLoadResult* no_shutdown = ResultFor(results, "probe_c_no_shutdown.dlt");
  ASSERT_NE(no_shutdown, nullptr);
  EXPECT_FALSE(no_shutdown->ok);
  EXPECT_NE(no_shutdown->error.find("missing export LibShutdown"), std::string::npos)
      << no_shutdown->error;

  const PluginLoadResult* init_fails = ResultFor(results, "probe_d_init_fails.dlt");
  ASSERT_NE(init_fails, nullptr);
  EXPECT_FALSE(init_fails->ok);
  EXPECT_NE(init_fails->error.find("LibInitialize failed"), std::string::npos) << init_fails->error;

  const PluginLoadResult* good = ResultFor(results, "probe_b_ok.dlt");
  ASSERT_NE(good, nullptr);
  EXPECT_TRUE(good->ok) << good->error;
  ASSERT_EQ(loader.Libraries().size(), 1u);
  EXPECT_EQ(loader.Libraries()[0].classes[0]->ClassID(), Class_ID(0x1234, 0x5679));

  // A refused library that had been attached was detached again; a library with a missing
  // export was never attached (on Windows the system attaches every library it loads, and
  // detaches it when it is let go).
  std::vector<std::string> expected = {
      "probe_a_old_version:attach", "probe_a_old_version:version", "probe_a_old_version:detach",
      "probe_b_ok:attach",          "probe_b_ok:version",          "probe_b_ok:initialize",
      "probe_d_init_fails:attach",  "probe_d_init_fails:version",  "probe_d_init_fails:initialize",
      "probe_d_init_fails:detach"};
#if defined(_WIN32)
  expected.insert(expected.begin() + 6,
                  {"probe_c_no_shutdown:attach", "probe_c_no_shutdown:detach"});
#endif
  EXPECT_EQ(g_events, expected);
}

TEST(PluginLoader, BrokenFilesAndMissingFoldersAreErrors) {
  PluginLoader loader;
  std::vector<PluginLoadResult> results = loader.LoadFolder("/nonexistent/plugins");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_FALSE(results[0].ok);
  EXPECT_EQ(results[0].error, "LoadFolder: /nonexistent/plugins: no such plug-in folder");

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tilvara_loader_test";
  std::filesystem::create_directories(dir);
  { std::ofstream(dir / "Broken.dlt") << "not a library"; }
  { std::ofstream(dir / "notes.txt") << "ignored: not a .dlt"; }
  results = loader.LoadFolder(dir.string());
  std::filesystem::remove_all(dir);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_FALSE(results[0].ok);
#if defined(_WIN32)
  const char* why = "Broken.dlt: not a PE file";
#else
  const char* why = "Broken.dlt: not an ELF file";
#endif
  EXPECT_NE(results[0].error.find(why), std::string::npos) << results[0].error;
  EXPECT_TRUE(loader.Libraries().empty());
}

TEST(PluginLoader, ModulesOfLoadedLibrariesCarryTheirResources) {
  PluginLoader loader;
  ASSERT_TRUE(loader.LoadPlugin(std::string(PROBE_GOOD_DIR) + "/probe_good.dlt").ok);
  const Module* m = FindModule(loader.Libraries()[0].instance);
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->resource_error.empty()) << m->resource_error;
  EXPECT_NE(FindResourceW(loader.Libraries()[0].instance, MAKEINTRESOURCEW(253), L"Maxscript"),
            nullptr);
  DialogParseResult dialog = LoadDialogTemplate(loader.Libraries()[0].instance, 114);
  ASSERT_TRUE(dialog.ok) << dialog.error;
  EXPECT_EQ(dialog.dialog.controls.size(), 2u);
}

TEST(PluginLoader, ALibraryWithoutResourcesStillLoads) {
  PluginLoader loader;
  const std::vector<PluginLoadResult> results = loader.LoadFolder(PROBE_BARE_DIR);
  ASSERT_EQ(results.size(), 1u);
  ASSERT_TRUE(results[0].ok) << results[0].error;
  const HINSTANCE m = loader.Libraries()[0].instance;
  const Module* record = FindModule(m);
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->resources.empty());
#if defined(_WIN32)
  const char* why = "the library has no resources";
#else
  const char* why = "no .rsrc section";
#endif
  EXPECT_NE(record->resource_error.find(why), std::string::npos) << record->resource_error;
  EXPECT_EQ(loader.Libraries()[0].description, L"");  // LibDescription found no string 1
  WCHAR buffer[8];
  EXPECT_EQ(LoadStringW(m, 1, buffer, 8), 0);
}

}  // namespace
}  // namespace maxhost

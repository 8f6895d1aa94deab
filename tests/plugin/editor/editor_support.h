// Shared pieces of the editor tests: the plug-in loaded once as the host loads it, with the
// .NET bridge installed as the host does at start-up; a map in a material, shown in the
// material editor; readers of the map's lists, its `ListView` and the dialog's rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <imtl.h>
#include <iparamb2.h>
#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/mxsobjects.h>

#include "shell/release.h"

#include "dotnet/controls.h"
#include "dotnet/listview.h"
#include "render/material.h"
#include "render/ref_holder.h"
#include "ui/material_editor.h"
#include "win32/records.h"

namespace editor_test {

namespace net = maxhost::dotnet;

// Control ids of the rollout that are not parameters.
#if TILVARA_RELEASE == 201
constexpr int kManageTextures = 1079;  // a custom button in release 2.01
#else
constexpr int kManageTextures = 1001;
#endif
constexpr int kLogo = 1007;

struct Host {
  ClassDesc2* desc = nullptr;
  HINSTANCE module = nullptr;  // the loaded Tilvara.dlt
  std::string error;
  // Whether the dialog script's show entry existed before the first "Manage Textures".
  bool showEntryBeforeFirstPress = false;
};
// Loads the plug-in and installs the bridge on first use.
const Host& TheHost();

// Runs script text; a failure is a test failure. Answers the printed result.
std::wstring RunScript(const std::wstring& script);

// The map's lists, read from its parameter block.
std::vector<std::wstring> FileNames(Texmap* map);
std::vector<int> SubmapOn(Texmap* map);
std::vector<int> Probabilities(Texmap* map);
// The map's `ListView` as its IPavimo getter answers it (null when it holds nothing).
Value* HeldDialog(Texmap* map);

// The list's rows as the user sees them.
std::vector<std::wstring> RowFiles(net::ListView& list);
std::vector<std::wstring> RowProbabilities(net::ListView& list);
std::vector<int> RowChecks(net::ListView& list);

// Message boxes shown through the system's MessageBoxW.
std::vector<maxhost::MessageBoxRecord> MessageBoxes();

// A folder for this program's image files, and a small PNG written in it.
std::wstring WriteImage(const std::string& name);

// The ItemCheck and MouseDown events of a click on a check box, in the order the forms raise
// them: "#(#check, #down)" in Windows Forms, where the native list toggles the box while it
// handles the press.
std::wstring CheckBoxClickEvents();

// A map of the plug-in in the diffuse slot of a material, both held for the test, with the
// material editor showing the map. `theMap` is the map's script wrapper, a global.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Texmap* NewMap();
  // "Manage Textures" in the rollout; finds the dialog's form and controls.
  void PressManageTextures();
  void FindDialog();
  // Runs a full collection of the script engine.
  static void CollectGarbage();

  std::unique_ptr<maxhost::RefHolder> holder_;
  std::unique_ptr<maxhost::ui::MaterialEditor> editor_;
  maxhost::StandardMaterial* material_ = nullptr;
  Texmap* map_ = nullptr;
  IParamBlock2* pb_ = nullptr;

  net::FormPtr form_;
  std::shared_ptr<net::ListView> list_;
  std::shared_ptr<net::NumericUpDown> spinner_;
};

}  // namespace editor_test

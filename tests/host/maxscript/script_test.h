// A fresh script engine with the test map and the host's render classes registered, and
// the helpers the script tests share: run text that must succeed or must fail, and reach
// the map a global holds.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "maxscript/engine.h"
#include "render/register.h"
#include "tile_map.h"

class TileMapScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    init_MAXScript();
    maxhost::mxs::reset_globals();
    tile_test::RegisterTileMap();
    maxhost::RegisterRenderClasses();
    maxhost::mxs::set_output_sink([this](const std::wstring& t) { output_ += t; });
  }
  void TearDown() override { maxhost::mxs::set_output_sink(nullptr); }

  // The printed result of text that must run without error.
  std::wstring eval(const std::wstring& text) {
    maxhost::mxs::RunResult r = maxhost::mxs::run_string(text);
    EXPECT_TRUE(r.ok) << maxhost::Utf8FromWide(text) << "\n" << maxhost::Utf8FromWide(r.error);
    return r.result;
  }
  // The listener's error text of text that must fail.
  std::wstring error_of(const std::wstring& text) {
    maxhost::mxs::RunResult r = maxhost::mxs::run_string(text);
    EXPECT_FALSE(r.ok) << maxhost::Utf8FromWide(text)
                       << " ran without error: " << maxhost::Utf8FromWide(r.result);
    return r.error;
  }
  // The test map a global holds, or null.
  tile_test::TileMap* map_of(const std::wstring& global) {
    Value* v = maxhost::mxs::global_value(global);
    if (v == nullptr) return nullptr;
    return static_cast<tile_test::TileMap*>(dynamic_cast<Texmap*>(v->to_reftarg()));
  }
  static bool has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
  }

  std::wstring output_;  // what print and format wrote to the listener
};

// The C++ API that plug-ins call, exercised the way the plug-in's script bridge uses it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <ifnpub.h>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/maxscript.h"
#include "probe.h"
#include "win32/records.h"

namespace {

using namespace maxhost::mxs;

// ExecuteMAXScriptScript in the form of the build's host year (logging of quiet errors is
// always on before 2017).
BOOL Execute(const MCHAR* s, BOOL quiet = FALSE, FPValue* fpv = nullptr, BOOL log = TRUE) {
#if MAX_VERSION_MAJOR >= 24
  return ExecuteMAXScriptScript(s, MAXScript::ScriptSource::NonEmbedded, quiet, fpv, log);
#elif MAX_VERSION_MAJOR >= 19
  return ExecuteMAXScriptScript(s, quiet, fpv, log);
#else
  (void)log;
  return ExecuteMAXScriptScript(s, quiet, fpv);
#endif
}

#if MAX_VERSION_MAJOR >= 19
// The bridge's call sequence: look a global function up by name, call it with one
// argument, report errors under the caption, keep the result when asked. The evaluation
// context prepares the thread and holds the allocation frame; the value-local array
// unlinks itself.
Value* CallScriptFunction(const MCHAR* name, Value* arg, bool keep) {
  if (arg == nullptr) return nullptr;
  ScopedMaxScriptEvaluationContext ctx;
  Value* result = nullptr;
  {
    Value** vl;
    value_local_array(vl, 3);
    ScopedSaveCurrentFrames saveFrames;
    try {
      vl[0] = Name::intern(name);
      vl[1] = globals->get(vl[0]);
      while (vl[1] != nullptr && (is_globalthunk(vl[1]) || is_constglobalthunk(vl[1])))
        vl[1] = static_cast<GlobalThunk*>(vl[1])->cell;
      if (vl[1] != nullptr) vl[2] = vl[1]->apply(&arg, 1, nullptr);
    } catch (MAXScriptException& e) {
      ProcessMAXScriptException(e, _T("Tilva BitmapList"), true, false, true, false);
      vl[2] = nullptr;
    } catch (...) {
      UnknownSystemException use(0, MSTR());
      ProcessMAXScriptException(use, _T("Tilva BitmapList"), false, false, true, false);
      clear_error_source_data();
      MAXScript_signals = 0;
      vl[2] = nullptr;
    }
    if (keep && vl[2] != nullptr) result = vl[2]->make_heap_permanent();
  }
  return result;
}
#endif

class Api : public testing::Test {
 protected:
  void SetUp() override {
    init_MAXScript();
    reset_globals();
    clear_reported_errors();
    collect();
    ProbeValue::destroyed = 0;
    set_output_sink([this](const std::wstring& s) { listener += s; });
  }
  void TearDown() override { set_output_sink(nullptr); }
  std::wstring listener;
};

TEST_F(Api, ExecuteDefinesGlobalFunctions) {
  EXPECT_EQ(Execute(_T("fn twice x = x * 2"), TRUE, nullptr, TRUE), TRUE);
  Value* g = globals->get(Name::intern(_T("TWICE")));
  ASSERT_NE(g, nullptr);
  EXPECT_TRUE(is_globalthunk(g));
  Value* fn = static_cast<GlobalThunk*>(g)->cell;
  Value* arg = Integer::intern(21);
  EXPECT_EQ(fn->apply(&arg, 1)->to_int(), 42);
}

TEST_F(Api, ExecuteReturnsTheResultAsFPValue) {
  FPValue v;
  EXPECT_EQ(Execute(_T("6 * 7"), TRUE, &v), TRUE);
  EXPECT_EQ(v.type, TYPE_INT);
  EXPECT_EQ(v.i, 42);
  EXPECT_EQ(Execute(_T("\"text\""), TRUE, &v), TRUE);
  EXPECT_EQ(v.type, TYPE_STRING);
  EXPECT_STREQ(v.s, L"text");
  EXPECT_EQ(Execute(_T("#(1)"), TRUE, &v), TRUE);
  EXPECT_EQ(v.type, TYPE_VALUE);
  EXPECT_TRUE(is_array(v.v));
}

TEST_F(Api, QuietErrorsAreLoggedWithoutMessageBox) {
  EXPECT_EQ(Execute(_T("undefined + 1"), TRUE, nullptr, TRUE), FALSE);
  auto errors = reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].message_box);
  EXPECT_NE(listener.find(L"-- No \"\"+\"\" function for undefined"), std::wstring::npos);
#if MAX_VERSION_MAJOR >= 19
  listener.clear();
  EXPECT_EQ(Execute(_T("x = ("), TRUE, nullptr, FALSE), FALSE);
  EXPECT_TRUE(listener.empty());
#endif
}

TEST_F(Api, LoudErrorsShowAMessageBox) {
  EXPECT_EQ(Execute(_T("5.nothing")), FALSE);
  auto errors = reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].message_box);
}

TEST_F(Api, ScriptMessageBoxesAreRecorded) {
  maxhost::ClearMessageBoxLog();
  RunResult r = run_string(L"messageBox \"ERROR: Unable to load file \\\"x.png\\\"\" title:\"T\"");
  ASSERT_TRUE(r.ok) << maxhost::Utf8FromWide(r.error);
  auto boxes = maxhost::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"ERROR: Unable to load file \"x.png\"");
  EXPECT_EQ(boxes[0].caption, L"T");
  maxhost::SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(run_string(L"queryBox \"Sure?\"").result, L"false");
  maxhost::SetMessageBoxAnswer(IDOK);
}

TEST_F(Api, KeywordArgumentsReachNativeFunctions) {
  define_primitive(L"kw", [](Value** a, int n) -> Value* {
    return Integer::intern(positional_arg_count(a, n) * 100 + get_key_arg(a, n, L"k")->to_int());
  });
  RunResult r = run_string(L"kw 1 2 k:5");
  EXPECT_EQ(r.result, L"205");
  EXPECT_EQ(get_key_arg(nullptr, 0, L"k"), &unsupplied);
}

TEST_F(Api, ConversionsOfValuesForNativeCode) {
  EXPECT_EQ((new String(L"abc"))->to_string(), std::wstring(L"abc"));
  EXPECT_EQ((new Float(2.75f))->to_int(), 2);
  EXPECT_THROW((new String(L"x"))->to_int(), MAXScriptException);
  Value* first = Name::intern(L"ApiCaseName");
  EXPECT_EQ(first, Name::intern(L"APICASENAME"));
  EXPECT_EQ(undefined.to_printed(), L"undefined");
}

TEST_F(Api, ScriptFilesAreUtf8OrTheAnsiCodePage) {
  const auto dir = std::filesystem::temp_directory_path() / ("mxs_api_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  };
  std::wstring text;
  std::string why;
  // UTF-8 with a byte-order mark, a character outside the basic plane included.
  ASSERT_TRUE(
      read_script_file(write("bom.ms", "\xEF\xBB\xBFs = \"\xC3\xA9\xF0\x9F\x98\x80\""), text, why));
  EXPECT_EQ(text, L"s = \"\u00E9\U0001F600\"");
  // Bytes that are not UTF-8 are Latin-1 text, not replacement characters.
  ASSERT_TRUE(read_script_file(write("ansi.ms", "s = \"caf\xE9\""), text, why));
  EXPECT_EQ(text, L"s = \"caf\u00E9\"");
  EXPECT_FALSE(read_script_file((dir / "missing.ms").string(), text, why));
  EXPECT_NE(why.find("read_script_file: "), std::string::npos) << why;
  EXPECT_FALSE(read_script_file(dir.string(), text, why));
  RunResult r = run_file((dir / "missing.ms").string());
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(L"Unable to open file"), std::wstring::npos);
  std::filesystem::remove_all(dir);
}

#if MAX_VERSION_MAJOR >= 19
TEST_F(Api, BridgeCallKeepsResultUntilCollectable) {
  Execute(_T("struct Dlg (m_texture)\nfn show tex = Dlg tex"), TRUE);
  Value* result = CallScriptFunction(_T("show"), new ProbeValue(), true);
  ASSERT_NE(result, nullptr);
  EXPECT_TRUE(is_struct(result));
  EXPECT_EQ(mxs_current_locals_frame(), nullptr);
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 0);
  result->make_collectable();
  collect();
  EXPECT_EQ(ProbeValue::destroyed, 1);
}

TEST_F(Api, BridgeCallReportsScriptErrorUnderCaption) {
  Execute(_T("fn broken x = x.missing"), TRUE);
  Value* r = CallScriptFunction(_T("broken"), Integer::intern(3), true);
  EXPECT_EQ(r, nullptr);
  auto errors = reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, L"Tilva BitmapList");
  EXPECT_TRUE(errors[0].message_box);
  EXPECT_EQ(errors[0].text, L"-- Unknown property: \"missing\" in 3\n");
}

TEST_F(Api, ErrorMessageBoxesReachTheUserInterface) {
  maxhost::ClearMessageBoxLog();
  Execute(_T("fn broken2 x = x.missing"), TRUE);
  CallScriptFunction(_T("broken2"), Integer::intern(3), true);
  auto boxes = maxhost::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Tilva BitmapList");
  EXPECT_EQ(boxes[0].text, L"-- Unknown property: \"missing\" in 3");
}

TEST_F(Api, BridgeCallReportsNativeExceptionsAsUnknownSystemException) {
  define_primitive(L"nativeThrow", [](Value**, int) -> Value* { throw std::runtime_error("x"); });
  Execute(_T("fn callsNative x = nativeThrow()"), TRUE);
  MAXScript_signals = 3;
  EXPECT_EQ(CallScriptFunction(_T("callsNative"), &undefined, true), nullptr);
  EXPECT_EQ(MAXScript_signals, 0);
  auto errors = reported_errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].message_box);
  EXPECT_EQ(errors[0].text, L"-- Unknown system exception\n");
}

TEST_F(Api, MissingFunctionAndMissingArgumentCallNothing) {
  EXPECT_EQ(CallScriptFunction(_T("no_such_function"), Integer::intern(1), true), nullptr);
  EXPECT_EQ(CallScriptFunction(_T("print"), nullptr, true), nullptr);
  EXPECT_TRUE(listener.empty());
  EXPECT_TRUE(reported_errors().empty());
}

TEST_F(Api, ConstGlobalThunksAreFollowed) {
  Value* n = Name::intern(_T("constantFn"));
  globals->put(n, new ConstGlobalThunk(n, new Primitive(_T("constantFn"), [](Value** a, int) {
                                         return Integer::intern(a[0]->to_int() + 1);
                                       })));
  Value* r = CallScriptFunction(_T("constantFn"), Integer::intern(1), true);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->to_int(), 2);
}
#endif

}  // namespace

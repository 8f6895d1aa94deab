// Runs arbitrary text as a script under a step budget and a small heap limit: every input
// must end with a result or a script error, within its budget, and leave the engine
// usable for the next one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"

namespace {

using namespace maxhost::mxs;

bool setup() {
  RunLimits limits;
  limits.max_steps = 20000;
  limits.heap_limit_bytes = std::size_t{48} << 20;
  set_run_limits(limits);
  set_output_sink([](const std::wstring&) {});
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = setup();
  (void)ready;
  std::wstring text =
      maxhost::WideFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  RunResult r = run_string(text, L"fuzz.ms");
  if (!r.ok && r.error.empty()) __builtin_trap();  // a failed run always says why
  reset_globals();
  collect();
  return 0;
}

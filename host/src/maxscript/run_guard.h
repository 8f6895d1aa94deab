// Guards of a run against scripts that never end or grow without bound: interruption
// (the host's Escape key), the time and step limits, and the script heap's limit.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "maxscript/engine.h"

namespace maxhost::mxs {

// Ends a run whatever the script does: a script's try/catch passes it on, so an
// interrupted or exhausted run cannot carry on.
class RunAborted : public MAXScriptException {
 public:
  explicit RunAborted(std::wstring msg) : MAXScriptException(std::move(msg)) {}
};

// The run in progress on this thread.
struct RunState {
  bool active = false;
  unsigned interrupt_mark = 0;  // interrupt requests counted when the run began
  std::uint64_t steps = 0;
  std::uint64_t next_slow_check = 0;
  std::uint64_t max_steps = 0;
  double timeout_seconds = 0;
  std::chrono::steady_clock::time_point deadline;
};
RunState& run_state();

// How many times request_interrupt has been called; wraps around.
extern std::atomic<unsigned> g_interrupt_requests;

void check_run_slow(RunState& r);

// One step of the evaluator (a loop iteration, a call, a collection step): stops the run
// when it was interrupted or passed a limit. Costs an increment and a relaxed load.
inline void check_run() {
  RunState& r = run_state();
  if (++r.steps >= r.next_slow_check ||
      g_interrupt_requests.load(std::memory_order_relaxed) != r.interrupt_mark)
    check_run_slow(r);
}

// Starts a run on this thread unless one is in progress (nested evaluations belong to
// the outer run): interrupt requests made earlier are forgotten, the clock and the step
// count start from the current limits.
class RunScope {
 public:
  RunScope();
  ~RunScope();
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  bool outer_;
};

// The heap limit in force (bytes).
std::size_t heap_limit_bytes();
// The error of a run whose heap cannot stay under its limit.
[[noreturn]] void throw_out_of_memory();

}  // namespace maxhost::mxs

#include "maxscript/run_guard.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace maxhost::mxs {

std::atomic<unsigned> g_interrupt_requests{0};
static_assert(std::atomic<unsigned>::is_always_lock_free,
              "request_interrupt must stay async-signal-safe");

namespace {

// Checks of the clock are spread out: reading it costs more than the other checks.
constexpr std::uint64_t kClockInterval = 1024;

struct LimitStore {
  std::mutex mutex;
  RunLimits limits;
};
LimitStore& limit_store() {
  static auto* s = new LimitStore;  // never destroyed: runs may outlive static destruction
  return *s;
}
std::atomic<std::size_t> g_heap_limit{RunLimits{}.heap_limit_bytes};

thread_local RunState t_run;

std::wstring number_text(double v) {
  if (v == std::floor(v) && v < 1e15) return std::to_wstring(static_cast<long long>(v));
  std::wstring s = std::to_wstring(v);
  while (!s.empty() && s.back() == L'0') s.pop_back();
  return s;
}

}  // namespace

void request_interrupt() {
  g_interrupt_requests.fetch_add(1, std::memory_order_relaxed);
}

void set_run_limits(const RunLimits& limits) {
  LimitStore& s = limit_store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.limits = limits;
  g_heap_limit.store(limits.heap_limit_bytes, std::memory_order_relaxed);
}

RunLimits run_limits() {
  LimitStore& s = limit_store();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.limits;
}

std::size_t heap_limit_bytes() {
  return g_heap_limit.load(std::memory_order_relaxed);
}

RunState& run_state() {
  return t_run;
}

void check_run_slow(RunState& r) {
  if (!r.active) {
    // Outside any run (a native caller between runs): nothing to stop.
    r.interrupt_mark = g_interrupt_requests.load(std::memory_order_relaxed);
    r.next_slow_check = r.steps + kClockInterval;
    return;
  }
  if (g_interrupt_requests.load(std::memory_order_relaxed) != r.interrupt_mark)
    throw RunAborted(L"MAXScript interrupted");
  if (r.max_steps != 0 && r.steps >= r.max_steps)
    throw RunAborted(L"MAXScript interrupted: the run exceeded its step limit of " +
                     std::to_wstring(r.max_steps) + L" steps");
  if (r.timeout_seconds > 0 && std::chrono::steady_clock::now() >= r.deadline)
    throw RunAborted(L"MAXScript interrupted: the run exceeded its time limit of " +
                     number_text(r.timeout_seconds) +
                     (r.timeout_seconds == 1 ? L" second" : L" seconds"));
  r.next_slow_check = r.steps + kClockInterval;
  if (r.max_steps != 0 && r.next_slow_check > r.max_steps) r.next_slow_check = r.max_steps;
}

RunScope::RunScope() : outer_(!t_run.active) {
  if (!outer_) return;
  RunLimits limits = run_limits();
  t_run.active = true;
  t_run.interrupt_mark = g_interrupt_requests.load(std::memory_order_relaxed);
  t_run.steps = 0;
  t_run.max_steps = limits.max_steps;
  t_run.next_slow_check = limits.max_steps != 0 && limits.max_steps < kClockInterval
                              ? limits.max_steps
                              : kClockInterval;
  t_run.timeout_seconds = std::isfinite(limits.timeout_seconds) && limits.timeout_seconds > 0
                              ? limits.timeout_seconds
                              : 0;
  if (t_run.timeout_seconds > 0) {
    auto span = std::chrono::duration<double>(std::min(t_run.timeout_seconds, 1e9));
    t_run.deadline = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(span);
  }
}

RunScope::~RunScope() {
  if (outer_) t_run.active = false;
}

void throw_out_of_memory() {
  std::size_t mb = heap_limit_bytes() >> 20;
  throw RunAborted(L"Runtime error: out of memory: the script heap passed its limit of " +
                   std::to_wstring(mb) + L" MB");
}

}  // namespace maxhost::mxs

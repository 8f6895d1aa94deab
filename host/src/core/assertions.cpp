// Failed debug assertions: each is written to standard error as it happens and counted,
// and the calling thread keeps its latest report. No lock: the count is atomic and the
// report belongs to the thread.
#include "core/assertions.h"

#include <atomic>
#include <cstdio>
#include <string_view>

#include <assert1.h>

#include "base/text.h"

namespace {

std::atomic<long long> gFailures{0};
thread_local std::string tLastReport;

std::string_view LastComponent(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

int Report(int line, std::string_view file, std::string_view function, std::string_view expr) {
  std::string report(expr.empty() ? std::string_view("assertion") : expr);
  if (!function.empty()) {
    report += " in ";
    report += function;
  }
  report += " (";
  report += LastComponent(file);
  report += ':';
  report += std::to_string(line);
  report += ')';
  gFailures.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "DbgAssert failed: %s\n", report.c_str());
  std::fflush(stderr);
  tLastReport = std::move(report);
  return 1;
}

std::string_view Narrow(const char* s) {
  return s ? std::string_view(s) : std::string_view();
}
std::string Narrow(const wchar_t* s) {
  return s ? maxhost::Utf8FromWide(s) : std::string();
}

}  // namespace

int assert1(int line, const char* file, const char* function, const char* expr) {
  return Report(line, Narrow(file), Narrow(function), Narrow(expr));
}

int assert1(int line, const wchar_t* file, const wchar_t* function, const wchar_t* expr) {
  return Report(line, Narrow(file), Narrow(function), Narrow(expr));
}

namespace maxhost {

long long AssertionFailureCount() {
  return gFailures.load(std::memory_order_relaxed);
}

std::string LastAssertionReport() {
  return tLastReport;
}

}  // namespace maxhost

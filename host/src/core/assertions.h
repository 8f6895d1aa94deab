// What the host knows of the debug assertions that failed in this process, for the
// command-line host and tests.
#pragma once

#include <string>

#include <coreexp.h>

namespace maxhost {

// Failed assertions reported since the process started, on every thread.
CoreExport long long AssertionFailureCount();
// The report of the calling thread's latest failed assertion; empty before its first.
// The report names the expression, the function, the file's last path component and the
// line: "at <= mItems.size() in insertAt (Array.h:71)".
CoreExport std::string LastAssertionReport();

}  // namespace maxhost

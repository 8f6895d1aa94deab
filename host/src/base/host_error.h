// The host's one error convention. Inside a library a failure is thrown as a HostError
// whose message starts with the public function it happened under and says why
// ("LoadScene: chunk 0x2100 is truncated at byte 88"). A library's public functions catch
// it at their edge and return a Status (or a result struct that carries one), so callers
// across library boundaries never see an exception. The command-line host prints a failed
// Status as "tilvara: error: <what>: <why>". The script engine is the exception: script
// errors travel as MAXScript exceptions, as in the host, and leave it as a RunResult.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "base/text.h"
#include "util/maxexceptions.h"

namespace maxhost {

class HostError : public std::runtime_error {
 public:
  HostError(std::string_view function, std::string_view why)
      : std::runtime_error(std::string(function) + ": " + std::string(why)) {}
};

struct Status {
  bool ok = true;
  std::string error;  // "Function: why" when not ok

  static Status Success() { return {}; }
  static Status Failure(std::string message) { return {false, std::move(message)}; }
  explicit operator bool() const { return ok; }
};

// Runs body at a library's edge: a HostError (or any std::exception or SDK exception that a
// plug-in lets out, named after the function) becomes a failed Status.
template <typename Body>
Status CatchAtEdge(std::string_view function, Body&& body) {
  try {
    body();
    return Status::Success();
  } catch (const HostError& e) {
    return Status::Failure(e.what());
  } catch (const std::bad_alloc&) {
    return Status::Failure(std::string(function) + ": out of memory");
  } catch (const std::exception& e) {
    return Status::Failure(std::string(function) + ": " + e.what());
  } catch (const MaxSDK::Util::Exception& e) {
    return Status::Failure(std::string(function) + ": " + Utf8FromWide(e.What()));
  }
}

}  // namespace maxhost

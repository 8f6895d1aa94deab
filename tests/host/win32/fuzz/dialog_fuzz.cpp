// Any bytes given as a dialog template parse into controls or fail with a reason.
#include <cstddef>
#include <cstdint>

#include "win32/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const maxhost::DialogParseResult r = maxhost::ParseDialogTemplate(std::span(data, size));
  if (r.ok != r.error.empty()) __builtin_trap();
  // Every control takes at least its fixed header from the input.
  if (r.dialog.controls.size() > size / 8 + 1) __builtin_trap();
  return 0;
}

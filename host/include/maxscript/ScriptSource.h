// Where script text comes from; the host grants rights by it (from 2022).
#pragma once

namespace MAXScript {
enum class ScriptSource : int {
  NotSpecified,  // treated as Embedded
  Embedded,      // carried in a scene file
  NonEmbedded,   // a script file, or text fixed in a plug-in: full rights
  Dynamic,       // built at run time from other input: restricted
  DynamicAlways  // restricted even when the host's safe-scene checks are off
};
}  // namespace MAXScript

// How many reference targets exist: tests check with it that a refused scene file or a
// deletion leaves nothing behind.
#pragma once

#include <coreexp.h>

namespace maxhost {

CoreExport long LiveReferenceTargets();

}  // namespace maxhost

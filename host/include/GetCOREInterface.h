// The core interface of the running host.
#pragma once

#include "coreexp.h"

class Interface;

// Interface7 and later versions of the core interface add nothing the stand-in offers.
typedef Interface Interface7;
typedef Interface Interface17;

CoreExport Interface* GetCOREInterface();
inline Interface17* GetCOREInterface17() {
  return GetCOREInterface();
}
inline Interface7* GetCOREInterface7() {
  return GetCOREInterface();
}

// Shell calls live in windows.h in the stand-in; this header exists so that code
// written for Windows, which includes it separately, builds unchanged.
#pragma once

#include "windows.h"

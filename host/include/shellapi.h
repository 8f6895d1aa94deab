// Shell calls. On Windows this is the platform's own header; elsewhere they live in the
// stand-in's windows.h, and this header exists so that code written for Windows, which
// includes it separately, builds unchanged.
#pragma once

#if defined(_WIN32)
#include_next <shellapi.h>
#else
#include "windows.h"
#endif

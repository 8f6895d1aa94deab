// Allocation frames: native code that creates script values brackets that work with a
// push/pop pair, so that values made inside count as the frame's own.
#pragma once

#include <maxversion.h>

#include "value.h"

struct MAXScript_TLS;

#if MAX_VERSION_MAJOR >= 20
ScripterExport void push_alloc_frame(MAXScript_TLS* _tls = nullptr);
ScripterExport void pop_alloc_frame(MAXScript_TLS* _tls = nullptr);
#else
ScripterExport void push_alloc_frame();
ScripterExport void pop_alloc_frame();
#endif

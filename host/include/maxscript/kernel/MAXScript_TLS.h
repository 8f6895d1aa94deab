// The script engine's per-thread state, which every native call into the engine needs.
#pragma once

#include "value.h"

// Opaque to plug-ins: the engine's state of one thread.
struct MAXScript_TLS;

// Prepares the calling thread's engine state; later calls on the same thread do nothing.
ScripterExport void init_thread_locals();

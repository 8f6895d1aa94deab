// Interrupts of running scripts.
#pragma once

#include "value.h"

// Pending interrupt signals of the engine; code that recovers from an error resets it to 0.
extern ScripterExport int MAXScript_signals;

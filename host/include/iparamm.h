// First-generation parameter maps; what later code still takes from here.
#pragma once

// A spinner step chosen from the value's size.
#define SPIN_AUTOSCALE -1.0f

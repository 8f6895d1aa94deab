// Hue, saturation and value (hexcone model). Hue is a fraction of a full turn in [0, 1),
// saturation a fraction in [0, 1], value the largest of r, g and b.
#pragma once

#include "color.h"
#include "coreexp.h"

CoreExport Color RGBtoHSV(Color rgb);
// Inverse of RGBtoHSV for colours with components of 0 or more. Hues outside [0, 1) wrap; a hue
// of 1 is the same as 0; with saturation 0 the hue has no effect.
CoreExport Color HSVtoRGB(Color hsv);

#pragma once
// Everything the map's evaluations use, free of host types.
#include "shading/color_adjust.h"
#include "shading/generator.h"
#include "shading/selection.h"

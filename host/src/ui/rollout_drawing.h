// The picture of a rollout as the host shows it.
#pragma once

#include <string>

#include "render/image.h"

namespace maxhost::ui {

class ParamMap;

// Draws map's rollout: every visible control at its template position (dialog units scaled
// for the 8-point font, times scale) with its text, value, check state, colour or image.
bool DrawRollout(const ParamMap& map, int scale, Image& out, std::string& error);

}  // namespace maxhost::ui

#pragma once
// Four wood-like textures the demo makes itself, so it needs no files.

#include <vector>

#include "render/image.h"

namespace tilvara_app {

// Plank-shaped images (grain along the width), deterministic: oak, walnut, maple, cherry.
std::vector<maxhost::Image> MakeWoodTextures(int width = 512, int height = 64);

}  // namespace tilvara_app

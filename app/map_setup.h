#pragma once
// Building a Tilvara map for the render and sample verbs: sub-textures and --set values.

#include <string>
#include <vector>

#include "arguments.h"
#include "render/image.h"

class Texmap;
class IParamBlock2;

namespace tilvara_app {

IParamBlock2* MapBlock(Texmap* map);  // throws AppError when the map has no block

// Appends the textures to the map's `submaps` list (null entries stay empty slots).
void AppendSubTextures(Texmap* map, const std::vector<Texmap*>& textures);

// A bitmap texture over a file; throws AppError when the file cannot be read as an image.
Texmap* NewBitmapFromFile(const std::string& path);
Texmap* NewBitmapFromImage(maxhost::Image image);
Texmap* NewSubTexture(const SubTextureSpec& texture);  // null for an empty slot

// Applies NAME=VALUE texts in order.
void ApplySettings(Texmap* map, const std::vector<std::string>& assignments);

}  // namespace tilvara_app

#pragma once
// Loaded bitmaps shared read-only between bitmap textures (and their shading threads), and the
// hook through which the renderer reports problems such as unreadable files.
#include <functional>
#include <memory>
#include <string>

#include "render/texture_filter.h"

namespace maxhost {

// Receives one line per problem, without the trailing newline. The default writes
// "tilvara: warning: <line>" to stderr. Pass an empty function to restore the default.
using RenderReporter = std::function<void(const std::string& line)>;
void SetRenderReporter(RenderReporter reporter);
void Report(const std::string& line);

// Returns the image of a file, loading it if no texture holds it yet (or always, with reload).
// Null on failure, with `error` set. Main thread only.
std::shared_ptr<FilteredImage> AcquireBitmap(const std::string& path, bool reload,
                                             std::string& error);

}  // namespace maxhost

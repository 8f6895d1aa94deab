#pragma once
// The render library's classes in the host's class directory: the bitmap texture
// ("Bitmaptexture"), its UV generator, "ConstantColor", "Checker", "PlankTiles" and
// "Standardmaterial". Loading the library registers them; calling again does nothing more.
namespace maxhost {

void RegisterRenderClasses();

}  // namespace maxhost

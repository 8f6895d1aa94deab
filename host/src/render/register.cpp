#include "render/register.h"

#include "core/class_directory.h"
#include "render/bitmap_texture.h"
#include "render/material.h"
#include "render/std_maps.h"
#include "render/tile_map.h"
#include "render/uv_generator.h"

namespace maxhost {

void RegisterRenderClasses() {
  for (ClassDesc* cd :
       {static_cast<ClassDesc*>(GetBitmapTextureDesc()),
        static_cast<ClassDesc*>(GetUVGeneratorDesc()),
        static_cast<ClassDesc*>(GetConstantColorDesc()), static_cast<ClassDesc*>(GetCheckerDesc()),
        static_cast<ClassDesc*>(GetTileMapDesc()),
        static_cast<ClassDesc*>(GetStandardMaterialDesc())})
    RegisterClassDesc(cd);
}

namespace {

// Registers at library load, as the host's own plug-ins are found at start-up.
struct Registrar {
  Registrar() { RegisterRenderClasses(); }
} registrar;

}  // namespace
}  // namespace maxhost

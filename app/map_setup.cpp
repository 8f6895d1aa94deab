#include "map_setup.h"

#include "app_error.h"
#include "base/files.h"
#include "base/text.h"
#include "imtl.h"
#include "iparamb2.h"
#include "parameters.h"
#include "render/bitmap_texture.h"
#include "render/std_maps.h"

namespace tilvara_app {

IParamBlock2* MapBlock(Texmap* map) {
  IParamBlock2* block = map ? map->GetParamBlock(0) : nullptr;
  if (!block) throw AppError("Tilvara", "the map has no parameter block");
  return block;
}

void AppendSubTextures(Texmap* map, const std::vector<Texmap*>& textures) {
  IParamBlock2* block = MapBlock(map);
  const int index = block->GetDesc()->NameToIndex(L"submaps");
  if (index < 0) throw AppError("Tilvara", "the map has no submaps parameter");
  const ParamID id = block->GetDesc()->paramdefs[static_cast<size_t>(index)].ID;
  std::vector<Texmap*> entries(textures);
  if (!entries.empty()) block->Append(id, static_cast<int>(entries.size()), entries.data());
}

Texmap* NewBitmapFromFile(const std::string& path) {
  // A FIFO or a device would block the image reader or never end.
  const maxhost::Status readable = maxhost::CheckRegularFile("LoadImageFile", path);
  if (!readable) throw AppError(path, readable.error);
  maxhost::Image probe;
  std::string why;
  if (!maxhost::LoadImageFile(path, probe, why))
    throw AppError(path, "cannot read the image (" + why + ")");
  auto* bitmap =
      static_cast<maxhost::BitmapTexture*>(maxhost::GetBitmapTextureDesc()->Create(FALSE));
  bitmap->SetMapName(maxhost::WideFromUtf8(path).c_str());
  return bitmap;
}

Texmap* NewBitmapFromImage(maxhost::Image image) {
  return maxhost::NewBitmapTextureFromImage(std::move(image));
}

Texmap* NewSubTexture(const SubTextureSpec& texture) {
  switch (texture.kind) {
    case SubTextureSpec::Kind::kEmpty:
      return nullptr;
    case SubTextureSpec::Kind::kBitmap:
      return NewBitmapFromFile(texture.file);
    case SubTextureSpec::Kind::kChecker:
      return static_cast<Texmap*>(maxhost::GetCheckerDesc()->Create(FALSE));
    case SubTextureSpec::Kind::kSolid: {
      auto* solid =
          static_cast<maxhost::ConstantColorMap*>(maxhost::GetConstantColorDesc()->Create(FALSE));
      solid->SetColor(Color(texture.color[0], texture.color[1], texture.color[2]));
      return solid;
    }
  }
  return nullptr;
}

void ApplySettings(Texmap* map, const std::vector<std::string>& assignments) {
  IParamBlock2* block = MapBlock(map);
  for (const std::string& text : assignments) {
    Assignment a;
    try {
      a = ParseAssignment(text);
    } catch (const ArgumentError& e) {
      throw AppError("--set", e.what());
    }
    SetParameter(block, a.name, a.value);
  }
}

}  // namespace tilvara_app

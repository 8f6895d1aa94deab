#include "render/bitmap_store.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace maxhost {
namespace {

struct Store {
  std::mutex mutex;
  RenderReporter reporter;
  std::map<std::string, std::weak_ptr<FilteredImage>> images;
};

Store& TheStore() {
  static Store store;
  return store;
}

}  // namespace

void SetRenderReporter(RenderReporter reporter) {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  s.reporter = std::move(reporter);
}

void Report(const std::string& line) {
  RenderReporter reporter;
  {
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    reporter = s.reporter;
  }
  if (reporter)
    reporter(line);
  else
    std::fprintf(stderr, "tilvara: warning: %s\n", line.c_str());
}

std::shared_ptr<FilteredImage> AcquireBitmap(const std::string& path, bool reload,
                                             std::string& error) {
  Store& s = TheStore();
  if (!reload) {
    std::lock_guard lock(s.mutex);
    auto it = s.images.find(path);
    if (it != s.images.end())
      if (auto held = it->second.lock()) return held;
  }
  Image image;
  if (!LoadImageFile(path, image, error)) return nullptr;
  auto loaded = std::make_shared<FilteredImage>(std::move(image));
  std::lock_guard lock(s.mutex);
  s.images[path] = loaded;
  return loaded;
}

}  // namespace maxhost

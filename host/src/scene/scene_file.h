// Scene files: every object reachable through references from the given roots, with its
// class, its own data (MtlBase name, parameter block values, list entries and keys) and
// its references.
#pragma once

#include <string>
#include <vector>

#include <ref.h>

namespace maxhost {

struct SaveResult {
  bool ok = false;
  std::string error;  // "SaveScene: ..." when not ok
};

struct LoadResult {
  bool ok = false;
  std::string error;  // "LoadScene: ..." when not ok; nothing was created then
  std::vector<ReferenceTarget*> roots;
};

__attribute__((visibility("default"))) SaveResult SaveScene(
    const std::string& path, const std::vector<ReferenceTarget*>& roots);
__attribute__((visibility("default"))) LoadResult LoadScene(const std::string& path);

// The same, on bytes in memory (fuzzing, tests).
__attribute__((visibility("default"))) SaveResult SaveSceneToBytes(
    const std::vector<ReferenceTarget*>& roots, std::vector<unsigned char>& out);
__attribute__((visibility("default"))) LoadResult LoadSceneFromBytes(const unsigned char* data,
                                                                     size_t size);

}  // namespace maxhost

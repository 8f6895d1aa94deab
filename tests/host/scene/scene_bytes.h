// Reading a saved scene's frame in tests, to change one reference as a hostile file would.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace scenetest {

struct SavedObject {
  uint32_t superClass = 0;
  size_t refsAt = 0;  // offset of the first i32 reference index
  uint32_t refCount = 0;
};

inline uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// The objects of a file written by SaveScene, in index order.
inline std::vector<SavedObject> SavedObjects(const std::vector<unsigned char>& b) {
  std::vector<SavedObject> out;
  const size_t listStart = 10 + 6;  // header, then the object list's own chunk header
  const size_t listEnd = listStart + (U32(b, 12) & 0x7FFFFFFFu);
  for (size_t at = listStart; at + 6 <= listEnd;) {
    const size_t end = at + 6 + (U32(b, at + 2) & 0x7FFFFFFFu);
    SavedObject o;
    for (size_t in = at + 6; in + 6 <= end;) {
      uint16_t id = 0;
      std::memcpy(&id, b.data() + in, 2);
      if (id == 0x1110) o.superClass = U32(b, in + 6);
      if (id == 0x1130) {
        o.refCount = U32(b, in + 6);
        o.refsAt = in + 10;
      }
      in += 6 + (U32(b, in + 2) & 0x7FFFFFFFu);
    }
    out.push_back(o);
    at = end;
  }
  return out;
}

inline void SetRef(std::vector<unsigned char>& b, const SavedObject& o, uint32_t k, int32_t to) {
  std::memcpy(b.data() + o.refsAt + 4 * k, &to, 4);
}

}  // namespace scenetest

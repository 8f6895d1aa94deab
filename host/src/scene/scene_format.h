// The scene file's frame: a magic and a version, then nested chunks (u16 id, u32 length
// with kContainerBit marking a container). The chunk ids are in core/chunk_ids.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace maxhost {

constexpr char kSceneMagic[8] = {'T', 'L', 'V', 'S', 'C', 'E', 'N', 'E'};
constexpr uint16_t kSceneVersion = 1;
constexpr size_t kHeaderSize = sizeof(kSceneMagic) + sizeof(uint16_t);
constexpr uint32_t kContainerBit = 0x80000000u;

}  // namespace maxhost

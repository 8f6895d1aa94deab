// Chunk ids of scene files. Changing any of them breaks every stored scene: add new ids,
// never renumber.
#pragma once

#include <maxtypes.h>

namespace maxhost::chunks {

// Scene file layout.
constexpr USHORT kSceneObjects = 0x1000;  // container of kSceneObject, in index order
constexpr USHORT kSceneObject = 0x1100;   // container: class, data, references
constexpr USHORT kObjectClass = 0x1110;   // u32 super class, u32 class id a, u32 class id b
constexpr USHORT kObjectData = 0x1120;    // container: the object's own Save()
constexpr USHORT kObjectRefs = 0x1130;    // u32 count, then i32 object index per reference
constexpr USHORT kSceneRoots = 0x1200;    // u32 count, then i32 object index per root

// MtlBase data.
constexpr USHORT kMtlBaseName = 0x4000;  // the name, a wide string

// Parameter blocks.
constexpr USHORT kPBlockHeader = 0x2000;  // u32 owner super class, u32 class a, u32 class b,
                                          // i16 block id, i32 version
constexpr USHORT kPBlockParam = 0x2100;   // i16 param id, i32 type, u32 entries, entries

}  // namespace maxhost::chunks

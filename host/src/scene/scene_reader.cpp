#include "scene/scene_reader.h"

#include <cstdio>
#include <cstring>

namespace maxhost {
namespace {

constexpr size_t kMaxDepth = 64;

std::string ChunkText(USHORT id, const char* what, size_t at) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "chunk 0x%04X %s at byte %zu", static_cast<unsigned>(id), what,
                at);
  return buf;
}

}  // namespace

void* SceneReader::GetAddr(int imaker) {
  if (!mObjects || imaker < 0 || imaker >= static_cast<int>(mObjects->size())) return nullptr;
  return (*mObjects)[static_cast<size_t>(imaker)];
}

IOResult SceneReader::OpenChunk() {
  if (!mError.empty()) return IO_ERROR;
  const size_t limit = Limit();
  if (mPos >= limit) return IO_END;
  if (limit - mPos < 6) {
    Fail("chunk header is truncated at byte " + std::to_string(limit));
    return IO_ERROR;
  }
  uint16_t id = 0;
  uint32_t raw = 0;
  std::memcpy(&id, mData + mPos, 2);
  std::memcpy(&raw, mData + mPos + 2, 4);
  const size_t len = raw & ~kContainerBit;
  if (len > limit - mPos - 6) {
    Fail(ChunkText(id, "is truncated", limit));
    return IO_ERROR;
  }
  if (mOpen.size() >= kMaxDepth) {
    Fail(ChunkText(id, "is nested too deeply", mPos));
    return IO_ERROR;
  }
  mOpen.push_back(Open{id, mPos + 6, mPos + 6 + len, (raw & kContainerBit) != 0});
  mPos += 6;
  return IO_OK;
}

IOResult SceneReader::CloseChunk() {
  if (mOpen.empty()) return IO_ERROR;
  mPos = mOpen.back().end;
  mOpen.pop_back();
  return mError.empty() ? IO_OK : IO_ERROR;
}

USHORT SceneReader::PeekNextChunkID() {
  uint16_t id = 0;
  if (Limit() >= mPos + 6) std::memcpy(&id, mData + mPos, 2);
  return id;
}

IOResult SceneReader::Read(void* buf, ULONG nbytes, ULONG* nread) {
  if (nread) *nread = 0;
  if (!mError.empty() || mOpen.empty()) return IO_ERROR;
  const Open& o = mOpen.back();
  if (nbytes > o.end - mPos) {
    Fail(ChunkText(o.id, "is truncated", o.end));
    return IO_ERROR;
  }
  std::memcpy(buf, mData + mPos, nbytes);
  mPos += nbytes;
  if (nread) *nread = nbytes;
  return IO_OK;
}

// Strings are stored as 32-bit code points ending in 0, whatever the size of wchar_t.
IOResult SceneReader::ReadWStringChunk(MSTR& str) {
  if (!mError.empty() || mOpen.empty()) return IO_ERROR;
  const Open& o = mOpen.back();
  if ((o.end - mPos) % 4 != 0) {
    Fail(ChunkText(o.id, "holds a malformed string", mPos));
    return IO_ERROR;
  }
  std::wstring s;
  while (mPos + 4 <= o.end) {
    uint32_t c = 0;
    std::memcpy(&c, mData + mPos, 4);
    mPos += 4;
    if (c == 0) break;
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      Fail(ChunkText(o.id, "holds a malformed string", mPos - 4));
      return IO_ERROR;
    }
    s.push_back(static_cast<wchar_t>(c));
  }
  mPos = o.end;
  str = MSTR(s);
  return IO_OK;
}

IOResult SceneReader::ReadWStringChunk(MCHAR** buf) {
  MSTR s;
  if (ReadWStringChunk(s) != IO_OK) return IO_ERROR;
  mWStrings.emplace_back(s.data());
  if (buf) *buf = mWStrings.back().data();
  return IO_OK;
}

IOResult SceneReader::ReadCStringChunk(char** buf) {
  if (!mError.empty() || mOpen.empty()) return IO_ERROR;
  const Open& o = mOpen.back();
  std::string s(reinterpret_cast<const char*>(mData + mPos), o.end - mPos);
  const size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  mPos = o.end;
  mCStrings.push_back(s);
  if (buf) *buf = mCStrings.back().data();
  return IO_OK;
}

}  // namespace maxhost

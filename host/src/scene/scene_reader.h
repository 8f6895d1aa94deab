// The chunk reader that objects load their data through. It never throws (objects of
// the plug-in call it): the first problem is kept as the load's error and every later
// call fails, so a damaged chunk cannot be read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <iload.h>
#include <ref.h>

#include "scene/scene_format.h"

namespace maxhost {

class SceneReader : public ILoad {
 public:
  SceneReader(const unsigned char* data, size_t size, size_t pos)
      : mData(data), mSize(size), mPos(pos) {}

  // The first failure, without the function name ("chunk 0x2100 is truncated at byte 88").
  const std::string& Error() const { return mError; }
  void Fail(const std::string& what) {
    if (mError.empty()) mError = what;
  }
  void SetObjects(const std::vector<ReferenceTarget*>* objects) { mObjects = objects; }

  // ILoad
  void* GetAddr(int imaker) override;
  IOResult OpenChunk() override;
  USHORT CurChunkID() override { return mOpen.empty() ? 0 : mOpen.back().id; }
  ChunkType CurChunkType() override {
    return mOpen.empty() ? NEW_CHUNK : (mOpen.back().container ? CONTAINER_CHUNK : DATA_CHUNK);
  }
  ULONG CurChunkLength() override {
    return mOpen.empty() ? 0 : static_cast<ULONG>(mOpen.back().end - mOpen.back().start);
  }
  int CurChunkDepth() override { return static_cast<int>(mOpen.size()); }
  IOResult CloseChunk() override;
  USHORT PeekNextChunkID() override;
  IOResult Read(void* buf, ULONG nbytes, ULONG* nread) override;
  IOResult ReadWStringChunk(MSTR& str) override;
  IOResult ReadWStringChunk(MCHAR** buf) override;
  IOResult ReadCStringChunk(char** buf) override;

 private:
  struct Open {
    USHORT id;
    size_t start;
    size_t end;
    bool container;
  };
  size_t Limit() const { return mOpen.empty() ? mSize : mOpen.back().end; }

  const unsigned char* mData;
  size_t mSize;
  size_t mPos;
  std::vector<Open> mOpen;
  std::string mError;
  const std::vector<ReferenceTarget*>* mObjects = nullptr;
  std::vector<std::wstring> mWStrings;
  std::vector<std::string> mCStrings;
};

}  // namespace maxhost

// Reading a scene file: nested chunks of bytes.
#pragma once

#include "maxtypes.h"
#include "strclass.h"

enum ChunkType { NEW_CHUNK = 0, CONTAINER_CHUNK = 1, DATA_CHUNK = 2 };

class CoreExport ILoad : public MaxHeapOperators {
 public:
  virtual ~ILoad() = default;
  // The object written under index imaker, once it has been created.
  virtual void* GetAddr(int imaker) = 0;
  // Opens the next chunk at the current level: IO_OK, IO_END when there is none,
  // IO_ERROR for a malformed file.
  virtual IOResult OpenChunk() = 0;
  virtual USHORT CurChunkID() = 0;
  virtual ChunkType CurChunkType() = 0;
  virtual ULONG CurChunkLength() = 0;
  virtual int CurChunkDepth() = 0;
  virtual IOResult CloseChunk() = 0;
  virtual USHORT PeekNextChunkID() = 0;
  // Reads from the open chunk; asking for more than it holds is IO_ERROR.
  virtual IOResult Read(void* buf, ULONG nbytes, ULONG* nread) = 0;
  virtual IOResult ReadWStringChunk(MCHAR** buf) = 0;
  virtual IOResult ReadWStringChunk(MSTR& str) = 0;
  virtual IOResult ReadCStringChunk(char** buf) = 0;
  virtual void SetObsolete() {}
  virtual USHORT FileSaveVersion() { return 0; }
};

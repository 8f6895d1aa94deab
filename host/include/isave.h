// Writing a scene file: nested chunks of bytes.
#pragma once

#include "maxtypes.h"
#include "strclass.h"

class CoreExport ISave : public MaxHeapOperators {
 public:
  virtual ~ISave() = default;
  // Index under which a referenced object is written in this file, -1 if it is none.
  virtual int GetRefID(void* ptarg) = 0;
  virtual void BeginChunk(USHORT id) = 0;
  virtual void EndChunk() = 0;
  virtual int CurChunkDepth() = 0;
  virtual IOResult Write(const void* buf, ULONG nbytes, ULONG* nwrit) = 0;
  virtual IOResult WriteWString(const MCHAR* str) = 0;
  virtual IOResult WriteCString(const char* str) = 0;
  virtual USHORT SavingVersion() { return 0; }
};

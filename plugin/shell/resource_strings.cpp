#include "shell/tilvara.h"

HINSTANCE hInstance = nullptr;

MCHAR* GetString(int id) {
  // Read on the host's main thread only.
  static MCHAR buffer[512];
  if (!hInstance) return nullptr;
  if (LoadStringW(hInstance, static_cast<UINT>(id), buffer, 512) <= 0) return nullptr;
  return buffer;
}

// Objects handed between the host and a plug-in are allocated and freed through the
// host's heap; deriving from MaxHeapOperators routes new and delete there.
#pragma once

#include <cstddef>
#include <new>

#include "coreexp.h"

class CoreExport MaxHeapOperators {
 public:
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new[](std::size_t size);
  static void* operator new(std::size_t, void* placement) noexcept { return placement; }
  static void operator delete(void* ptr) noexcept;
  static void operator delete(void* ptr, const std::nothrow_t&) noexcept;
  static void operator delete[](void* ptr) noexcept;
  static void operator delete(void*, void*) noexcept {}
};

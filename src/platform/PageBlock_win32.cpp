#include <new>

#include "platform/PageBlock.h"
#include "platform/Win32.h"

namespace qv {

void* MapPageBlock(std::size_t size) {
  // Committed pages are zero and cost nothing until touched; VirtualAlloc aligns to 64 KB.
  void* const p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void UnmapPageBlock(void* data, std::size_t) noexcept { VirtualFree(data, 0, MEM_RELEASE); }

}  // namespace qv

#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "platform/PageBlock.h"

namespace qv {

void* MapPageBlock(std::size_t size) {
  constexpr std::size_t kAlignment = TPageBlock::kAlignment;
  // Map one alignment more than asked and give back what lies before the first 2 MB boundary
  // and after the block: only an aligned range can be backed by huge pages.
  const std::size_t mapped = size + kAlignment;
  void* const raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kAlignment - 1) & ~(std::uintptr_t{kAlignment} - 1);
  const std::size_t head = aligned - start;
  const std::size_t tail = mapped - head - size;
  if (head > 0) munmap(raw, head);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
#ifdef MADV_HUGEPAGE
  // Advice only: where the kernel has no huge pages to give, the block is ordinary pages.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

void UnmapPageBlock(void* data, std::size_t size) noexcept { munmap(data, size); }

}  // namespace qv

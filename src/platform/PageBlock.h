// Memory for the large arenas of a run: the mesh's pools, the crown circles.
//
// A run touches hundreds of megabytes of fresh memory, and on Linux each fresh 4 KB page costs
// a fault into the kernel: a third of a whole-tile run went there, plus the misses of the
// translation cache that come with scattered small pages. A block here is whole pages aligned
// to 2 MB and, on Linux, offered to the kernel for transparent huge pages, which makes one fault
// of 512. On Windows it is committed virtual memory (large pages need a privilege that a
// desktop GIS does not hold).
//
// A block is zero-filled, never moves and goes back to the system whole when it goes. (Keeping
// the blocks of a mesh freed between tiles for the next one was measured: the run was no
// faster, and its peak memory grew by a quarter.)
#pragma once

#include <cstddef>

namespace qv {

class TPageBlock {
 public:
  static constexpr std::size_t kAlignment = std::size_t{2} << 20;

  TPageBlock() = default;
  // At least `bytes` bytes, rounded up to whole pages. Throws std::bad_alloc when the system
  // has no memory or address space left.
  explicit TPageBlock(std::size_t bytes);
  ~TPageBlock();
  TPageBlock(TPageBlock&& other) noexcept;
  TPageBlock& operator=(TPageBlock&& other) noexcept;
  TPageBlock(const TPageBlock&) = delete;
  TPageBlock& operator=(const TPageBlock&) = delete;

  void* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  void Release() noexcept;

  void* data_ = nullptr;
  std::size_t size_ = 0;
};

// The system's side (PageBlock_posix.cpp, PageBlock_win32.cpp): size is a multiple of the page
// size; MapPageBlock throws std::bad_alloc.
void* MapPageBlock(std::size_t size);
void UnmapPageBlock(void* data, std::size_t size) noexcept;

}  // namespace qv

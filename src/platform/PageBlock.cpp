#include "platform/PageBlock.h"

#include <cstdint>
#include <new>
#include <utility>

namespace qv {

namespace {

constexpr std::size_t kPage = 4096;

}  // namespace

TPageBlock::TPageBlock(std::size_t bytes) {
  if (bytes == 0) return;
  if (bytes > SIZE_MAX - 2 * kAlignment) throw std::bad_alloc();
  const std::size_t size = (bytes + kPage - 1) / kPage * kPage;
  data_ = MapPageBlock(size);
  size_ = size;
}

TPageBlock::TPageBlock(TPageBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

TPageBlock& TPageBlock::operator=(TPageBlock&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

TPageBlock::~TPageBlock() { Release(); }

void TPageBlock::Release() noexcept {
  if (data_ != nullptr) UnmapPageBlock(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace qv

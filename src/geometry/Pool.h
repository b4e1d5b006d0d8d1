// TPool: the arena in which a mesh keeps all records of one kind.
//
// Records live in fixed-size chunks that never move, so growth allocates one more chunk and
// never copies the records already made, and a reference into the pool stays valid for the
// pool's life. Records are addressed by their position; position 0 is a zero record that is
// never handed out, so a position of 0 can serve as the nil reference. Nothing is freed before
// the pool goes: the owner turns a record it no longer needs into a tombstone.
//
// The first chunks come from the heap, so the many small meshes (a tile's fresh copy, a test's)
// stay small; once a pool has grown past them, chunks are carved out of 2 MB page blocks
// (TPageBlock), which the system backs with huge pages where it can: a large mesh then costs a
// few hundred page faults instead of tens of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "platform/PageBlock.h"

namespace qv {

template <class T, std::uint32_t MaxRecords = std::numeric_limits<std::uint32_t>::max()>
class TPool {
  static_assert(std::is_trivially_destructible_v<T>, "pool records are dropped, not destroyed");

 public:
  static constexpr unsigned kChunkShift = 12;
  static constexpr std::uint32_t kChunkSize = 1u << kChunkShift;
  static constexpr std::uint32_t kChunkMask = kChunkSize - 1;

  // Appends a value-initialised record and returns its position (never 0).
  std::uint32_t Add() {
    if (size_ == 0) AddChunk();  // position 0 of the first chunk is the nil record
    if (size_ == MaxRecords) throw std::length_error("TPool: too many records");
    if ((size_ & kChunkMask) == 0) AddChunk();
    return size_++;
  }

  T& operator[](std::uint32_t position) {
    return chunks_[position >> kChunkShift][position & kChunkMask];
  }
  const T& operator[](std::uint32_t position) const {
    return chunks_[position >> kChunkShift][position & kChunkMask];
  }

  // Number of records handed out; the valid positions are 1 .. Count().
  std::uint32_t Count() const { return size_ == 0 ? 0 : size_ - 1; }
  bool Contains(std::uint32_t position) const { return position != 0 && position < size_; }

  std::size_t CapacityBytes() const {
    std::size_t bytes = heapChunks_.size() * kChunkBytes + chunks_.capacity() * sizeof(T*);
    for (const TPageBlock& block : blocks_) bytes += block.Size();
    return bytes;
  }

 private:
  static constexpr std::size_t kChunkBytes = kChunkSize * sizeof(T);
  static constexpr std::size_t kHeapChunks = 8;
  // A page block is whole huge pages (anything less is never backed by one), holding as many
  // chunks as fit.
  static constexpr std::size_t kBlockBytes =
      (kChunkBytes + TPageBlock::kAlignment - 1) / TPageBlock::kAlignment * TPageBlock::kAlignment;
  static constexpr std::size_t kChunksPerBlock = kBlockBytes / kChunkBytes;

  void AddChunk() {
    chunks_.reserve(chunks_.size() + 1);  // so the push below cannot fail after memory is taken
    T* chunk = nullptr;
    if (heapChunks_.size() < kHeapChunks) {
      heapChunks_.reserve(kHeapChunks);
      heapChunks_.push_back(std::make_unique<T[]>(kChunkSize));
      chunk = heapChunks_.back().get();
    } else {
      if (blockChunksLeft_ == 0) {
        blocks_.reserve(blocks_.size() + 1);
        blocks_.emplace_back(kBlockBytes);
        blockChunksLeft_ = kChunksPerBlock;
      }
      T* const base = static_cast<T*>(blocks_.back().Data());
      chunk = base + (kChunksPerBlock - blockChunksLeft_) * kChunkSize;
      --blockChunksLeft_;
      std::uninitialized_value_construct_n(chunk, kChunkSize);
    }
    chunks_.push_back(chunk);
    if (size_ == 0) size_ = 1;
  }

  std::vector<T*> chunks_;  // every chunk in position order, wherever it lives
  std::vector<std::unique_ptr<T[]>> heapChunks_;
  std::vector<TPageBlock> blocks_;
  std::size_t blockChunksLeft_ = 0;  // chunks still free in the last block
  std::uint32_t size_ = 0;           // positions in use, the nil record included
};

}  // namespace qv

// TPool: the arena in which a mesh keeps all records of one kind.
//
// Records live in fixed-size chunks that never move, so growth allocates one more chunk and
// never copies the records already made, and a reference into the pool stays valid for the
// pool's life. Records are addressed by their position; position 0 is a zero record that is
// never handed out, so a position of 0 can serve as the nil reference. Nothing is freed before
// the pool goes: the owner turns a record it no longer needs into a tombstone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

namespace qv {

template <class T, std::uint32_t MaxRecords = std::numeric_limits<std::uint32_t>::max()>
class TPool {
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
    return chunks_.size() * kChunkSize * sizeof(T) + chunks_.capacity() * sizeof(chunks_[0]);
  }

 private:
  void AddChunk() {
    chunks_.push_back(std::make_unique<T[]>(kChunkSize));
    if (size_ == 0) size_ = 1;
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  std::uint32_t size_ = 0;  // positions in use, the nil record included
};

}  // namespace qv

#include "geometry/VertexIndex.h"

#include <bit>
#include <cmath>

namespace qv {

namespace {

std::uint64_t CoordinateBits(double d) {
  if (d == 0.0) d = 0.0;  // -0.0 compares equal to 0.0, so it must hash alike
  return std::bit_cast<std::uint64_t>(d);
}

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

std::uint32_t TVertexIndex::HashOfX(double x) {
  constexpr double kLinearRange = 2147483648.0;  // 2^31
  if (std::abs(x) < kLinearRange) {
    // Corners of a line are whole metres plus one fixed fraction: the whole part goes in
    // linearly (neighbours in neighbouring slots), the fraction mixed (other data still spreads).
    auto whole = static_cast<std::int64_t>(x);
    if (static_cast<double>(whole) > x) --whole;  // floor
    const std::uint64_t fraction = CoordinateBits(x - static_cast<double>(whole));
    return static_cast<std::uint32_t>(whole) +
           static_cast<std::uint32_t>((fraction * 0x9e3779b97f4a7c15ULL) >> 32);
  }
  return static_cast<std::uint32_t>(Mix(CoordinateBits(x)));  // huge, infinite or NaN
}

std::uint32_t TVertexIndex::HashOfY(double y) {
  return static_cast<std::uint32_t>(Mix(CoordinateBits(y) + 0x9e3779b97f4a7c15ULL));
}

std::size_t TVertexIndex::Probe(const std::vector<TSlot>& slots, double x, std::uint32_t hash,
                                const TVertexPool& vertices) {
  const std::size_t mask = slots.size() - 1;
  std::size_t i = hash & mask;
  while (slots[i].Id != 0) {
    if (slots[i].Hash == hash && vertices[slots[i].Id].Point.X == x) return i;
    i = (i + 1) & mask;
  }
  return i;
}

void TVertexIndex::Grow(std::vector<TSlot>& slots) {
  std::vector<TSlot> old;
  old.swap(slots);
  slots.assign(old.empty() ? 2 : old.size() * 2, TSlot{});
  const std::size_t mask = slots.size() - 1;
  for (const TSlot& s : old) {
    if (s.Id == 0) continue;
    std::size_t i = s.Hash & mask;
    while (slots[i].Id != 0) i = (i + 1) & mask;
    slots[i] = s;
  }
}

int TVertexIndex::FindLine(double y) const {
  for (const std::size_t recent : recentLine_) {
    if (recent < lines_.size() && lines_[recent].Y == y) return static_cast<int>(recent);
  }
  if (lineTable_.empty()) return -1;
  const std::uint32_t hash = HashOfY(y);
  const std::size_t mask = lineTable_.size() - 1;
  for (std::size_t i = hash & mask; lineTable_[i].Id != 0; i = (i + 1) & mask) {
    if (lineTable_[i].Hash == hash && lines_[lineTable_[i].Id - 1].Y == y) {
      const std::size_t line = lineTable_[i].Id - 1;
      recentLine_[1] = recentLine_[0];
      recentLine_[0] = line;
      return static_cast<int>(line);
    }
  }
  return -1;
}

std::size_t TVertexIndex::LineFor(double y) {
  if (const int found = FindLine(y); found >= 0) return static_cast<std::size_t>(found);
  if ((lines_.size() + 1) * 2 > lineTable_.size()) GrowLineTable();
  const std::uint32_t hash = HashOfY(y);
  const std::size_t mask = lineTable_.size() - 1;
  std::size_t i = hash & mask;
  while (lineTable_[i].Id != 0) i = (i + 1) & mask;
  lines_.push_back(TLine{y, {}, 0});
  lineTable_[i] = {static_cast<std::uint32_t>(lines_.size()), hash};
  recentLine_[1] = recentLine_[0];
  recentLine_[0] = lines_.size() - 1;
  return lines_.size() - 1;
}

void TVertexIndex::GrowLineTable() {
  std::vector<TSlot> old;
  old.swap(lineTable_);
  lineTable_.assign(old.empty() ? 16 : old.size() * 2, TSlot{});
  const std::size_t mask = lineTable_.size() - 1;
  for (const TSlot& s : old) {
    if (s.Id == 0) continue;
    std::size_t i = s.Hash & mask;
    while (lineTable_[i].Id != 0) i = (i + 1) & mask;
    lineTable_[i] = s;
  }
}

TVertexId TVertexIndex::Find(const T2DPoint& p, const TVertexPool& vertices) const {
  const int line = FindLine(p.Y);
  if (line < 0) return TVertexId{};
  const auto& slots = lines_[static_cast<std::size_t>(line)].Slots;
  if (slots.empty()) return TVertexId{};
  return TVertexId(slots[Probe(slots, p.X, HashOfX(p.X), vertices)].Id);
}

void TVertexIndex::Clear() {
  lines_.clear();
  lineTable_.clear();
  recentLine_[0] = recentLine_[1] = 0;
  count_ = 0;
}

void TVertexIndex::Insert(TVertexId id, const T2DPoint& p, const TVertexPool& vertices) {
  bool isNew = false;
  FindOrAdd(p, vertices, [id] { return id; }, isNew);
}

std::size_t TVertexIndex::CapacityBytes() const {
  std::size_t bytes = lines_.capacity() * sizeof(TLine) + lineTable_.capacity() * sizeof(TSlot);
  for (const TLine& line : lines_) bytes += line.Slots.capacity() * sizeof(TSlot);
  return bytes;
}

}  // namespace qv

#include "geometry/VertexIndex.h"

namespace qv {

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

int TVertexIndex::FindLineInTable(double y) const {
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

std::size_t TVertexIndex::AddLine(double y) {
  if ((lines_.size() + 1) * 2 > lineTable_.size()) GrowLineTable();
  const std::uint32_t hash = HashOfY(y);
  const std::size_t mask = lineTable_.size() - 1;
  std::size_t i = hash & mask;
  while (lineTable_[i].Id != 0) i = (i + 1) & mask;
  // Lines of a raster's rows hold about as many corners as the line before, so a new line's
  // table starts at the size the previous one reached instead of doubling its way up.
  const std::size_t start = lines_.empty() ? 0 : lines_.back().Slots.size();
  lines_.push_back(TLine{y, std::vector<TSlot>(start), 0});
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

std::size_t TVertexIndex::CapacityBytes() const {
  std::size_t bytes = lines_.capacity() * sizeof(TLine) + lineTable_.capacity() * sizeof(TSlot);
  for (const TLine& line : lines_) bytes += line.Slots.capacity() * sizeof(TSlot);
  return bytes;
}

}  // namespace qv

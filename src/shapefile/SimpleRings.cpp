#include "shapefile/SimpleRings.h"

#include <algorithm>
#include <bit>

namespace qv {

namespace {

std::uint64_t HashOf(const T2DPoint& p) {
  // +0.0 for -0.0, so that equal coordinates always land in the same slot.
  const auto x = std::bit_cast<std::uint64_t>(p.X + 0.0);
  const auto y = std::bit_cast<std::uint64_t>(p.Y + 0.0);
  std::uint64_t h = x * 0x9E3779B97F4A7C15ull;
  h ^= std::rotl(y, 29) * 0xC2B2AE3D27D4EB4Full;
  return h ^ (h >> 32);
}

}  // namespace

double TwiceSignedArea(std::span<const T2DPoint> ring) {
  if (ring.size() < 3) return 0.0;
  // Relative to the first point, so that national-grid coordinates lose no digits.
  const T2DPoint& o = ring[0];
  double sum = 0.0;
  for (std::size_t i = 1; i + 1 < ring.size(); ++i) {
    sum += (ring[i].X - o.X) * (ring[i + 1].Y - o.Y) - (ring[i + 1].X - o.X) * (ring[i].Y - o.Y);
  }
  return sum;
}

void TRingSplitter::Prepare(std::size_t ringSize) {
  std::size_t wanted = 16;
  while (wanted < 2 * ringSize) wanted *= 2;
  if (slots_.size() < wanted) {
    slots_.assign(wanted, TSlot{});
    stamp_ = 0;
  }
  if (++stamp_ == 0) {  // the stamps wrapped: start afresh
    for (TSlot& s : slots_) s.Stamp = 0;
    stamp_ = 1;
  }
  path_.clear();
}

std::int64_t TRingSplitter::Find(const T2DPoint& p) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = HashOf(p) & mask;; i = (i + 1) & mask) {
    const TSlot& s = slots_[i];
    if (s.Stamp != stamp_) return -1;
    if (s.Point == p) {
      // A point cut off with a loop keeps its slot; it is on the path only if the path still
      // holds it where the slot says.
      const auto at = static_cast<std::size_t>(s.Position);
      return at < path_.size() && path_[at] == p ? s.Position : -1;
    }
  }
}

void TRingSplitter::Remember(const T2DPoint& p, std::int64_t position) {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = HashOf(p) & mask;; i = (i + 1) & mask) {
    TSlot& s = slots_[i];
    if (s.Stamp != stamp_ || s.Point == p) {
      s = TSlot{p, position, stamp_};
      return;
    }
  }
}

void TRingSplitter::AppendLoop(std::span<const T2DPoint> loop, TRecordShape& shape) {
  if (loop.size() < 3) return;
  shape.BeginPart();
  shape.Points.insert(shape.Points.end(), loop.begin(), loop.end());
  shape.Points.push_back(loop.front());
}

void TRingSplitter::Append(std::span<const T2DPoint> ring, TRecordShape& shape, bool shellFirst) {
  const std::size_t firstPart = shape.PartStarts.size();
  Prepare(ring.size());
  for (const T2DPoint& p : ring) {
    const std::int64_t at = Find(p);
    if (at < 0) {
      Remember(p, static_cast<std::int64_t>(path_.size()));
      path_.push_back(p);
      continue;
    }
    // Back at a point already visited: the loop since that visit becomes a part, and the walk
    // goes on from the point as if the loop had never been there.
    const auto from = static_cast<std::size_t>(at);
    AppendLoop(std::span<const T2DPoint>(path_).subspan(from), shape);
    path_.resize(from + 1);
  }
  AppendLoop(path_, shape);

  const std::size_t parts = shape.PartStarts.size() - firstPart;
  if (!shellFirst || parts < 2) return;
  auto partBegin = [&](std::size_t k) { return static_cast<std::size_t>(shape.PartStarts[k]); };
  auto partEnd = [&](std::size_t k) {
    return k + 1 < shape.PartStarts.size() ? partBegin(k + 1) : shape.Points.size();
  };
  std::size_t shell = firstPart;
  for (std::size_t k = firstPart; k < shape.PartStarts.size(); ++k) {
    const std::span<const T2DPoint> loop(shape.Points.data() + partBegin(k),
                                         partEnd(k) - partBegin(k) - 1);
    if (TwiceSignedArea(loop) < 0.0) {
      shell = k;
      break;
    }
  }
  if (shell == firstPart) return;
  // The shell's points go in front of the loops cut before it; the part starts follow.
  const std::size_t shellSize = partEnd(shell) - partBegin(shell);
  std::rotate(shape.Points.begin() + static_cast<std::ptrdiff_t>(partBegin(firstPart)),
              shape.Points.begin() + static_cast<std::ptrdiff_t>(partBegin(shell)),
              shape.Points.begin() + static_cast<std::ptrdiff_t>(partEnd(shell)));
  for (std::size_t k = shell; k > firstPart; --k) {
    shape.PartStarts[k] = shape.PartStarts[k - 1] + static_cast<std::int64_t>(shellSize);
  }
}

}  // namespace qv

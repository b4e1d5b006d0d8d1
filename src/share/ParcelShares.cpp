#include "share/ParcelShares.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>

#include "platform/WorkerThread.h"
#include "share/Clip.h"
#include "share/CoveredArea.h"

namespace qv::share {

namespace {

struct TWork {
  std::size_t Parcel;
  std::size_t Block;
  TBox Box;
};

// The blocks over the parcels' boxes, in a grid whose origin is the moved coordinates' zero.
struct TBlockGrid {
  long Columns = 0;
  long Rows = 0;
  std::vector<std::vector<std::uint32_t>> Pieces;  // per block, the pieces reaching into it

  long Column(double x) const { return Clamped(x, Columns); }
  long Row(double y) const { return Clamped(y, Rows); }
  static long Clamped(double at, long count) {
    return std::clamp(static_cast<long>(std::floor(at / BlockSize)), 0L, count - 1);
  }
  TBox Block(long column, long row) const {
    return {column * BlockSize, row * BlockSize, (column + 1) * BlockSize, (row + 1) * BlockSize};
  }
};

void Move(std::vector<TRingShape>& shapes, T2DPoint by) {
  for (TRingShape& shape : shapes)
    for (T2DPoint& p : shape.Points) p = {p.X - by.X, p.Y - by.Y};
}

T2DPoint Origin(const std::vector<TBox>& parcelBoxes) {
  T2DPoint origin{INFINITY, INFINITY};
  for (const TBox& box : parcelBoxes) {
    origin.X = std::min(origin.X, std::floor(box.XMin));
    origin.Y = std::min(origin.Y, std::floor(box.YMin));
  }
  return std::isfinite(origin.X) ? origin : T2DPoint{};
}

TBlockGrid IndexPieces(const std::vector<TBox>& parcelBoxes, const std::vector<TRingShape>& pieces,
                       std::vector<TBox>& pieceBoxes) {
  TBlockGrid grid;
  for (const TBox& box : parcelBoxes) {
    grid.Columns = std::max(grid.Columns, static_cast<long>(std::ceil(box.XMax / BlockSize)));
    grid.Rows = std::max(grid.Rows, static_cast<long>(std::ceil(box.YMax / BlockSize)));
  }
  grid.Columns = std::max(grid.Columns, 1L);
  grid.Rows = std::max(grid.Rows, 1L);
  grid.Pieces.resize(static_cast<std::size_t>(grid.Columns * grid.Rows));
  pieceBoxes.reserve(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const TBox box = BoxOf(pieces[i]);
    pieceBoxes.push_back(box);
    if (pieces[i].Empty() || box.XMax < 0 || box.YMax < 0 ||
        box.XMin > grid.Columns * BlockSize || box.YMin > grid.Rows * BlockSize)
      continue;
    for (long row = grid.Row(box.YMin); row <= grid.Row(box.YMax); ++row)
      for (long column = grid.Column(box.XMin); column <= grid.Column(box.XMax); ++column)
        grid.Pieces[static_cast<std::size_t>(row * grid.Columns + column)].push_back(
            static_cast<std::uint32_t>(i));
  }
  return grid;
}

std::vector<TWork> Works(const std::vector<TBox>& parcelBoxes, const TBlockGrid& grid) {
  std::vector<TWork> works;
  for (std::size_t i = 0; i < parcelBoxes.size(); ++i) {
    const TBox& p = parcelBoxes[i];
    if (!(p.Area() > 0)) continue;
    for (long row = grid.Row(p.YMin); row <= grid.Row(p.YMax); ++row)
      for (long column = grid.Column(p.XMin); column <= grid.Column(p.XMax); ++column) {
        const TBox block = grid.Block(column, row);
        const TBox box{std::max(p.XMin, block.XMin), std::max(p.YMin, block.YMin),
                       std::min(p.XMax, block.XMax), std::min(p.YMax, block.YMax)};
        if (box.Area() > 0)
          works.push_back({i, static_cast<std::size_t>(row * grid.Columns + column), box});
      }
  }
  return works;
}

}  // namespace

namespace {

double WorkArea(const TWork& work, const std::vector<TRingShape>& parcels,
                const std::vector<TRingShape>& pieces, const std::vector<TBox>& pieceBoxes,
                const TBlockGrid& grid) {
  std::vector<TRingShape> cut;
  for (const std::uint32_t i : grid.Pieces[work.Block])
    if (pieceBoxes[i].Overlaps(work.Box)) {
      TRingShape part = ClipToBox(pieces[i], work.Box);
      if (!part.Empty()) cut.push_back(std::move(part));
    }
  if (cut.empty()) return 0.0;
  return CoveredArea(work.Box, ClipToBox(parcels[work.Parcel], work.Box), std::move(cut));
}

// The works taken in turn by the threads that call Run, each area stored at its work's place.
class TWorkQueue {
 public:
  TWorkQueue(std::size_t count, std::function<double(std::size_t)> area)
      : areas_(count), area_(std::move(area)) {}

  // Takes works until none is left or one failed; progress after each (caller's thread only).
  void Run(const std::function<void(std::size_t, std::size_t)>* progress) noexcept {
    try {
      for (std::size_t i = next_++; i < areas_.size() && !failed_; i = next_++) {
        areas_[i] = area_(i);
        const std::size_t done = ++done_;
        if (progress != nullptr) (*progress)(done, areas_.size());
      }
    } catch (...) {
      // Only the first failure is kept; the other thread stops at its next work.
      if (!failed_.exchange(true)) failure_ = std::current_exception();
    }
  }

  const std::vector<double>& Areas() const {
    if (failure_) std::rethrow_exception(failure_);
    return areas_;
  }

 private:
  std::vector<double> areas_;
  std::function<double(std::size_t)> area_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> failed_{false};
  std::exception_ptr failure_;
};

}  // namespace

std::vector<double> ParcelCoveredAreas(
    std::vector<TRingShape>& parcels, std::vector<TRingShape>& pieces,
    const std::function<void(std::size_t, std::size_t)>& progress) {
  std::vector<TBox> parcelBoxes;
  for (const TRingShape& parcel : parcels) parcelBoxes.push_back(BoxOf(parcel));
  const T2DPoint origin = Origin(parcelBoxes);
  Move(parcels, origin);
  Move(pieces, origin);
  for (TBox& box : parcelBoxes)
    box = {box.XMin - origin.X, box.YMin - origin.Y, box.XMax - origin.X, box.YMax - origin.Y};
  std::vector<TBox> pieceBoxes;
  const TBlockGrid grid = IndexPieces(parcelBoxes, pieces, pieceBoxes);
  const std::vector<TWork> works = Works(parcelBoxes, grid);
  TWorkQueue queue(works.size(), [&](std::size_t i) {
    return WorkArea(works[i], parcels, pieces, pieceBoxes, grid);
  });
  {
    TWorkerThread helper([&] { queue.Run(nullptr); });
    queue.Run(&progress);
  }
  const std::vector<double>& areas = queue.Areas();
  std::vector<double> covered(parcels.size(), 0.0);
  for (std::size_t i = 0; i < works.size(); ++i) covered[works[i].Parcel] += areas[i];
  return covered;
}

}  // namespace qv::share

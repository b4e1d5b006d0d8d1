#include "share/ParcelShares.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "platform/WorkerThread.h"
#include "share/Clip.h"
#include "share/CoveredArea.h"

namespace qv::share {

namespace {

// The blocks over the parcels' boxes, in a grid whose origin is the moved coordinates' zero.
struct TGrid {
  long Columns = 1;
  long Rows = 1;

  long Column(double x) const { return Clamped(x, Columns); }
  long Row(double y) const { return Clamped(y, Rows); }
  static long Clamped(double at, long count) {
    const double block = std::floor(at / BlockSize);
    if (!(block >= 0)) return 0;
    return block >= static_cast<double>(count - 1) ? count - 1 : static_cast<long>(block);
  }
};

struct TWork {
  std::size_t Parcel;
  long Column;
  TBox Box;  // the parcel's box within the block
};

// One row of blocks: for each block the parts of the pieces within it, and their boxes.
struct TBand {
  std::vector<std::vector<TRingShape>> Parts;
  std::vector<std::vector<TBox>> Boxes;

  void Add(std::size_t column, TRingShape part) {
    if (part.Empty()) return;
    Boxes[column].push_back(BoxOf(part));
    Parts[column].push_back(std::move(part));
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

TGrid GridOver(const std::vector<TBox>& parcelBoxes) {
  double columns = 1, rows = 1;
  for (const TBox& box : parcelBoxes) {
    columns = std::max(columns, std::ceil(box.XMax / BlockSize));
    rows = std::max(rows, std::ceil(box.YMax / BlockSize));
  }
  // A band's list of blocks is held whole: parcels 2500 km apart are not one piece of work.
  if (columns > 10000 || rows > 10000)
    throw std::runtime_error("the parcels lie too far apart (more than 2500 km)");
  return {static_cast<long>(columns), static_cast<long>(rows)};
}

std::vector<std::vector<TWork>> WorksByRow(const std::vector<TBox>& parcelBoxes,
                                           const TGrid& grid) {
  std::vector<std::vector<TWork>> rows(static_cast<std::size_t>(grid.Rows));
  for (std::size_t i = 0; i < parcelBoxes.size(); ++i) {
    const TBox& p = parcelBoxes[i];
    if (!(p.Area() > 0)) continue;
    for (long row = grid.Row(p.YMin); row <= grid.Row(p.YMax); ++row)
      for (long column = grid.Column(p.XMin); column <= grid.Column(p.XMax); ++column) {
        const TBox box{std::max(p.XMin, column * BlockSize), std::max(p.YMin, row * BlockSize),
                       std::min(p.XMax, (column + 1) * BlockSize),
                       std::min(p.YMax, (row + 1) * BlockSize)};
        if (box.Area() > 0) rows[static_cast<std::size_t>(row)].push_back({i, column, box});
      }
  }
  return rows;
}

// Cuts a piece into the blocks from first to last, halving the run of blocks each time, so a
// wood that spans the band is cut in time that grows with the logarithm of its width.
void SplitIntoBlocks(TRingShape piece, long first, long last, TBand& band) {
  if (first == last) return band.Add(static_cast<std::size_t>(first), std::move(piece));
  const long middle = first + (last - first + 1) / 2;
  TRingShape right = ClipToHalfPlane(piece, TAxis::X, middle * BlockSize, false);
  SplitIntoBlocks(ClipToHalfPlane(piece, TAxis::X, middle * BlockSize, true), first, middle - 1,
                  band);
  SplitIntoBlocks(std::move(right), middle, last, band);
}

TBand LoadBand(const TPieceSource& source, T2DPoint origin, const TGrid& grid, long row) {
  const TBox local{0, row * BlockSize, grid.Columns * BlockSize, (row + 1) * BlockSize};
  std::vector<TRingShape> pieces = source({local.XMin + origin.X, local.YMin + origin.Y,
                                           local.XMax + origin.X, local.YMax + origin.Y});
  Move(pieces, origin);
  TBand band;
  band.Parts.resize(static_cast<std::size_t>(grid.Columns));
  band.Boxes.resize(band.Parts.size());
  for (TRingShape& piece : pieces) {
    const TBox box = BoxOf(piece);
    if (piece.Empty() || !box.Overlaps(local)) continue;
    const TBox rows{box.XMin, local.YMin, box.XMax, local.YMax};
    SplitIntoBlocks(ClipToBox(piece, box, rows), grid.Column(box.XMin), grid.Column(box.XMax),
                    band);
    piece = {};
  }
  return band;
}

double WorkArea(const TWork& work, const TRingShape& parcel, const TBand& band) {
  const auto column = static_cast<std::size_t>(work.Column);
  std::vector<TRingShape> cut;
  for (std::size_t i = 0; i < band.Parts[column].size(); ++i) {
    const TBox& box = band.Boxes[column][i];
    if (!box.Overlaps(work.Box)) continue;
    TRingShape part = ClipToBox(band.Parts[column][i], box, work.Box);
    if (!part.Empty()) cut.push_back(std::move(part));
  }
  if (cut.empty()) return 0.0;
  return CoveredArea(work.Box, ClipToBox(parcel, work.Box), std::move(cut));
}

// The works of a band taken in turn by the threads that call Run, each area stored at its
// work's place.
class TWorkQueue {
 public:
  TWorkQueue(std::size_t count, std::function<double(std::size_t)> area)
      : areas_(count), area_(std::move(area)) {}

  // Takes works until none is left or one failed; progress(done) after each, from either
  // thread but one call at a time.
  void Run(const std::function<void(std::size_t)>& progress) noexcept {
    try {
      for (std::size_t i = next_++; i < areas_.size() && !failed_; i = next_++) {
        areas_[i] = area_(i);
        TMonitorLock lock(monitor_);
        progress(++done_);
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
  std::size_t done_ = 0;  // under monitor_
  TMonitor monitor_;
  std::atomic<bool> failed_{false};
  std::exception_ptr failure_;
};

}  // namespace

std::vector<double> ParcelCoveredAreas(
    std::vector<TRingShape>& parcels, const TPieceSource& source,
    const std::function<void(std::size_t, std::size_t)>& progress) {
  std::vector<TBox> boxes;
  for (const TRingShape& parcel : parcels) boxes.push_back(BoxOf(parcel));
  const T2DPoint origin = Origin(boxes);
  Move(parcels, origin);
  for (TBox& box : boxes)
    box = {box.XMin - origin.X, box.YMin - origin.Y, box.XMax - origin.X, box.YMax - origin.Y};
  const TGrid grid = GridOver(boxes);
  const auto rows = WorksByRow(boxes, grid);
  std::size_t total = 0, finished = 0;
  for (const auto& works : rows) total += works.size();
  std::vector<double> covered(parcels.size(), 0.0);
  for (long row = 0; row < grid.Rows; ++row) {
    const auto& works = rows[static_cast<std::size_t>(row)];
    if (works.empty()) continue;
    const TBand band = LoadBand(source, origin, grid, row);
    TWorkQueue queue(works.size(), [&](std::size_t i) {
      return WorkArea(works[i], parcels[works[i].Parcel], band);
    });
    {
      const auto report = [&](std::size_t done) { progress(finished + done, total); };
      TWorkerThread helper([&] { queue.Run(report); });
      queue.Run(report);
    }
    const std::vector<double>& areas = queue.Areas();
    for (std::size_t i = 0; i < works.size(); ++i) covered[works[i].Parcel] += areas[i];
    finished += works.size();
  }
  return covered;
}

}  // namespace qv::share

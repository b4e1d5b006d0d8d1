#include "share/CoveredArea.h"

#include <algorithm>

#include "share/SlabSweep.h"

namespace qv::share {

namespace {

constexpr std::size_t SweepEdges = 48;
constexpr int MaxDepth = 48;
constexpr double FillTolerance = 1e-9;

// A shape with what the halving asks of it again and again.
struct TPart {
  TRingShape Shape;
  TBox Box;
  double Area;

  explicit TPart(TRingShape shape)
      : Shape(std::move(shape)), Box(BoxOf(Shape)), Area(AreaOf(Shape)) {}
};

struct TCell {
  TBox Box;
  std::vector<TPart> Parcel;  // none when no part of the parcel is left, else one
  std::vector<TPart> Pieces;
};

struct THalves {
  TCell Below;
  TCell Above;
  TAxis Axis;
  double At;
};

THalves Halve(const TBox& box) {
  THalves h{{box, {}, {}}, {box, {}, {}}, box.Width() >= box.Height() ? TAxis::X : TAxis::Y, 0.0};
  if (h.Axis == TAxis::X) {
    h.At = (box.XMin + box.XMax) / 2;
    h.Below.Box.XMax = h.Above.Box.XMin = h.At;
  } else {
    h.At = (box.YMin + box.YMax) / 2;
    h.Below.Box.YMax = h.Above.Box.YMin = h.At;
  }
  return h;
}

// Hands a part to the halves it reaches into: whole where it lies on one side, cut where it
// crosses the line. A part of no area is left out.
void Share(TPart&& part, THalves& h, std::vector<TPart> TCell::*list) {
  const bool x = h.Axis == TAxis::X;
  const double low = x ? part.Box.XMin : part.Box.YMin;
  const double high = x ? part.Box.XMax : part.Box.YMax;
  if (high <= h.At) {
    (h.Below.*list).push_back(std::move(part));
  } else if (low >= h.At) {
    (h.Above.*list).push_back(std::move(part));
  } else {
    for (const bool below : {true, false}) {
      TPart cut(ClipToHalfPlane(part.Shape, h.Axis, h.At, below));
      if (cut.Area > 0) ((below ? h.Below : h.Above).*list).push_back(std::move(cut));
    }
  }
}

std::size_t EdgeCount(const TCell& cell) {
  std::size_t count = cell.Parcel[0].Shape.Points.size();
  for (const TPart& piece : cell.Pieces) count += piece.Shape.Points.size();
  return count;
}

double Sweep(const TCell& cell) {
  std::vector<TRingShape> pieces;
  pieces.reserve(cell.Pieces.size());
  for (const TPart& piece : cell.Pieces) pieces.push_back(piece.Shape);
  return CoveredAreaBySlabs(cell.Parcel[0].Shape, pieces);
}

double Recurse(TCell cell, int depth) {
  const double full = cell.Box.Area();
  const double tolerance = FillTolerance * full;
  if (cell.Parcel.empty() || cell.Parcel[0].Area <= tolerance) return 0.0;
  std::erase_if(cell.Pieces, [&](const TPart& piece) { return piece.Area <= tolerance; });
  if (cell.Pieces.empty()) return 0.0;
  const double parcelArea = cell.Parcel[0].Area;
  for (const TPart& piece : cell.Pieces)
    if (piece.Area >= full - tolerance) return parcelArea;
  if (cell.Pieces.size() == 1 && parcelArea >= full - tolerance) return cell.Pieces[0].Area;
  if (EdgeCount(cell) <= SweepEdges || depth >= MaxDepth) return Sweep(cell);
  THalves halves = Halve(cell.Box);
  Share(std::move(cell.Parcel[0]), halves, &TCell::Parcel);
  for (TPart& piece : cell.Pieces) Share(std::move(piece), halves, &TCell::Pieces);
  cell = {};
  const double below = Recurse(std::move(halves.Below), depth + 1);
  return below + Recurse(std::move(halves.Above), depth + 1);
}

}  // namespace

double CoveredArea(const TBox& box, TRingShape parcel, std::vector<TRingShape> pieces) {
  TCell cell{box, {}, {}};
  cell.Parcel.emplace_back(std::move(parcel));
  cell.Pieces.reserve(pieces.size());
  for (TRingShape& piece : pieces) cell.Pieces.emplace_back(std::move(piece));
  return Recurse(std::move(cell), 0);
}

}  // namespace qv::share

#include "share/SlabSweep.h"

#include <algorithm>
#include <vector>

namespace qv::share {

namespace {

struct TEdge {
  T2DPoint From;
  T2DPoint To;
  int Owner;  // 0 the parcel, 1 + i the piece i
};

struct TCrossing {
  double Y;
  int Owner;
  int Turn;
};

void AddEdges(const TRingShape& shape, int owner, std::vector<TEdge>& edges) {
  for (std::size_t i = 0; i < shape.RingEnds.size(); ++i) {
    const auto ring = shape.Ring(i);
    for (std::size_t k = 0; k < ring.size(); ++k) {
      const T2DPoint& to = ring[k + 1 < ring.size() ? k + 1 : 0];
      // A vertical edge is never crossed by a slab's middle line: only its x matters, and
      // the edges it joins bring that.
      if (ring[k].X != to.X) edges.push_back({ring[k], to, owner});
    }
  }
}

double YAt(const TEdge& e, double x) {
  return e.From.Y + (x - e.From.X) * (e.To.Y - e.From.Y) / (e.To.X - e.From.X);
}

// The x where two edges cross strictly inside the x range both span, if they do.
void AddCrossing(const TEdge& a, const TEdge& b, std::vector<double>& xs) {
  const double left = std::max(std::min(a.From.X, a.To.X), std::min(b.From.X, b.To.X));
  const double right = std::min(std::max(a.From.X, a.To.X), std::max(b.From.X, b.To.X));
  if (!(left < right)) return;
  const double below = YAt(a, left) - YAt(b, left);
  const double above = YAt(a, right) - YAt(b, right);
  if ((below < 0 && above > 0) || (below > 0 && above < 0))
    xs.push_back(left + (right - left) * below / (below - above));
}

std::vector<double> SlabBounds(const std::vector<TEdge>& edges) {
  std::vector<double> xs;
  for (const TEdge& e : edges) {
    xs.push_back(e.From.X);
    xs.push_back(e.To.X);
  }
  for (std::size_t i = 0; i < edges.size(); ++i)
    for (std::size_t k = i + 1; k < edges.size(); ++k) AddCrossing(edges[i], edges[k], xs);
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  return xs;
}

// The covered length along the vertical line at x.
double CoveredLength(const std::vector<TEdge>& edges, double x, std::vector<TCrossing>& line,
                     std::vector<int>& winding) {
  line.clear();
  for (const TEdge& e : edges)
    if (std::min(e.From.X, e.To.X) < x && x < std::max(e.From.X, e.To.X))
      line.push_back({YAt(e, x), e.Owner, e.From.X < e.To.X ? 1 : -1});
  std::sort(line.begin(), line.end(),
            [](const TCrossing& a, const TCrossing& b) { return a.Y < b.Y; });
  std::fill(winding.begin(), winding.end(), 0);
  int coveringPieces = 0;
  double length = 0.0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    int& w = winding[static_cast<std::size_t>(line[i].Owner)];
    if (line[i].Owner != 0) coveringPieces -= w != 0;
    w += line[i].Turn;
    if (line[i].Owner != 0) coveringPieces += w != 0;
    if (i + 1 < line.size() && winding[0] != 0 && coveringPieces > 0)
      length += line[i + 1].Y - line[i].Y;
  }
  return length;
}

}  // namespace

double CoveredAreaBySlabs(const TRingShape& parcel, std::span<const TRingShape> pieces) {
  std::vector<TEdge> edges;
  AddEdges(parcel, 0, edges);
  for (std::size_t i = 0; i < pieces.size(); ++i)
    AddEdges(pieces[i], static_cast<int>(i) + 1, edges);
  const std::vector<double> xs = SlabBounds(edges);
  std::vector<TCrossing> line;
  std::vector<int> winding(pieces.size() + 1);
  double area = 0.0;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i)
    area += (xs[i + 1] - xs[i]) * CoveredLength(edges, (xs[i] + xs[i + 1]) / 2, line, winding);
  return area;
}

}  // namespace qv::share

// Speed and size of the geometry model.
//
// Times are processor time of the process (std::clock).
//
// 1. One million pixel rectangles built as the row pass builds them (AddPolygon, StartRing on
//    the left side, two InsertPointAfter), row by row, neighbours sharing their corners: time
//    and bytes per rectangle, everything included. Bytes are counted twice: as the capacity of
//    all pools, lists and the vertex index (T2DPolygonMesh::MemoryBytes), and as the growth of
//    the C heap (glibc mallinfo2: in-use heap plus mmapped blocks), which adds allocator
//    overhead.
// 2. Crown circles (36 points each when written) in a T2DPolygons list: bytes per circle from
//    the heap growth.
// 3. The vertex index against one flat hash table, on the same corner lookups.
// 4. ResetIncidentRing on a ring of many edges: merging ring handles against walking the ring.
// 5. The final polygon filter: DeletePolygon from the last index to the first.
//
// Targets: at most 300 bytes per rectangle and 64 bytes per crown circle.
#include <bit>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "geometry/Edgelist.h"
#include "geometry/PolygonMesh.h"
#include "geometry/Polygons.h"
#include "geometry/Pool.h"
#include "geometry/VertexIndex.h"

namespace {

using namespace qv;

constexpr int kRows = 1000;
constexpr int kCols = 1000;
constexpr double kWest = 2600000.0;
constexpr double kNorth = 1200000.0;

// Processor time of this process: the machine may be shared, and wall time would count the
// other processes too.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double Seconds(double since) { return CpuSeconds() - since; }

// Heap in use, mmapped blocks included; -1 where the C library cannot tell.
long long HeapBytes() {
#if defined(__GLIBC__)
  const struct mallinfo2 mi = mallinfo2();
  return static_cast<long long>(mi.uordblks + mi.hblkhd);
#else
  return -1;
#endif
}

void BuildRectangle(T2DPolygonMesh& mesh, int row, int col) {
  const double y = kNorth - row;
  const double xl = kWest + col - 0.5;
  const double xr = xl + 1.0;
  const TPolygonId p = mesh.AddPolygon();
  mesh.StartRing(p, xl, y + 0.5, xl, y - 0.5);
  const TEdgeId bottom = mesh.InsertPointAfter(mesh.FirstEdge(p), xr, y - 0.5);
  mesh.InsertPointAfter(bottom, xr, y + 0.5);
  mesh[p].IsWooded = ((row ^ col) & 1) != 0;
  mesh.SetArea(p, 1.0);
}

void BenchRectangles() {
  const long long heapBefore = HeapBytes();
  auto mesh = std::make_unique<T2DPolygonMesh>();
  const auto start = CpuSeconds();
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) BuildRectangle(*mesh, r, c);
  }
  const double secs = Seconds(start);
  const double n = double{kRows} * kCols;
  const long long heap = HeapBytes() - heapBefore;
  std::printf("rectangles: %d x %d, %d polygons, %d edges, %d vertices\n", kRows, kCols,
              mesh->PolygonCount(), mesh->EdgeCount(), mesh->VertexCount());
  std::printf("  time            %8.1f ns per rectangle\n", secs * 1e9 / n);
  std::printf("  pools+index     %8.1f bytes per rectangle (target <= 300)\n",
              static_cast<double>(mesh->MemoryBytes()) / n);
  if (heap >= 0) std::printf("  heap growth     %8.1f bytes per rectangle\n", heap / n);
  const auto freeStart = CpuSeconds();
  mesh.reset();
  std::printf("  free            %8.1f ns per rectangle\n", Seconds(freeStart) * 1e9 / n);
}

void BenchCircles() {
  constexpr int kCircles = 100000;
  const long long heapBefore = HeapBytes();
  auto circles = std::make_unique<T2DPolygons>();
  const auto start = CpuSeconds();
  for (int i = 0; i < kCircles; ++i) {
    circles->Add({kWest + i % 1000, kNorth - i / 1000.0, 3.0 + (i % 7) * 0.25, 12.5, 36, true});
  }
  const double secs = Seconds(start);
  const long long heap = HeapBytes() - heapBefore;
  std::printf("crown circles: %d of 36 points, kept as centre, radius, height, count\n",
              kCircles);
  std::printf("  time            %8.1f ns per circle\n", secs * 1e9 / kCircles);
  std::printf("  record          %8zu bytes per circle (before chunk rounding)\n",
              sizeof(TCrownCircle));
  if (heap >= 0) {
    std::printf("  heap growth     %8.1f bytes per circle (target <= 64)\n",
                static_cast<double>(heap) / kCircles);
  }
}

// The corners in the order the row pass looks them up: TL, BL (StartRing), BR, TR.
template <class Lookup>
double TimeCornerLookups(Lookup lookup) {
  const auto start = CpuSeconds();
  for (int r = 0; r < kRows; ++r) {
    const double y = kNorth - r;
    for (int c = 0; c < kCols; ++c) {
      const double xl = kWest + c - 0.5;
      lookup(T2DPoint(xl, y + 0.5));
      lookup(T2DPoint(xl, y - 0.5));
      lookup(T2DPoint(xl + 1.0, y - 0.5));
      lookup(T2DPoint(xl + 1.0, y + 0.5));
    }
  }
  return Seconds(start) * 1e9 / (4.0 * kRows * kCols);
}

// One flat table over both coordinates, for comparison with the two-level TVertexIndex.
class TFlatIndex {
 public:
  explicit TFlatIndex(TPool<T2DVertex>& pool) : pool_(pool) {}
  void FindOrAdd(const T2DPoint& p) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::uint32_t h = Hash(p);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    for (; slots_[i].Id != 0; i = (i + 1) & mask) {
      if (slots_[i].Hash == h && pool_[slots_[i].Id].Point == p) return;
    }
    const std::uint32_t id = pool_.Add();
    pool_[id].Point = p;
    slots_[i] = {id, h};
    ++count_;
  }
  std::size_t Bytes() const { return slots_.capacity() * sizeof(TSlot); }
  std::size_t Count() const { return count_; }

 private:
  struct TSlot {
    std::uint32_t Id = 0;
    std::uint32_t Hash = 0;
  };
  static std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    return h ^ (h >> 33);
  }
  static std::uint32_t Hash(const T2DPoint& p) {
    const std::uint64_t h = Mix(std::bit_cast<std::uint64_t>(p.X) ^
                                Mix(std::bit_cast<std::uint64_t>(p.Y) + 0x9e3779b97f4a7c15ULL));
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  }
  void Grow() {
    std::vector<TSlot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, TSlot{});
    const std::size_t mask = slots_.size() - 1;
    for (const TSlot& s : old) {
      if (s.Id == 0) continue;
      std::size_t i = s.Hash & mask;
      while (slots_[i].Id != 0) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }
  TPool<T2DVertex>& pool_;
  std::vector<TSlot> slots_;
  std::size_t count_ = 0;
};

void BenchVertexIndex() {
  std::printf("vertex index: %d corner lookups of %d x %d rectangles\n", 4 * kRows * kCols, kRows,
              kCols);
  {
    TPool<T2DVertex> pool;
    TVertexIndex index;
    const double ns = TimeCornerLookups([&](const T2DPoint& p) {
      bool isNew = false;
      index.FindOrAdd(
          p, pool,
          [&] {
            const std::uint32_t id = pool.Add();
            pool[id].Point = p;
            return TVertexId(id);
          },
          isNew);
    });
    std::printf("  TVertexIndex    %8.1f ns per lookup, %5.1f bytes per vertex\n", ns,
                static_cast<double>(index.CapacityBytes()) / static_cast<double>(index.Count()));
  }
  {
    TPool<T2DVertex> pool;
    TFlatIndex index(pool);
    const double ns = TimeCornerLookups([&](const T2DPoint& p) { index.FindOrAdd(p); });
    std::printf("  one flat table  %8.1f ns per lookup, %5.1f bytes per vertex\n", ns,
                static_cast<double>(index.Bytes()) / static_cast<double>(index.Count()));
  }
}

void BenchResetIncidentRing() {
  constexpr int kEdges = 200000;
  std::printf("ResetIncidentRing: a ring of %d edges moved onto another ring\n", kEdges);
  for (const bool exact : {false, true}) {
    const int kMoves = exact ? 200 : 1000000;
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    const TPolygonId p = mesh.AddPolygon();
    TEdgeId e = mesh.StartRing(p, 0.0, 0.0, 1.0, 0.0);
    for (int i = 2; i <= kEdges - 1; ++i) e = mesh.InsertPointAfter(e, i, (i & 1) * 0.5);
    const TEdgeId first = mesh.FirstEdge(p);
    const auto start = CpuSeconds();
    for (int k = 0; k < kMoves; ++k) {
      const TRingId target = mesh.CreateRing();
      mesh[target].EdgeCount = kEdges;
      mesh.ResetIncidentRing(first, target);
    }
    std::printf("  %-14s  %10.1f ns per move\n", exact ? "edge walk" : "handle merge",
                Seconds(start) * 1e9 / kMoves);
  }
}

void BenchPolygonFilter() {
  T2DPolygonMesh mesh;
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) BuildRectangle(mesh, r, c);
  }
  const auto start = CpuSeconds();
  for (int i = mesh.PolygonCount() - 1; i >= 0; --i) {
    if (!mesh[mesh.Polygon(i)].IsWooded) mesh.DeletePolygon(i);
  }
  mesh.Pack(0.0);
  std::printf("final filter: DeletePolygon of every open polygon, last to first\n");
  std::printf("  %d kept, %8.1f ns per polygon\n", mesh.PolygonCount(),
              Seconds(start) * 1e9 / (double{kRows} * kCols));
}

}  // namespace

int main() {
  BenchRectangles();
  BenchCircles();
  BenchVertexIndex();
  BenchResetIncidentRing();
  BenchPolygonFilter();
  return 0;
}

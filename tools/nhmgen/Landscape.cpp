#include "nhmgen/Landscape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "nhmgen/Random.h"
#include "nhmgen/Vegetation.h"

namespace qv::nhmgen {

namespace {

constexpr double NoDataLattice = 1100.0;
constexpr double NoDataChance = 0.25;
constexpr double MaxBlobRadius = 70.0;

// A few holes in the delivery: rotated ellipses, some lattice cells having one.
struct Blob {
  double X = 0.0;
  double Y = 0.0;
  double Long = 0.0;   // semi-axis along (Ux, Uy)
  double Short = 0.0;  // semi-axis across
  double Ux = 1.0;
  double Uy = 0.0;

  bool Covers(double x, double y) const {
    const double dx = x - X;
    const double dy = y - Y;
    const double a = (dx * Ux + dy * Uy) / Long;
    const double b = (dy * Ux - dx * Uy) / Short;
    return a * a + b * b <= 1.0;
  }
};

bool BlobAt(std::uint64_t seed, std::int64_t i, std::int64_t j, Blob& blob) {
  HashStream draw(Hash(seed, salt::NoDataBlob, i, j));
  if (!draw.Chance(NoDataChance)) {
    return false;
  }
  blob.X = (static_cast<double>(i) + draw.Between(0.1, 0.9)) * NoDataLattice;
  blob.Y = (static_cast<double>(j) + draw.Between(0.1, 0.9)) * NoDataLattice;
  blob.Long = draw.Between(15.0, MaxBlobRadius);
  blob.Short = blob.Long * draw.Between(0.3, 1.0);
  const double ux = draw.Between(-1.0, 1.0);
  const double uy = draw.Between(-1.0, 1.0);
  const double norm = std::sqrt(ux * ux + uy * uy);
  if (norm > 1e-3) {
    blob.Ux = ux / norm;
    blob.Uy = uy / norm;
  }
  return true;
}

void MarkNoData(std::uint64_t seed, const Region& region, std::span<std::int32_t> hundredths) {
  const auto index = [](double v) {
    return static_cast<std::int64_t>(std::floor(v / NoDataLattice));
  };
  const auto iLast = index(static_cast<double>(region.East()) + MaxBlobRadius);
  const auto jLast = index(static_cast<double>(region.North) + MaxBlobRadius);
  for (auto j = index(static_cast<double>(region.South()) - MaxBlobRadius); j <= jLast; ++j) {
    for (auto i = index(static_cast<double>(region.West) - MaxBlobRadius); i <= iLast; ++i) {
      Blob blob;
      if (!BlobAt(seed, i, j, blob)) {
        continue;
      }
      const auto yFirst =
          std::max(static_cast<std::int64_t>(std::ceil(blob.Y - blob.Long)), region.South());
      const auto yEnd =
          std::min(static_cast<std::int64_t>(std::floor(blob.Y + blob.Long)), region.North);
      const auto xFirst =
          std::max(static_cast<std::int64_t>(std::ceil(blob.X - blob.Long)), region.West);
      const auto xEnd =
          std::min(static_cast<std::int64_t>(std::floor(blob.X + blob.Long)), region.East());
      for (auto y = yFirst; y <= yEnd; ++y) {
        const auto rowStart =
            static_cast<std::size_t>(region.North - y) * static_cast<std::size_t>(region.Cols);
        for (auto x = xFirst; x <= xEnd; ++x) {
          if (blob.Covers(static_cast<double>(x), static_cast<double>(y))) {
            hundredths[rowStart + static_cast<std::size_t>(x - region.West)] = NoDataHundredths;
          }
        }
      }
    }
  }
}

// Open ground of a canopy height model is never flat zero: terrain model residue and grass
// leave small heights, mostly near zero, always below 1 m. Crowns get a little roughness.
void CombineWithGround(std::uint64_t seed, const Canopy& canopy,
                       std::span<std::int32_t> hundredths) {
  const Region& region = canopy.Bounds();
  std::size_t k = 0;
  for (int r = 0; r < region.Rows; ++r) {
    const std::uint64_t rowKey = Hash(seed, salt::CellNoise, region.North - r, 0);
    for (int c = 0; c < region.Cols; ++c, ++k) {
      const std::uint64_t h = Mix64(rowKey ^ static_cast<std::uint64_t>(region.West + c));
      const double u = static_cast<double>(h >> 32) * 0x1.0p-32;
      const double roughness = static_cast<double>(h & 0xFFFFFFFFu) * 0x1.0p-32 - 0.5;
      const double ground = 0.95 * u * u * u;
      const auto crown = static_cast<double>(canopy.At(r, c));
      const double height = crown > 0.0 ? std::max(ground, crown + 0.6 * roughness) : ground;
      hundredths[k] = static_cast<std::int32_t>(std::floor(height * 100.0 + 0.5));
    }
  }
}

}  // namespace

void RenderRegion(std::uint64_t seed, const Region& region, std::span<std::int32_t> hundredths) {
  Canopy canopy(region);
  AddTrees(seed, canopy);
  AddShrubs(seed, canopy);
  AddHedges(seed, canopy);
  CombineWithGround(seed, canopy, hundredths);
  MarkNoData(seed, region, hundredths);
}

void RenderInBands(std::uint64_t seed, const Region& region, int bandRows,
                   const BandConsumer& use) {
  std::vector<std::int32_t> band;
  for (int first = 0; first < region.Rows; first += bandRows) {
    Region part = region;
    part.North = region.North - first;
    part.Rows = std::min(bandRows, region.Rows - first);
    band.resize(static_cast<std::size_t>(part.Rows) * static_cast<std::size_t>(part.Cols));
    RenderRegion(seed, part, band);
    use(band, first, part.Rows);
  }
}

}  // namespace qv::nhmgen

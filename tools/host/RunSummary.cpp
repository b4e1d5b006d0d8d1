#include "RunSummary.h"

#include <iomanip>
#include <string_view>

namespace qv::host {

namespace {

constexpr std::int32_t kNoWoodedArea = 1;  // added to the result when _w1 stayed empty
constexpr std::int32_t kNoCrown = 2;       // added when _w2 stayed empty

TLayerFigures LayerFigures(const std::string& path, bool written) {
  TLayerFigures layer{path, written, std::nullopt};
  if (written) layer.Summary = ReadLayerSummary(path, "Surface");
  return layer;
}

void PrintLayer(std::ostream& out, std::string_view label, const TLayerFigures& layer,
                bool area) {
  out << label << ": ";
  if (!layer.Written) {
    out << "none (layer not written)\n";
    return;
  }
  if (!layer.Summary) {
    out << "unknown (layer cannot be read back)\n";
    return;
  }
  out << layer.Summary->Records;
  if (area) {
    const double sum = layer.Summary->FieldSum;
    out << std::fixed << std::setprecision(0) << ", total area " << sum << " m2 ("
        << std::setprecision(2) << sum / 10000.0 << " ha)";
  }
  out << "\n";
}

}  // namespace

TRunFigures CollectRunFigures(std::int32_t result, const TRunReport& report, double seconds) {
  const std::int32_t empty = result - 1;
  return {report.Tiles, report.TilesRead,
          LayerFigures(report.WoodedShapePath, (empty & kNoWoodedArea) == 0),
          LayerFigures(report.CrownShapePath, (empty & kNoCrown) == 0), seconds};
}

void PrintRunSummary(std::ostream& out, const TRunFigures& figures) {
  if (figures.Tiles > 0)
    out << "Tiles read: " << figures.TilesRead << " of " << figures.Tiles << "\n";
  PrintLayer(out, "Wooded polygons", figures.Woods, true);
  PrintLayer(out, "Crown circles", figures.Crowns, false);
  out << "Elapsed time: " << std::fixed << std::setprecision(1) << figures.Seconds << " s\n";
  if (figures.Woods.Written) out << "Wooded-area layer: " << figures.Woods.Path << "\n";
  if (figures.Crowns.Written) out << "Crown-circle layer: " << figures.Crowns.Path << "\n";
}

}  // namespace qv::host

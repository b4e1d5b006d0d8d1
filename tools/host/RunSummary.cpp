#include "RunSummary.h"

#include <iomanip>
#include <string_view>

#include "LayerSummary.h"

namespace qv::host {

namespace {

constexpr std::int32_t kNoWoodedArea = 1;  // added to the result when _w1 stayed empty
constexpr std::int32_t kNoCrown = 2;       // added when _w2 stayed empty

// The layer's line; whether its path is worth showing.
bool PrintLayer(std::ostream& out, std::string_view label, const std::string& layer,
                bool written, bool area) {
  out << label << ": ";
  if (!written) {
    out << "none (layer not written)\n";
    return false;
  }
  const auto summary = ReadLayerSummary(layer, "Surface");
  if (!summary) {
    out << "unknown (layer cannot be read back)\n";
    return true;
  }
  out << summary->Records;
  if (area) {
    out << std::fixed << std::setprecision(0) << ", total area " << summary->FieldSum << " m2 ("
        << std::setprecision(2) << summary->FieldSum / 10000.0 << " ha)";
  }
  out << "\n";
  return true;
}

}  // namespace

void PrintRunSummary(std::ostream& out, std::int32_t result, const TRunReport& report,
                     double seconds) {
  if (result < 1 || result > 4) return;
  const std::int32_t empty = result - 1;
  if (report.Tiles > 0) out << "Tiles read: " << report.TilesRead << " of " << report.Tiles << "\n";
  const bool woods = PrintLayer(out, "Wooded polygons", report.WoodedShapePath,
                                (empty & kNoWoodedArea) == 0, true);
  const bool crowns =
      PrintLayer(out, "Crown circles", report.CrownShapePath, (empty & kNoCrown) == 0, false);
  out << "Elapsed time: " << std::fixed << std::setprecision(1) << seconds << " s\n";
  if (woods) out << "Wooded-area layer: " << report.WoodedShapePath << "\n";
  if (crowns) out << "Crown-circle layer: " << report.CrownShapePath << "\n";
}

}  // namespace qv::host

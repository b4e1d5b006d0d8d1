#include "TileLayout.h"

#include <charconv>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "HostModes.h"
#include "Json.h"
#include "catalogue/MessageCatalogue.h"
#include "dialog/BatchPlatform.h"
#include "dialog/Run.h"

namespace qv::host {

namespace {

// Shortest text that reads back as the same double, never in the locale's format.
std::string Number(double value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) throw std::runtime_error("a coordinate could not be written");
  return std::string(buffer, end);
}

const char* ReasonKey(TMsg reason) {
  switch (reason) {
    case msgExtentMixedFrames:
      return "mixed-frames";
    case msgExtentOutsideGrid:
      return "outside-grid";
    case msgExtentInverted:
      return "inverted";
    default:
      return "too-large";
  }
}

int Refuse(const std::string& text, const char* reason, std::ostream& out, std::ostream& err) {
  err << "quelvaris-host: " << text << "\n";
  out << "{\"error\": " << JsonString(text) << ", \"reason\": \"" << reason << "\"}\n";
  return ExitUsage;
}

// The naming the dialog's Calculate hands to the computation.
TNhmNaming DialogNaming(const TDialogControls& c) {
  const bool ascii = c.rgNhmFiletype.ItemIndex() == NhmAsciiGrid;
  return {"", c.edtNhmPrefix.Text(), c.cmbNhmSeparator.Text, c.edtNhmSuffix.Text(),
          ascii ? c.cmbNhmFileExt.Text : std::string(".hdr")};
}

void PrintTile(TTile& tile, std::int32_t row, std::int32_t column, std::ostream& out) {
  const std::string file = tile.NhmFiletype == NhmFloatGrid ? tile.FltFileName : tile.FileName;
  const auto dot = tile.FileName.rfind('.');
  out << "{\"map\": " << tile.MapNumber << ", \"tile\": " << tile.TileNumber
      << ", \"row\": " << row << ", \"column\": " << column
      << ", \"stem\": " << JsonString(tile.FileName.substr(0, dot)) << ", \"files\": ["
      << JsonString(tile.FileName);
  if (tile.NhmFiletype == NhmFloatGrid) out << ", " << JsonString(file);
  // The edges of the tile's cells: centres lie on whole metres.
  out << "], \"xllcorner\": " << Number(tile.WestX - 0.5)
      << ", \"yllcorner\": " << Number(tile.NorthY - (TTile::TileRowCount - 1) - 0.5)
      << ", \"ncols\": " << TTile::OwnColumns << ", \"nrows\": " << TTile::TileRowCount
      << ", \"cellsize\": 1}";
}

void PrintLayout(TWoodedAreaCalculation& calc, const TNhmNaming& naming, std::uint8_t type,
                 std::ostream& out) {
  TTiles& tiles = calc.Tiles;
  out << "{\"frame\": \"" << FrameName(tiles.Frame) << "\", \"filetype\": \""
      << (type == NhmFloatGrid ? "float" : "ascii") << "\", \"columns\": " << tiles.ColumnCount()
      << ", \"rows\": " << tiles.RowCount() << ", \"tiles\": [";
  for (std::int32_t r = 0; r < tiles.RowCount(); ++r) {
    for (std::int32_t k = 0; k < tiles.ColumnCount(); ++k) {
      TTile& tile = tiles.Get(r, k);
      tile.NhmFiletype = type;
      tile.BuildFileNames(naming);
      out << (r + k > 0 ? ",\n  " : "\n  ");
      PrintTile(tile, r, k, out);
    }
  }
  out << "]}\n";
}

}  // namespace

int PrintTileLayout(const THostCommand& command, std::ostream& out, std::ostream& err) {
  // What the dialog would show on its way (a settings file it cannot read) is not the layout.
  std::ostringstream shown;
  TConsoleOutput console(shown, TProgressStyle::None);
  TBatchPlatform platform(Platform(), TQuestionResult::No, console);
  const ScopedPlatform scope(platform);
  const THostCommand& c = command;
  const auto form = CreateRunForm(c.XMin, c.XMax, c.YMin, c.YMax, c.Path.c_str());
  form->SaveSettingsOnClose = false;
  form->FormActivate();
  // Without a shapefile there is no settings file of the user's: the dialog's own defaults.
  if (c.Path.empty()) form->btnResetDefaultParametersClick();
  for (const TControlEdit& edit : c.Options.Edits) {
    try {
      ApplyControlEdit(*form, edit);
    } catch (const std::invalid_argument& e) {
      return Refuse(e.what(), "edit", out, err);
    }
  }
  TWoodedAreaCalculation& calc = *form->Calculation;
  if (!calc.LayoutReady) {
    const TMsg reason = NoLayoutReason(c.XMin, c.YMax, c.XMax, c.YMin);
    return Refuse(Msg(reason), ReasonKey(reason), out, err);
  }
  const auto type = static_cast<std::uint8_t>(form->Controls.rgNhmFiletype.ItemIndex());
  PrintLayout(calc, DialogNaming(form->Controls), type, out);
  form->Close();
  return ExitDone;
}

}  // namespace qv::host

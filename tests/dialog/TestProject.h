// A project directory as a GIS user has one: the host's shapefile in "shapes", the height
// model beside that directory in "MNA_Laser/MNH", and generated tiles that cover only a small
// window of each tile (the rest reads as no-data), so a whole run takes moments.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "TempDir.h"
#include "dialog/InterfaceUnit.h"
#include "nhmgen/NhmGenerator.h"
#include "platform/Platform.h"

namespace qv::test {

// Map 1091, tile 11 and the window of it that the small runs read.
inline constexpr nhmgen::TileId ProjectTile{1091, 11};
inline constexpr nhmgen::DataWindow ProjectWindow{0, 0, 120, 160};

struct TExtent {
  std::int32_t XMin = 0, XMax = 0, YMin = 0, YMax = 0;
};
// The window's cells as a host passes the extent (whole metres, cell centres).
inline constexpr TExtent Window{672500, 672659, 253881, 254000};
// West of sheet column 0: the extent has no tile layout.
inline constexpr TExtent ExtentWestOfGrid{470000, 471000, 250000, 251000};

// What the host does: hand over the extent and the shapefile, and show the form.
inline void OpenForm(TInterfaceForm& form, const TExtent& e, const std::string& shapefile) {
  form.XMin = e.XMin, form.XMax = e.XMax, form.YMin = e.YMin, form.YMax = e.YMax;
  form.ShapefilePath = shapefile;
  form.LayoutVersion = 3.3;
  form.FormActivate();
}

// What the user does: tab into the field (its text selected) and type.
inline void TypeInto(TInterfaceForm& form, TControlId id, std::string_view text) {
  form.Controls.EnhancedEdit(id)->FocusReceived(false);
  form.Controls.EnhancedEdit(id)->TypeText(text);
}

// What a settings key's control shows: a field's text, the file type's index, the separator
// list's index and text.
inline std::string Shown(const TDialogControls& c, TControlId id) {
  if (const TEnhancedEdit* field = c.EnhancedEdit(id)) return field->Text();
  if (id == TControlId::edtNhmDir) return c.edtNhmDir.Text;
  if (id == TControlId::rgNhmFiletype) return std::to_string(c.rgNhmFiletype.ItemIndex());
  return std::to_string(c.cmbNhmSeparator.ItemIndex) + ":" + c.cmbNhmSeparator.Text;
}
// The eleven settings as shown, in the order of the file.
inline std::string ShownSettings(const TDialogControls& c) {
  using enum TControlId;
  std::string shown;
  for (const TControlId id : {edtMinTreeHeight, edTreeRadiusParam0, edTreeRadiusParam1,
                              edNumCirclePoints, edtMinClearingArea, edtMinWoodedArea,
                              rgNhmFiletype, edtNhmDir, edtNhmPrefix, cmbNhmSeparator, edtNhmSuffix})
    shown += Shown(c, id) + "|";
  return shown;
}
// The defaults; the settings file's directory is "MNA_Laser", the reset button's "MNA_laser".
inline std::string DefaultSettings(const std::string& nhmDir) {
  return "2.00|2.6894|0.1117|36|100|200|0|" + nhmDir + "||0:|_dhm_grid1|";
}

class TTestProject {
 public:
  TTestProject() { std::filesystem::create_directories(Dir() / "shapes"); }

  std::filesystem::path Dir() const { return std::filesystem::path(dir_.Prefix()).parent_path(); }
  // ".shp", "_w1.shp", "_w2.dbf" ...
  std::string Layer(const std::string& suffix = ".shp") const {
    return (Dir() / "shapes" / ("parcels" + suffix)).string();
  }
  std::string Shapefile() const { return Layer(); }
  std::string SettingsFile() const { return (Dir() / "shapes" / "quelvaris.ini").string(); }
  std::string NhmDir() const { return (Dir() / "MNA_Laser" / "MNH").string(); }

  // Tiles from the project tile eastwards, with the default naming ("109111_dhm_grid1.txt").
  void WriteTiles(int cols) const {
    nhmgen::BlockRequest request;
    request.Seed = 1;
    request.FirstTile = ProjectTile;
    request.Cols = cols;
    request.Rows = 1;
    request.Window = ProjectWindow;
    request.OutputDirectory = NhmDir();
    nhmgen::WriteBlock(request);
  }
  // The file of the project tile with the given text.
  void WriteTile(const std::string& text) const {
    std::filesystem::create_directories(NhmDir());
    WriteText(NhmDir() + "/109111_dhm_grid1.txt", text);
  }
  void WriteSettings(const std::string& text) const { WriteText(SettingsFile(), text); }
  // A value of the settings file as the next run reads it.
  std::string Stored(std::string_view section, std::string_view key) const {
    return IniReadValue(SettingsFile(), section, key, "<absent>");
  }

 private:
  TTempDir dir_;
};

}  // namespace qv::test

// A project directory as a GIS user has one: the host's shapefile in "shapes", the height
// model beside that directory in "MNA_Laser/MNH", and generated tiles that cover only a small
// window of each tile (the rest of a tile reads as no-data), so a whole run takes moments.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dialog/InterfaceUnit.h"
#include "nhmgen/NhmGenerator.h"
#include "platform/Platform.h"

namespace qv::test {

// Map 1091, tile 11 and the window of it that the small runs read.
inline constexpr nhmgen::TileId ProjectTile{1091, 11};
inline constexpr nhmgen::DataWindow ProjectWindow{0, 0, 120, 160};

struct TExtent {
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
};

// The cells of the window of a tile, as a host passes the extent (whole metres, cell centres).
inline TExtent WindowExtent(nhmgen::TileId tile, const nhmgen::DataWindow& window) {
  const auto o = nhmgen::OriginOf(tile);
  return {static_cast<std::int32_t>(o.WestX + window.FirstCol),
          static_cast<std::int32_t>(o.WestX + window.FirstCol + window.Cols - 1),
          static_cast<std::int32_t>(o.NorthY - window.FirstRow - window.Rows + 1),
          static_cast<std::int32_t>(o.NorthY - window.FirstRow)};
}

// West of sheet column 0: the extent has no tile layout.
inline constexpr TExtent ExtentWestOfGrid{470000, 471000, 250000, 251000};

// An ASCII tile of size x size cells at the tile's north-west corner, every cell high, each row
// a metre lower than the one north of it: every cell that the row pass classifies has a higher
// neighbour (the first two rows are never classified), so there are woods but no tree top.
inline std::string RampTileText(nhmgen::TileId tile, int size) {
  const auto o = nhmgen::OriginOf(tile);
  std::ostringstream text;
  text << "ncols " << size << "\nnrows " << size << "\nxllcorner " << o.WestX - 0.5
       << "\nyllcorner " << o.NorthY + 0.5 - size << "\ncellsize 1\nnodata_value -9999\n";
  for (int row = 0; row < size; ++row) {
    for (int col = 0; col < size; ++col) text << 60 - row << (col + 1 < size ? " " : "\n");
  }
  return text.str();
}

// What the host does: hand over the extent and the shapefile, and show the form.
inline void OpenForm(TInterfaceForm& form, const TExtent& e, const std::string& shapefile) {
  form.XMin = e.XMin;
  form.XMax = e.XMax;
  form.YMin = e.YMin;
  form.YMax = e.YMax;
  form.ShapefilePath = shapefile;
  form.LayoutVersion = 3.3;
  form.FormActivate();
}

// What the user does: tab into the field (its text selected) and type.
inline void TypeInto(TInterfaceForm& form, TControlId id, std::string_view text) {
  TEnhancedEdit& field = *form.Controls.EnhancedEdit(id);
  field.FocusReceived(false);
  field.TypeText(text);
}

// The eleven settings as their defaults, each in its field's format. The settings file's default
// directory is "MNA_Laser", the reset button's "MNA_laser".
inline void ExpectDefaultSettings(const TDialogControls& c, const std::string& nhmDir) {
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "2.00");
  EXPECT_EQ(c.edTreeRadiusParam0.Text(), "2.6894");
  EXPECT_EQ(c.edTreeRadiusParam1.Text(), "0.1117");
  EXPECT_EQ(c.edNumCirclePoints.Text(), "36");
  EXPECT_EQ(c.edtMinClearingArea.Text(), "100");
  EXPECT_EQ(c.edtMinWoodedArea.Text(), "200");
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), 0);
  EXPECT_EQ(c.edtNhmDir.Text, nhmDir);
  EXPECT_EQ(c.edtNhmPrefix.Text(), "");
  EXPECT_EQ(c.cmbNhmSeparator.ItemIndex, 0);
  EXPECT_EQ(c.cmbNhmSeparator.Text, "");
  EXPECT_EQ(c.edtNhmSuffix.Text(), "_dhm_grid1");
}

class TTestProject {
 public:
  TTestProject() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) c = c == '/' ? '_' : c;  // parameterised tests
    dir_ = std::filesystem::temp_directory_path() /
           ("qv_project_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "shapes");
  }
  ~TTestProject() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TTestProject(const TTestProject&) = delete;
  TTestProject& operator=(const TTestProject&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
  std::string Shapefile() const { return (dir_ / "shapes" / "parcels.shp").string(); }
  // "_w1.shp", "_w2.dbf" ...
  std::string Layer(const std::string& suffix) const {
    return (dir_ / "shapes" / ("parcels" + suffix)).string();
  }
  std::string SettingsFile() const { return (dir_ / "shapes" / "quelvaris.ini").string(); }
  std::string NhmDir() const { return (dir_ / "MNA_Laser" / "MNH").string(); }

  // A block of generated tiles with the default naming ("109111_dhm_grid1.txt").
  void WriteTiles(nhmgen::TileId first, int cols, int rows) const {
    nhmgen::BlockRequest request;
    request.Seed = 1;
    request.FirstTile = first;
    request.Cols = cols;
    request.Rows = rows;
    request.Window = ProjectWindow;
    request.OutputDirectory = NhmDir();
    nhmgen::WriteBlock(request);
  }
  // The file of tile 1091-11 with the given text.
  void WriteTile(const std::string& text) const {
    std::filesystem::create_directories(NhmDir());
    std::ofstream(NhmDir() + "/109111_dhm_grid1.txt", std::ios::binary) << text;
  }

  void WriteSettings(const std::string& text) const {
    std::ofstream(SettingsFile(), std::ios::binary) << text;
  }
  std::string ReadSettings() const {
    std::ifstream in(SettingsFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // A value of the settings file as the next run reads it.
  std::string Stored(std::string_view section, std::string_view key) const {
    return IniReadValue(SettingsFile(), section, key, "<absent>");
  }
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

 private:
  std::filesystem::path dir_;
};

}  // namespace qv::test

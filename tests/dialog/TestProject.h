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

#include "dialog/DialogControls.h"
#include "nhmgen/NhmGenerator.h"
#include "platform/Platform.h"

namespace qv::test {

// Map 1091, tile 11 and the window of it that the small runs read.
inline constexpr nhmgen::TileId ProjectTile{1091, 11};
inline constexpr nhmgen::DataWindow ProjectWindow{0, 0, 120, 160};
inline constexpr std::uint64_t ProjectSeed = 1;

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
    dir_ = std::filesystem::temp_directory_path() /
           ("qv_project_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
            std::to_string(::getpid()));
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
  void WriteTiles(nhmgen::TileId first, int cols, int rows,
                  const nhmgen::DataWindow& window = ProjectWindow,
                  nhmgen::GridFormat format = nhmgen::GridFormat::Ascii) const {
    nhmgen::BlockRequest request;
    request.Seed = ProjectSeed;
    request.FirstTile = first;
    request.Cols = cols;
    request.Rows = rows;
    request.Window = window;
    request.Format = format;
    request.OutputDirectory = NhmDir();
    nhmgen::WriteBlock(request);
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

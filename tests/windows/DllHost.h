// What the dialog tests need to act as the GIS host: quelvaris32.dll loaded by its path and
// its exports called, project directories as a user has them, texts in the ANSI code page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "nhmgen/NhmGenerator.h"
#include "platform/Win32.h"

namespace qv::wintest {

using TQuelvaris = std::int32_t(__stdcall*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                            const char*);

struct TLibrary {
  TQuelvaris quelvaris = nullptr;
};

// quelvaris32.dll from the directory of this program, as the host's binding loads it.
TLibrary LoadQuelvaris();

// A UTF-8 text of the test's source in the ANSI code page that the windows use.
std::string Ansi(std::string_view utf8);

struct TExtent {
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
};

// The cells of the window of a tile that the generated tiles hold (120 x 160 at its north-west
// corner), as a host passes the extent.
TExtent WindowExtent(nhmgen::TileId tile);

// A project directory: the host's shapefile in "shapes", the height model in "MNA_Laser\MNH".
class TProject {
 public:
  TProject(const std::string& root, const std::string& name);
  const std::string& Dir() const { return dir_; }
  std::string Shapefile() const { return dir_ + "\\shapes\\parcels.shp"; }
  std::string Layer(const std::string& suffix) const { return dir_ + "\\shapes\\parcels" + suffix; }
  void WriteTiles(nhmgen::TileId first, int cols) const;
  // Through the Windows INI API, as the library reads and writes it.
  std::string Setting(const char* section, const char* key) const;
  void SetSetting(const char* section, const char* key, const char* value) const;

 private:
  std::string dir_;
};

bool FileExists(const std::string& path);

// Calls the exported quelvaris over the project's window of map 1091, tile 11 (reaching
// extraEast metres further east) on this thread while drive works the parameter dialog from a
// second thread; returns what quelvaris returned.
std::int32_t RunDriven(const TLibrary& library, const TProject& project,
                       const std::function<void(HWND dialog, DWORD uiThread)>& drive,
                       std::int32_t extraEast = 0);

}  // namespace qv::wintest

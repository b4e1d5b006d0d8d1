#include "DllHost.h"

#include <filesystem>
#include <vector>

#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/win32/ControlIds_win32.h"

namespace qv::wintest {

TLibrary LoadQuelvaris() {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string path = std::filesystem::path(exe).parent_path().string() + "\\quelvaris32.dll";
  TLibrary library;
  library.Module = ::LoadLibraryA(path.c_str());
  if (library.Module == nullptr) Abort("cannot load " + path);
  library.quelvaris = reinterpret_cast<TQuelvaris>(
      reinterpret_cast<void*>(::GetProcAddress(library.Module, "quelvaris")));
  library.delete_temp_files = reinterpret_cast<TDeleteTempFiles>(
      reinterpret_cast<void*>(::GetProcAddress(library.Module, "delete_temp_files")));
  if (library.quelvaris == nullptr || library.delete_temp_files == nullptr)
    Abort("the exports are missing from " + path);
  return library;
}

std::string Ansi(std::string_view utf8) {
  const int wide =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), wide);
  const int narrow = ::WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w.data(), wide, out.data(), narrow, nullptr, nullptr);
  return out;
}

TExtent WindowExtent(nhmgen::TileId tile, const nhmgen::DataWindow& window) {
  const auto o = nhmgen::OriginOf(tile);
  return {static_cast<std::int32_t>(o.WestX + window.FirstCol),
          static_cast<std::int32_t>(o.WestX + window.FirstCol + window.Cols - 1),
          static_cast<std::int32_t>(o.NorthY - window.FirstRow - window.Rows + 1),
          static_cast<std::int32_t>(o.NorthY - window.FirstRow)};
}

TProject::TProject(const std::string& root, const std::string& name) : dir_(root + "\\" + name) {
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_ + "\\shapes");
}

void TProject::WriteTiles(nhmgen::TileId first, int cols, const nhmgen::DataWindow& window) const {
  nhmgen::BlockRequest request;
  request.Seed = 1;
  request.FirstTile = first;
  request.Cols = cols;
  request.Rows = 1;
  request.Window = window;
  request.OutputDirectory = NhmDir();
  nhmgen::WriteBlock(request);
}

std::string TProject::Setting(const char* section, const char* key) const {
  char value[2048] = {};
  ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value,
                             SettingsFile().c_str());
  return value;
}

void TProject::SetSetting(const char* section, const char* key, const char* value) const {
  ::WritePrivateProfileStringA(section, key, value, SettingsFile().c_str());
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int32_t RunDriven(const TLibrary& library, const TExtent& extent, const std::string& shapefile,
                       const std::function<void(HWND dialog, DWORD uiThread)>& drive) {
  const DWORD ui = ::GetCurrentThreadId();
  TThread driver([&] {
    HWND dialog = WaitForDialogWith(ui, control_id::btnCalculate);
    drive(dialog, ui);
    // A scenario ends with the dialog closed; one left open would block this program.
    if (!WaitFor([&] { return !::IsWindow(dialog); }))
      Abort("the parameter dialog is still open after the scenario");
  });
  const std::int32_t result =
      library.quelvaris(extent.XMin, extent.XMax, extent.YMin, extent.YMax, shapefile.c_str());
  driver.JoinPumping();
  return result;
}

}  // namespace qv::wintest

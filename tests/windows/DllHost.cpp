#include "DllHost.h"

#include <filesystem>

#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/win32/ControlIds_win32.h"

namespace qv::wintest {

namespace {

constexpr nhmgen::DataWindow kWindow{0, 0, 120, 160};

}  // namespace

TLibrary LoadQuelvaris() {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string path = std::filesystem::path(exe).parent_path().string() + "\\quelvaris32.dll";
  HMODULE module = ::LoadLibraryA(path.c_str());
  if (module == nullptr) Abort("cannot load " + path);
  const TLibrary library{reinterpret_cast<TQuelvaris>(
      reinterpret_cast<void*>(::GetProcAddress(module, "quelvaris")))};
  if (library.quelvaris == nullptr) Abort("the export quelvaris is missing from " + path);
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

TExtent WindowExtent(nhmgen::TileId tile) {
  const auto o = nhmgen::OriginOf(tile);
  return {static_cast<std::int32_t>(o.WestX), static_cast<std::int32_t>(o.WestX + kWindow.Cols - 1),
          static_cast<std::int32_t>(o.NorthY - kWindow.Rows + 1),
          static_cast<std::int32_t>(o.NorthY)};
}

TProject::TProject(const std::string& root, const std::string& name) : dir_(root + "\\" + name) {
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_ + "\\shapes");
}

void TProject::WriteTiles(nhmgen::TileId first, int cols) const {
  nhmgen::BlockRequest request;
  request.Seed = 1;
  request.FirstTile = first;
  request.Cols = cols;
  request.Rows = 1;
  request.Window = kWindow;
  request.OutputDirectory = dir_ + "\\MNA_Laser\\MNH";
  nhmgen::WriteBlock(request);
}

std::string TProject::Setting(const char* section, const char* key) const {
  char value[2048] = {};
  ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value,
                             (dir_ + "\\shapes\\quelvaris.ini").c_str());
  return value;
}

void TProject::SetSetting(const char* section, const char* key, const char* value) const {
  ::WritePrivateProfileStringA(section, key, value, (dir_ + "\\shapes\\quelvaris.ini").c_str());
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int32_t RunDriven(const TLibrary& library, const TProject& project,
                       const std::function<void(HWND dialog, DWORD uiThread)>& drive,
                       std::int32_t extraEast) {
  const DWORD ui = ::GetCurrentThreadId();
  TThread driver([&] {
    HWND dialog = WaitForDialogWith(ui, control_id::btnCalculate);
    drive(dialog, ui);
    // A scenario ends with the dialog closed; one left open would block this program.
    if (!WaitFor([&] { return !::IsWindow(dialog); }))
      Abort("the parameter dialog is still open after the scenario");
  });
  const TExtent e = WindowExtent({1091, 11});
  const std::int32_t result =
      library.quelvaris(e.XMin, e.XMax + extraEast, e.YMin, e.YMax, project.Shapefile().c_str());
  driver.JoinPumping();
  return result;
}

}  // namespace qv::wintest

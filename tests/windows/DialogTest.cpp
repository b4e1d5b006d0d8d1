// The parameter dialog of quelvaris32.dll as the GIS host sees it: its look, keys and focus, the
// boxes and the prompt that it owns, the host's windows disabled while it is open, its refusal to
// close under a running computation, one whole run (its layers the script compares with the Linux
// build's). Its logic is tested without windows (tests/dialog), the exports on Linux.
//   dialog_test de|fr ROOT   with LANG=de_CH or fr_CH, in projects under ROOT
#include <filesystem>
#include <fstream>
#include <string>

#include "WinTest.h"
#include "dialog/win32/ControlIds_win32.h"
#include "nhmgen/NhmGenerator.h"

using namespace qv::wintest;
namespace cid = qv::control_id;

namespace {

using TQuelvaris = std::int32_t(__stdcall*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                            const char*);
// The window of tile 1091-11 that the generated tiles hold: 160 x 120 cells at its north-west.
constexpr qv::nhmgen::DataWindow kWindow{0, 0, 120, 160};
constexpr std::int32_t kXMin = 672500, kXMax = 672659, kYMin = 253881, kYMax = 254000;

HWND hostWindow = nullptr;

// A project as a user has it: the host's shapefile and the settings in "shapes".
std::string NewProject(const std::string& root, const std::string& name) {
  const std::string dir = root + "\\" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir + "\\shapes");
  return dir;
}
std::string Settings(const std::string& project) { return project + "\\shapes\\quelvaris.ini"; }

HWND Item(HWND dlg, int id) { return ::GetDlgItem(dlg, id); }
std::string ItemText(HWND dlg, int id) { return TextOf(Item(dlg, id)); }
void Focus(HWND dlg, int id) {
  Post(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dlg, id)), TRUE);
}

// Closes with Enter the box that dlg owns, after checking its text (in the ANSI code page).
void ConfirmBox(HWND dlg, DWORD ui, const std::string& part) {
  HWND box = WaitForDialog(ui, dlg);
  QV_CHECK(TextOf(Item(box, 0xFFFF)).find(part) != std::string::npos);
  PressKey(ui, VK_RETURN);
  WaitUntilDestroyed(box);
}

// Calls the export on this thread, as the host does, while drive works the dialog.
std::int32_t RunDriven(const std::string& project, std::int32_t xMax, void (*drive)(HWND, DWORD)) {
  // From this program's directory, the first place that LoadLibrary searches.
  static const auto quelvaris = reinterpret_cast<TQuelvaris>(
      reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA("quelvaris32.dll"), "quelvaris")));
  if (quelvaris == nullptr) Abort("quelvaris32.dll or its export quelvaris is missing");
  const DWORD ui = ::GetCurrentThreadId();
  const std::string shapefile = project + "\\shapes\\parcels.shp";
  std::int32_t result = 0;
  Drive(
      [&] {
        HWND dlg = WaitForDialog(ui, nullptr, cid::btnCalculate);
        drive(dlg, ui);
        WaitUntilDestroyed(dlg);
      },
      [&] { result = quelvaris(kXMin, xMax, kYMin, kYMax, shapefile.c_str()); });
  return result;
}

void WindowAndKeys(HWND dlg, DWORD ui) {
  RECT r{};
  ::GetWindowRect(dlg, &r);
  QV_CHECK(r.right - r.left == 480 && r.bottom - r.top == 550 &&
           (r.left + r.right) / 2 == ::GetSystemMetrics(SM_CXSCREEN) / 2);
  QV_CHECK_EQ(TextOf(dlg),
              std::string("Berechnung des Bestockungsanteils f\xFCr Sorvelden (vs. 1.50)"));
  QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::btnCalculate));
  // No default button: the two without the focus are not drawn as one.
  for (const int id : {cid::btnResetDefaultParameters, cid::btnCancel})
    QV_CHECK((::GetWindowLongA(Item(dlg, id), GWL_STYLE) & BS_DEFPUSHBUTTON) == 0);
  QV_CHECK(!IsEnabled(hostWindow));
  // The stored binary file type; an arrow key in its group, a key released in the suffix field.
  QV_CHECK(::IsDlgButtonChecked(dlg, cid::rgNhmFiletypeBinary) &&
           !IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
  Focus(dlg, cid::rgNhmFiletypeBinary);
  PressKey(ui, VK_UP);
  QV_CHECK(::IsDlgButtonChecked(dlg, cid::rgNhmFiletypeAscii) &&
           IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
  Focus(dlg, cid::edtNhmSuffix);
  Type(ui, "_x");
  PressKey(ui, VK_SHIFT);
  QV_CHECK_EQ(ItemText(dlg, cid::lblNhmExample), std::string("Beispiel: 109111_x.txt"));
  // A numeric field keeps Enter and Escape; the refused number gets the focus back.
  Focus(dlg, cid::edtMinTreeHeight);
  Type(ui, "abc");
  PressKey(ui, VK_RETURN);
  PressKey(ui, VK_ESCAPE);
  Post(Item(dlg, cid::btnCalculate), BM_CLICK);
  ConfirmBox(dlg, ui, "Ung\xFCltige Zahl");
  QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::edtMinTreeHeight));
  // Escape on a button closes the dialog.
  Focus(dlg, cid::btnResetDefaultParameters);
  PressKey(ui, VK_ESCAPE);
}

// What Cancel, Escape and the close box send, straight into the dialog's queue while one of the
// run's modal windows is open: the dialog must not close under the running computation.
void TryToCloseWhileBusy(HWND dlg) {
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(cid::btnCancel, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(dlg, cid::btnCancel)));
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  Post(dlg, WM_SYSCOMMAND, SC_CLOSE);
  QV_CHECK(::IsWindow(dlg));
}

// One of the two tiles has no file: its box, then the prompt, both owned by the dialog. Answered
// Yes, the run completes and closes the dialog.
void MissingTileWhileBusy(HWND dlg, DWORD ui) {
  Screenshot(dlg, "dialog-de");
  PressKey(ui, VK_RETURN);  // on Calculate, which has the focus
  ConfirmBox(dlg, ui, "109112_dhm_grid1.txt\" nicht gefunden");
  HWND prompt = WaitForDialog(ui, dlg);
  QV_CHECK(TextOf(prompt) == "Fehlende Dateien" && !IsEnabled(dlg));
  TryToCloseWhileBusy(dlg);
  Screenshot(dlg, "dialog-missing-tiles");
  PressKey(ui, VK_RETURN);
}

// The window in French, with the locale's decimal comma; the close box.
void French(HWND dlg, DWORD) {
  QV_CHECK_EQ(TextOf(dlg),
              std::string("Quelvaris bois\xE9s: Calcul du taux de boisement (vs. 1.50)"));
  QV_CHECK_EQ(ItemText(dlg, cid::edtMinTreeHeight), std::string("2,00"));
  Screenshot(dlg, "dialog-fr");
  Post(dlg, WM_SYSCOMMAND, SC_CLOSE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return std::printf("usage: dialog_test de|fr ROOT\n"), 2;
  CreateSyncWindow();
  hostWindow = ::CreateWindowExA(0, "STATIC", "GIS host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
  if (std::string(argv[1]) == "fr") {
    const std::string project = NewProject(argv[2], "fr");
    QV_CHECK_EQ(RunDriven(project, kXMax, French), -1);
    // Written through the Windows API as the dialog closed.
    char dir[MAX_PATH] = {};
    ::GetPrivateProfileStringA("Files", "NHM directory", "", dir, MAX_PATH,
                               Settings(project).c_str());
    QV_CHECK_EQ(std::string(dir), std::string("MNA_Laser\\MNH"));
    return Summary("dialog_test_fr");
  }
  const std::string keys = NewProject(argv[2], "keys");
  ::WritePrivateProfileStringA("Files", "file type", "1", Settings(keys).c_str());
  QV_CHECK_EQ(RunDriven(keys, kXMax, WindowAndKeys), 0);  // Calculate was pressed
  QV_CHECK(IsEnabled(hostWindow));
  const std::string calc = NewProject(argv[2], "calc");
  qv::nhmgen::BlockRequest tiles;
  tiles.Window = kWindow;
  tiles.OutputDirectory = calc + "\\MNA_Laser\\MNH";
  qv::nhmgen::WriteBlock(tiles);
  const std::int32_t xMax = kXMax + 4375;  // into the next tile, which has no file
  const std::int32_t result = RunDriven(calc, xMax, MissingTileWhileBusy);
  QV_CHECK_EQ(result, 1);
  // The script compares the layers with the Linux build's over this extent.
  std::ofstream(calc + "\\run.txt")
      << kXMin << ' ' << xMax << ' ' << kYMin << ' ' << kYMax << ' ' << result << '\n';
  return Summary("dialog_test");
}

// quelvaris32.dll as the GIS host uses it: loaded by its path, quelvaris called on the main
// thread, and the parameter dialog worked from a second thread as a user works it (keys into the
// focused control, clicks on buttons, answers to the prompt and the message boxes). What only
// the window shows: its look, its keys, its focus, its refusal to close while the run is busy;
// the dialog's logic behind it is tested without windows (tests/dialog).
//
//   dialog_test run ROOT [NAME]    the scenarios (those whose name contains NAME), in
//                                  projects under ROOT (German: LANG=de_CH)
//   dialog_test captions fr ROOT   the window in French (LANG=fr_CH)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DllHost.h"
#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/win32/ControlIds_win32.h"

using namespace qv::wintest;
namespace cid = qv::control_id;

namespace {

constexpr qv::nhmgen::TileId kTile{1091, 11};
HWND hostWindow = nullptr;

HWND Item(HWND dlg, int id) { return ::GetDlgItem(dlg, id); }
std::string ItemText(HWND dlg, int id) { return TextOf(Item(dlg, id)); }
bool Checked(HWND dlg, int id) {
  return ::SendMessageA(Item(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FocusControl(HWND dlg, int id) {
  ::PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dlg, id)), TRUE);
  Settle();
}

// The message box's text (the static control of a system box has the id 0xFFFF).
std::string BoxText(HWND box) { return TextOf(::GetDlgItem(box, 0xFFFF)); }

// Closes with Enter the box of the run that owns dlg, after checking its text.
void ConfirmBox(HWND dlg, DWORD ui, const std::string& part) {
  HWND box = WaitForOwnedDialog(ui, dlg);
  QV_CHECK(BoxText(box).find(Ansi(part)) != std::string::npos);
  PressKeyInFocus(ui, VK_RETURN);
  WaitUntilDestroyed(box);
}

// What a click on Cancel, Escape and the close box send to the dialog, straight into its
// queue while one of the run's modal windows is open: the dialog must not close under the
// running computation.
void TryToCloseWhileBusy(HWND dlg) {
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(cid::btnCancel, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(dlg, cid::btnCancel)));
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ::PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
  Settle();
  QV_CHECK(::IsWindow(dlg));
}

void WindowAndCloseBox(const TLibrary& library, const std::string& root) {
  const TProject project(root, "window");
  const auto result = RunDriven(library, project, [](HWND dlg, DWORD ui) {
    RECT r{};
    ::GetWindowRect(dlg, &r);
    QV_CHECK_EQ(r.right - r.left, 480L);
    QV_CHECK_EQ(r.bottom - r.top, 550L);
    QV_CHECK_EQ((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2L);
    QV_CHECK_EQ(TextOf(dlg), Ansi("Berechnung des Bestockungsanteils für Sorvelden (vs. 1.50)"));
    QV_CHECK_EQ(ItemText(dlg, cid::lblNhmDir), Ansi("Verzeichnis für die NHM-Dateien:"));
    QV_CHECK_EQ(ItemText(dlg, cid::edtMinTreeHeight), std::string("2.00"));
    QV_CHECK_EQ(ItemText(dlg, cid::lblNhmExample), Ansi("Beispiel: 109111_dhm_grid1.txt"));
    QV_CHECK(Checked(dlg, cid::rgNhmFiletypeAscii));
    QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::btnCalculate));
    // No default button: the two without the focus are not drawn as one.
    for (const int id : {cid::btnResetDefaultParameters, cid::btnCancel})
      QV_CHECK((::GetWindowLongA(Item(dlg, id), GWL_STYLE) & BS_DEFPUSHBUTTON) == 0);
    // The host's windows are disabled while the dialog is open.
    QV_CHECK(!IsEnabled(hostWindow));
    Screenshot(dlg, "dialog-de");
    ClickCloseBox(dlg);
  });
  QV_CHECK_EQ(result, -1);
  QV_CHECK(IsEnabled(hostWindow));
  QV_CHECK_EQ(project.Setting("Parameters", "Tree radius parameter 1"), std::string("0.1117"));
  QV_CHECK_EQ(project.Setting("Files", "NHM directory"), std::string("MNA_Laser\\MNH"));
}

// The window's keys: arrows in the file-type group, a key in the suffix field, Enter and Escape
// kept by a numeric field, the focus back in a refused field, Escape on a button.
void KeysAndTheFocus(const TLibrary& library, const std::string& root) {
  const TProject project(root, "keys");
  project.SetSetting("Parameters", "Minimum tree height", "3.5");
  project.SetSetting("Files", "file type", "1");
  project.SetSetting("Files", "NHM separator", "0x1");
  const auto result = RunDriven(library, project, [](HWND dlg, DWORD ui) {
    QV_CHECK_EQ(ItemText(dlg, cid::edtMinTreeHeight), std::string("3.50"));
    QV_CHECK(Checked(dlg, cid::rgNhmFiletypeBinary));
    QV_CHECK(!IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
    QV_CHECK_EQ(ItemText(dlg, cid::lblNhmExample), Ansi("Beispiel: 1091-11_dhm_grid1.flt"));
    FocusControl(dlg, cid::rgNhmFiletypeBinary);
    PressKeyInFocus(ui, VK_UP);
    QV_CHECK(IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
    FocusControl(dlg, cid::edtNhmSuffix);
    TypeInFocus(ui, "_x");
    PressKeyInFocus(ui, VK_SHIFT);
    QV_CHECK_EQ(ItemText(dlg, cid::lblNhmExample), Ansi("Beispiel: 1091-11_x.txt"));
    FocusControl(dlg, cid::edtMinTreeHeight);
    TypeInFocus(ui, "abc");
    PressKeyInFocus(ui, VK_RETURN);
    PressKeyInFocus(ui, VK_ESCAPE);
    QV_CHECK_EQ(ItemText(dlg, cid::edtMinTreeHeight), std::string("abc"));
    ClickButton(Item(dlg, cid::btnCalculate));
    ConfirmBox(dlg, ui, "Ungültige Zahl");
    Settle();
    QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::edtMinTreeHeight));
    FocusControl(dlg, cid::btnResetDefaultParameters);
    PressKeyInFocus(ui, VK_ESCAPE);
  });
  QV_CHECK_EQ(result, 0);  // Calculate was pressed
  QV_CHECK_EQ(project.Setting("Files", "file type"), std::string("0"));
  QV_CHECK_EQ(project.Setting("Files", "NHM suffix"), std::string("_x"));
}

// One of two tiles has no file: the file's box, then the prompt, both owned by the dialog, which
// refuses to close under the running computation. Answered Yes, the run completes and closes
// the dialog; the script compares its layers with the Linux build's.
void MissingTileWhileBusy(const TLibrary& library, const std::string& root) {
  const TProject project(root, "calc");
  project.WriteTiles(kTile, 1);
  constexpr std::int32_t kEast = 4375;  // into the next tile
  const auto result = RunDriven(library, project, [&](HWND dlg, DWORD ui) {
    // Calculate has the focus after the set-up: Enter presses it.
    PressKeyInFocus(ui, VK_RETURN);
    TryToCloseWhileBusy(dlg);
    ConfirmBox(dlg, ui, "109112_dhm_grid1.txt\" nicht gefunden");
    HWND prompt = WaitForOwnedDialog(ui, dlg);
    QV_CHECK_EQ(TextOf(prompt), Ansi("Fehlende Dateien"));
    QV_CHECK(!IsEnabled(dlg));
    TryToCloseWhileBusy(dlg);
    Screenshot(dlg, "dialog-missing-tiles");
    PressKeyInFocus(ui, VK_RETURN);
    WaitUntilDestroyed(dlg);
  }, kEast);
  QV_CHECK_EQ(result, 1);
  for (const char* layer : {"_w1.shp", "_w1.shx", "_w1.dbf", "_w2.shp", "_w2.shx", "_w2.dbf"})
    QV_CHECK(FileExists(project.Layer(layer)));
  // For the comparison with the Linux build: the extent and the result of this run.
  const TExtent e = WindowExtent(kTile);
  std::ofstream(project.Dir() + "\\run.txt") << e.XMin << ' ' << e.XMax + kEast << ' ' << e.YMin
                                               << ' ' << e.YMax << ' ' << result << '\n';
}

// quelvaris-host.exe without batch options: its dialog is the DLL's window.
void HostProgramShowsTheDialog(const TLibrary&, const std::string& root) {
  const TProject project(root, "host");
  const TExtent e = WindowExtent(kTile);
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string commandLine = "\"" + std::filesystem::path(exe).parent_path().string() +
                            "\\quelvaris-host.exe\" " + std::to_string(e.XMin) + " " +
                            std::to_string(e.XMax) + " " + std::to_string(e.YMin) + " " +
                            std::to_string(e.YMax) + " \"" + project.Shapefile() + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    Abort("cannot start " + commandLine);
  TThread driver([&] {
    HWND dlg = WaitForDialogWith(process.dwThreadId, cid::btnCalculate);
    QV_CHECK_EQ(ItemText(dlg, cid::lblShapeName), "Shapefile: " + project.Shapefile());
    ClickButton(Item(dlg, cid::btnCancel));
  });
  driver.JoinPumping();
  QV_CHECK_EQ(::WaitForSingleObject(process.hProcess, kWaitMs), DWORD{WAIT_OBJECT_0});
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  QV_CHECK_EQ(exitCode, DWORD{0});
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

// The window in French: the language and the decimal comma of the locale.
int FrenchCaptions(const TLibrary& library, const std::string& root) {
  const TProject project(root, "captions-fr");
  const auto result = RunDriven(library, project, [](HWND dlg, DWORD) {
    QV_CHECK_EQ(TextOf(dlg), Ansi("Quelvaris boisés: Calcul du taux de boisement (vs. 1.50)"));
    QV_CHECK_EQ(ItemText(dlg, cid::rgNhmFiletypeBinary), Ansi("Binaire (*.flt et *.hdr)"));
    QV_CHECK_EQ(ItemText(dlg, cid::edtMinTreeHeight), std::string("2,00"));
    Screenshot(dlg, "dialog-fr");
    ClickButton(Item(dlg, cid::btnCancel));
  });
  QV_CHECK_EQ(result, -1);
  return Summary("dialog_test_fr");
}

// only: run the scenarios whose name contains it (all when empty).
int Run(const TLibrary& library, const std::string& root, const std::string& only) {
  using TScenario = void (*)(const TLibrary&, const std::string&);
  const std::pair<const char*, TScenario> scenarios[] = {
      {"window, close box", WindowAndCloseBox},
      {"keys and the focus", KeysAndTheFocus},
      {"missing tile while busy", MissingTileWhileBusy},
      {"quelvaris-host.exe shows the dialog", HostProgramShowsTheDialog}};
  for (const auto& [name, scenario] : scenarios) {
    if (std::string(name).find(only) == std::string::npos) continue;
    std::printf("dialog_test: %s\n", name);
    std::fflush(stdout);
    scenario(library, root);
  }
  return Summary("dialog_test");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  CreateSyncWindow();
  hostWindow = CreateHostWindow("GIS host");
  const TLibrary library = LoadQuelvaris();
  if (args.size() >= 2 && args[0] == "run") return Run(library, args[1], args.size() > 2 ? args[2] : "");
  if (args.size() == 3 && args[0] == "captions" && args[1] == "fr") return FrenchCaptions(library, args[2]);
  std::printf("usage: dialog_test run ROOT [NAME] | captions fr ROOT\n");
  return 2;
}

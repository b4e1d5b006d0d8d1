// quelvaris32.dll as the GIS host uses it: loaded by its path, quelvaris called on the main
// thread, and the parameter dialog worked from a second thread as a user works it (keys into the
// focused control, clicks on buttons, answers to the prompt and the message boxes).
//
//   dialog_test run ROOT [NAME]    the scenarios (those whose name contains NAME), in
//                                  projects under ROOT (German: LANG=de_CH)
//   dialog_test captions LANG ROOT the window in the language of the locale (de or fr)
//   dialog_test compare OURS THEIRS  our layers against the Linux build's (shapefile paths
//                                  without extension)
#include "platform/Win32.h"  // before commctrl.h, which needs its types
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DllHost.h"
#include "GuiDriver.h"
#include "LayerCompare.h"
#include "WinTest.h"
#include "dialog/win32/ControlIds_win32.h"

using namespace qv;
using namespace qv::wintest;
namespace cid = qv::control_id;

namespace {

constexpr nhmgen::TileId kTile{1091, 11};
constexpr nhmgen::TileId kEastTile{1091, 12};
constexpr nhmgen::DataWindow kWindow{0, 0, 120, 160};

HWND hostWindow = nullptr;

HWND Item(HWND dlg, int id) { return ::GetDlgItem(dlg, id); }

void FocusControl(HWND dlg, int id) {
  ::PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dlg, id)), TRUE);
  Settle();
}

// The message box's text (the static control of a system box has the id 0xFFFF).
std::string BoxText(HWND box) { return TextOf(::GetDlgItem(box, 0xFFFF)); }

// The simple text of the status bar (read as part 0, which is the simple part then).
std::string StatusText(HWND dlg) {
  char text[512] = {};
  ::SendMessageA(Item(dlg, cid::StatusBar1), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
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

void CheckWindowAndSetUp(HWND dlg, DWORD ui) {
  RECT r{};
  ::GetWindowRect(dlg, &r);
  QV_CHECK_EQ(r.right - r.left, 480L);
  QV_CHECK_EQ(r.bottom - r.top, 550L);
  QV_CHECK_EQ((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2L);
  QV_CHECK_EQ(TextOf(dlg), Ansi("Berechnung des Bestockungsanteils für Sorvelden (vs. 1.50)"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::btnCalculate)), Ansi("Bestockungsanteil berechnen"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::btnCancel)), Ansi("Abbrechen"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::edtMinTreeHeight)), std::string("2.00"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::edTreeRadiusParam0)), std::string("2.6894"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::edtNhmDir)), std::string("MNA_Laser\\MNH"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::cmbNhmFileExt)), std::string(".txt"));
  QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmExample)), Ansi("Beispiel: 109111_dhm_grid1.txt"));
  QV_CHECK_EQ(::SendMessageA(Item(dlg, cid::rgNhmFiletypeAscii), BM_GETCHECK, 0, 0),
              LRESULT{BST_CHECKED});
  QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::btnCalculate));
  // No default button: none of the three is drawn as one.
  for (const int id : {cid::btnResetDefaultParameters, cid::btnCancel})
    QV_CHECK((::GetWindowLongA(Item(dlg, id), GWL_STYLE) & BS_DEFPUSHBUTTON) == 0);
  // The host's windows are disabled while the dialog is open.
  QV_CHECK(!IsEnabled(hostWindow));
}

void CancelAtOnceWritesTheSettings(const TLibrary& library, const std::string& root) {
  const TProject project(root, "cancel");
  const TExtent extent = WindowExtent(kTile, kWindow);
  const auto result = RunDriven(library, extent, project.Shapefile(), [](HWND dlg, DWORD ui) {
    CheckWindowAndSetUp(dlg, ui);
    Screenshot(dlg, "dialog");
    ClickButton(Item(dlg, cid::btnCancel));
  });
  QV_CHECK_EQ(result, -1);
  QV_CHECK(IsEnabled(hostWindow));
  QV_CHECK_EQ(project.Setting("Parameters", "Minimum tree height"), std::string("2"));
  QV_CHECK_EQ(project.Setting("Parameters", "Tree radius parameter 1"), std::string("0.1117"));
  QV_CHECK_EQ(project.Setting("Parameters", "Number of points in circle"), std::string("36"));
  QV_CHECK_EQ(project.Setting("Files", "file type"), std::string("0"));
  QV_CHECK_EQ(project.Setting("Files", "NHM directory"), std::string("MNA_Laser\\MNH"));
  QV_CHECK_EQ(project.Setting("Files", "NHM prefix"), std::string(""));
  QV_CHECK_EQ(project.Setting("Files", "NHM suffix"), std::string("_dhm_grid1"));
}

void StoredSettingsAreShownAndEscapeCloses(const TLibrary& library, const std::string& root) {
  const TProject project(root, "settings");
  project.SetSetting("Parameters", "Minimum tree height", "3.5");
  project.SetSetting("Files", "file type", "1");
  project.SetSetting("Files", "NHM separator", "0x1");
  project.SetSetting("Other", "kept", "yes");
  const auto result =
      RunDriven(library, WindowExtent(kTile, kWindow), project.Shapefile(), [](HWND dlg, DWORD ui) {
        QV_CHECK_EQ(TextOf(Item(dlg, cid::edtMinTreeHeight)), std::string("3.50"));
        QV_CHECK_EQ(::SendMessageA(Item(dlg, cid::rgNhmFiletypeBinary), BM_GETCHECK, 0, 0),
                    LRESULT{BST_CHECKED});
        QV_CHECK(!IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
        QV_CHECK_EQ(TextOf(Item(dlg, cid::cmbNhmFileExt)), std::string(".flt"));
        QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmExample)), Ansi("Beispiel: 1091-11_dhm_grid1.flt"));
        // Choosing ASCII with the arrow keys enables the extension list again.
        FocusControl(dlg, cid::rgNhmFiletypeBinary);
        PressKeyInFocus(ui, VK_UP);
        QV_CHECK(IsEnabled(Item(dlg, cid::cmbNhmFileExt)));
        QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmExample)), Ansi("Beispiel: 1091-11_dhm_grid1.txt"));
        // A key in the suffix field rebuilds the example.
        FocusControl(dlg, cid::edtNhmSuffix);
        TypeInFocus(ui, "_x");
        PressKeyInFocus(ui, VK_SHIFT);
        QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmExample)), Ansi("Beispiel: 1091-11_x.txt"));
        // Escape on a button closes the dialog like Cancel.
        FocusControl(dlg, cid::btnResetDefaultParameters);
        PressKeyInFocus(ui, VK_ESCAPE);
      });
  QV_CHECK_EQ(result, -1);
  QV_CHECK_EQ(project.Setting("Parameters", "Minimum tree height"), std::string("3.5"));
  QV_CHECK_EQ(project.Setting("Files", "file type"), std::string("0"));
  QV_CHECK_EQ(project.Setting("Files", "NHM suffix"), std::string("_x"));
  QV_CHECK_EQ(project.Setting("Other", "kept"), std::string("yes"));
}

void InvalidNumberKeepsTheDialogOpen(const TLibrary& library, const std::string& root) {
  const TProject project(root, "invalid");
  const auto result =
      RunDriven(library, WindowExtent(kTile, kWindow), project.Shapefile(), [](HWND dlg, DWORD ui) {
        FocusControl(dlg, cid::edtMinTreeHeight);
        TypeInFocus(ui, "abc");
        // Enter and Escape belong to the field: nothing is pressed, nothing closes.
        PressKeyInFocus(ui, VK_RETURN);
        PressKeyInFocus(ui, VK_ESCAPE);
        QV_CHECK(::IsWindow(dlg));
        QV_CHECK_EQ(TextOf(Item(dlg, cid::edtMinTreeHeight)), std::string("abc"));
        ClickButton(Item(dlg, cid::btnCalculate));
        HWND box = WaitForOwnedDialog(ui, dlg);
        QV_CHECK_EQ(BoxText(box), Ansi("Ungültige Zahl"));
        Screenshot(box, "invalid-number");
        PressKeyInFocus(ui, VK_RETURN);
        WaitUntilDestroyed(box);
        Settle();
        QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::edtMinTreeHeight));
        ClickButton(Item(dlg, cid::btnCancel));
      });
  QV_CHECK_EQ(result, 0);
}

void CalculationClosesTheDialog(const TLibrary& library, const std::string& root) {
  const TProject project(root, "calc");
  project.WriteTiles(kTile, 1, kWindow);
  const TExtent extent = WindowExtent(kTile, kWindow);
  const auto result = RunDriven(library, extent, project.Shapefile(), [](HWND dlg, DWORD ui) {
    // Calculate has the focus after the set-up: Enter presses it.
    QV_CHECK_EQ(FocusOf(ui), Item(dlg, cid::btnCalculate));
    PressKeyInFocus(ui, VK_RETURN);
    WaitUntilDestroyed(dlg);
  });
  QV_CHECK(result >= 1 && result <= 4);
  for (const char* layer : {"_w1.shp", "_w1.shx", "_w1.dbf", "_w2.shp", "_w2.shx", "_w2.dbf"})
    QV_CHECK(FileExists(project.Layer(layer)));
  // For the comparison with the Linux build: the extent and the result of this run.
  std::ofstream(project.Dir() + "\\run.txt")
      << extent.XMin << ' ' << extent.XMax << ' ' << extent.YMin << ' ' << extent.YMax << ' '
      << result << '\n';
}

// One of two tiles has no file: the prompt, owned by the dialog, while the dialog refuses to
// close under the running computation.
void MissingTiles(const TLibrary& library, const std::string& root, bool answerYes) {
  const TProject project(root, answerYes ? "missing-yes" : "missing-no");
  project.WriteTiles(kTile, 1, kWindow);
  TExtent extent = WindowExtent(kTile, kWindow);
  extent.XMax = static_cast<std::int32_t>(nhmgen::OriginOf(kEastTile).WestX + 10);
  const auto result = RunDriven(library, extent, project.Shapefile(), [&](HWND dlg, DWORD ui) {
    ClickButton(Item(dlg, cid::btnCalculate));
    // First the missing file is named, then the question.
    HWND box = WaitForOwnedDialog(ui, dlg);
    QV_CHECK(BoxText(box).find("109112_dhm_grid1.txt\" nicht gefunden") != std::string::npos);
    TryToCloseWhileBusy(dlg);
    PressKeyInFocus(ui, VK_RETURN);
    WaitUntilDestroyed(box);
    HWND prompt = WaitForOwnedDialog(ui, dlg);
    QV_CHECK_EQ(TextOf(prompt), Ansi("Fehlende Dateien"));
    QV_CHECK(!IsEnabled(dlg));
    TryToCloseWhileBusy(dlg);
    QV_CHECK(::IsWindow(prompt));
    if (answerYes) {
      Screenshot(dlg, "dialog-missing-tiles");
      PressKeyInFocus(ui, VK_RETURN);
      WaitUntilDestroyed(dlg);
    } else {
      PressKeyInFocus(ui, VK_ESCAPE);
      WaitUntilDestroyed(prompt);
      Settle();
      QV_CHECK(::IsWindow(dlg));
      QV_CHECK(IsEnabled(dlg));
      ClickButton(Item(dlg, cid::btnCancel));
    }
  });
  if (answerYes) {
    QV_CHECK(result >= 1 && result <= 4);
  } else {
    QV_CHECK_EQ(result, 0);
  }
}

// A tile with 2 m cells: the run's message box, with Cancel pressed behind it.
void MessageBoxOfTheRun(const TLibrary& library, const std::string& root) {
  const TProject project(root, "coarse");
  const TExtent extent = WindowExtent(kTile, kWindow);
  std::filesystem::create_directories(project.NhmDir());
  std::ofstream(project.NhmDir() + "\\109111_dhm_grid1.txt")
      << "ncols 4\nnrows 4\nxllcorner " << extent.XMin << "\nyllcorner " << extent.YMin
      << "\ncellsize 2\nNODATA_value -9999\n"
      << "1 1 1 1\n1 1 1 1\n1 1 1 1\n1 1 1 1\n";
  const auto result = RunDriven(library, extent, project.Shapefile(), [](HWND dlg, DWORD ui) {
    ClickButton(Item(dlg, cid::btnCalculate));
    HWND box = WaitForOwnedDialog(ui, dlg);
    QV_CHECK(BoxText(box).find(Ansi("Die Auflösung des Gitters muss 1 m sein.")) !=
             std::string::npos);
    TryToCloseWhileBusy(dlg);
    QV_CHECK(::IsWindow(box));
    // This box and whatever the failed run shows after it, each closed with Enter.
    while (box != nullptr) {
      PressKeyInFocus(ui, VK_RETURN);
      WaitUntilDestroyed(box);
      box = FindOwnedDialog(ui, dlg, 2000);
    }
    QV_CHECK(::IsWindow(dlg));
    ClickButton(Item(dlg, cid::btnCancel));
  });
  QV_CHECK_EQ(result, 0);
}

// No tile file at all: no question, every tile reads as no-data, nothing is wooded, and the
// layers are not written. The status bar shows the run's progress while the run's message boxes are
// open.
void NoTileFiles(const TLibrary& library, const std::string& root) {
  const TProject project(root, "no-tiles");
  const auto result =
      RunDriven(library, WindowExtent(kTile, kWindow), project.Shapefile(), [](HWND dlg, DWORD ui) {
        ClickButton(Item(dlg, cid::btnCalculate));
        HWND box = WaitForOwnedDialog(ui, dlg);
        QV_CHECK(BoxText(box).find("109111_dhm_grid1.txt\" nicht gefunden") != std::string::npos);
        PressKeyInFocus(ui, VK_RETURN);
        WaitUntilDestroyed(box);
        box = WaitForOwnedDialog(ui, dlg);
        int boxes = 0;
        while (box != nullptr) {
          ++boxes;
          QV_CHECK_EQ(BoxText(box), Ansi("Keine Polygone: Das Shapefile wird nicht geschrieben."));
          QV_CHECK_EQ(StatusText(dlg), Ansi("Shapefiles schreiben..."));
          PressKeyInFocus(ui, VK_RETURN);
          WaitUntilDestroyed(box);
          box = ::IsWindow(dlg) ? FindOwnedDialog(ui, dlg, 2000) : nullptr;
        }
        QV_CHECK_EQ(boxes, 2);  // one for each layer
        WaitUntilDestroyed(dlg);
      });
  QV_CHECK_EQ(result, 4);
}

void DeleteTempFiles(const TLibrary& library, const std::string& root) {
  const TProject project(root, "temp");
  const std::string base = project.Dir() + "\\shapes\\parcels";
  for (const char* layer : {"_comb", "_merg"})
    for (const char* ext : {".shp", ".dbf", ".shx", ".sbx", ".sbn"})
      std::ofstream(base + layer + ext) << "x";
  std::ofstream(base + "_w1.shp") << "x";
  QV_CHECK_EQ(library.delete_temp_files((base + ".shp").c_str()), 10);
  QV_CHECK_EQ(library.delete_temp_files((base + ".shp").c_str()), 0);
  QV_CHECK(FileExists(base + "_w1.shp"));
  QV_CHECK_EQ(library.delete_temp_files(nullptr), 0);
}

// quelvaris-host.exe without batch options: its dialog is the DLL's window.
void HostProgramShowsTheDialog(const TLibrary&, const std::string& root) {
  const TProject project(root, "host");
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string host =
      std::filesystem::path(exe).parent_path().string() + "\\quelvaris-host.exe";
  const TExtent e = WindowExtent(kTile, kWindow);
  std::string commandLine = "\"" + host + "\" " + std::to_string(e.XMin) + " " +
                            std::to_string(e.XMax) + " " + std::to_string(e.YMin) + " " +
                            std::to_string(e.YMax) + " \"" + project.Shapefile() + "\"";
  const std::string outputPath = project.Dir() + "\\output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
    Abort("cannot start " + host);
  ::CloseHandle(output);
  TThread driver([&] {
    HWND dlg = WaitForDialogWith(process.dwThreadId, cid::btnCalculate);
    QV_CHECK_EQ(TextOf(Item(dlg, cid::lblShapeName)), "Shapefile: " + project.Shapefile());
    ClickButton(Item(dlg, cid::btnCancel));
  });
  driver.JoinPumping();
  QV_CHECK_EQ(::WaitForSingleObject(process.hProcess, kWaitMs), DWORD{WAIT_OBJECT_0});
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::ifstream in(outputPath);
  std::string line;
  std::getline(in, line);
  QV_CHECK_EQ(line, std::string("quelvaris returned -1"));
}

HWND CreateHostWindow() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ::DefWindowProcA;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "QvDialogTestHost";
  ::RegisterClassA(&cls);
  HWND host = ::CreateWindowExA(0, cls.lpszClassName, "GIS host", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, cls.hInstance, nullptr);
  ::ShowWindow(host, SW_SHOW);
  return host;
}

// only: run the scenarios whose name contains it (all when empty).
int Run(const std::string& root, const std::string& only) {
  const TLibrary library = LoadQuelvaris();
  const auto scenario = [&](const char* name, void (*fn)(const TLibrary&, const std::string&)) {
    if (std::string(name).find(only) == std::string::npos) return;
    std::printf("dialog_test: %s\n", name);
    std::fflush(stdout);
    fn(library, root);
  };
  scenario("Cancel at once", CancelAtOnceWritesTheSettings);
  scenario("stored settings, Escape", StoredSettingsAreShownAndEscapeCloses);
  scenario("invalid number", InvalidNumberKeepsTheDialogOpen);
  scenario("calculation", CalculationClosesTheDialog);
  scenario("missing tiles, Yes",
           [](const TLibrary& l, const std::string& r) { MissingTiles(l, r, true); });
  scenario("missing tiles, No",
           [](const TLibrary& l, const std::string& r) { MissingTiles(l, r, false); });
  scenario("message box of the run", MessageBoxOfTheRun);
  scenario("no tile files", NoTileFiles);
  scenario("delete_temp_files", DeleteTempFiles);
  scenario("quelvaris-host.exe shows the dialog", HostProgramShowsTheDialog);
  return Summary("dialog_test");
}

int Captions(const std::string& language, const std::string& root) {
  const TLibrary library = LoadQuelvaris();
  const TProject project(root, "captions-" + language);
  const bool french = language == "fr";
  const auto result =
      RunDriven(library, WindowExtent(kTile, kWindow), project.Shapefile(), [&](HWND dlg, DWORD) {
        if (french) {
          QV_CHECK_EQ(TextOf(dlg),
                      Ansi("Quelvaris boisés: Calcul du taux de boisement (vs. 1.50)"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::btnCancel)), Ansi("Annuler"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmDir)), Ansi("Répertoire des fichiers MNH:"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::rgNhmFiletypeBinary)),
                      Ansi("Binaire (*.flt et *.hdr)"));
          // The locale's decimal separator.
          QV_CHECK_EQ(TextOf(Item(dlg, cid::edtMinTreeHeight)), std::string("2,00"));
        } else {
          QV_CHECK_EQ(TextOf(dlg),
                      Ansi("Berechnung des Bestockungsanteils für Sorvelden (vs. 1.50)"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::btnCancel)), Ansi("Abbrechen"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::lblNhmDir)), Ansi("Verzeichnis für die NHM-Dateien:"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::rgNhmFiletypeBinary)), Ansi("Binär (*.flt und *.hdr)"));
          QV_CHECK_EQ(TextOf(Item(dlg, cid::edtMinTreeHeight)), std::string("2.00"));
        }
        Screenshot(dlg, "dialog-" + language);
        // The close box closes like Cancel.
        ClickCloseBox(dlg);
      });
  QV_CHECK_EQ(result, -1);
  QV_CHECK(FileExists(project.SettingsFile()));
  return Summary(("dialog_test_" + language).c_str());
}

int Compare(const std::string& ours, const std::string& theirs) {
  // The wooded areas come from the raster alone; the crown circles from sin and cos.
  const std::string woods = CompareShapefileSets(ours + "_w1", theirs + "_w1", 0);
  QV_CHECK_EQ(woods, std::string());
  const std::string crowns = CompareShapefileSets(ours + "_w2", theirs + "_w2", 4);
  QV_CHECK_EQ(crowns, std::string());
  return Summary("layer_compare");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "compare") return Compare(args[1], args[2]);
  CreateSyncWindow();
  hostWindow = CreateHostWindow();
  if (args.size() >= 2 && args[0] == "run") return Run(args[1], args.size() > 2 ? args[2] : "");
  if (args.size() == 3 && args[0] == "captions") return Captions(args[1], args[2]);
  std::printf("usage: dialog_test run ROOT | captions de|fr ROOT | compare OURS THEIRS\n");
  return 2;
}

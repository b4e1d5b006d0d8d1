#include <dlfcn.h>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "dialog/TestProject.h"
#include "geometry/Polygons.h"
#include "platform/FileFaults.h"
#include "shapefile/CrownRecords.h"
#include "shapefile/LayerSet.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct TProgramResult {
  int Exit = -1;  // -1: did not exit normally
  std::string Out, Err;
};

// Runs a program as a shell user would, in directory cwd; the locale comes from `lang` alone,
// so the environment of the test run does not decide the language.
TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd, const std::string& lang = "C.UTF-8") {
  const test::TTempDir outputs;
  const auto quoted = [](const std::string& text) {
    std::string q = "'";
    for (const char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  std::string command = "cd " + quoted(cwd) + " && env -u LC_ALL -u LC_MESSAGES -u LC_NUMERIC "
                        "-u LANGUAGE LANG=" + lang + " " + quoted(program);
  for (const auto& arg : args) command += " " + quoted(arg);
  const int status = std::system((command + " >" + outputs.File("out") + " 2>" + outputs.File("err")).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(outputs.File("out")),
          test::ReadFile(outputs.File("err"))};
}

// Polygon records of a layer as an independent reader (shapelib) sees them.
int PolygonCount(const std::string& path) {
  SHPHandle shp = SHPOpen(path.c_str(), "rb");
  int records = -1, type = 0;
  if (shp != nullptr) SHPGetInfo(shp, &records, &type, nullptr, nullptr), SHPClose(shp);
  return type == SHPT_POLYGON ? records : -1;
}

TEST(Exports, theLibraryExportsTwoFunctionsThatComputeAndCleanUp) {
  const auto nm = RunProgram("/usr/bin/nm", {"-D", "--defined-only", QV_LIBRARY_PATH}, "/");
  ASSERT_EQ(nm.Exit, 0) << nm.Err;
  std::set<std::string> names;
  std::istringstream lines(nm.Out);
  for (std::string address, kind, name; lines >> address >> kind >> name; names.insert(name))
    EXPECT_EQ(kind, "T") << name;
  EXPECT_EQ(names, (std::set<std::string>{"delete_temp_files", "quelvaris"}));

  void* library = ::dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << ::dlerror();
  const auto quelvaris = reinterpret_cast<std::int32_t (*)(std::int32_t, std::int32_t,
      std::int32_t, std::int32_t, const char*)>(::dlsym(library, "quelvaris"));
  const auto deleteTempFiles =
      reinterpret_cast<std::int32_t (*)(const char*)>(::dlsym(library, "delete_temp_files"));
  ASSERT_TRUE(quelvaris != nullptr && deleteTempFiles != nullptr);

  // Two tiles side by side, each file holding only a window of its tile.
  test::TTestProject project;
  project.WriteTiles(2);
  test::TExtent e = test::Window;
  e.XMax += 4375;
  EXPECT_EQ(quelvaris(e.XMin, e.XMax, e.YMin, e.YMax, project.Shapefile().c_str()), 1);
  EXPECT_GT(PolygonCount(project.Layer("_w1.shp")), 0);
  EXPECT_GT(PolygonCount(project.Layer("_w2.shp")), PolygonCount(project.Layer("_w1.shp")));
  EXPECT_NE(test::ReadFile(project.SettingsFile()).find("[Files]"), std::string::npos);

  const fs::path previous = fs::current_path();
  fs::current_path(project.Dir() / "shapes");
  for (const char* name : {"parcels_comb.shp", "parcels_merg.sbx", "_comb.dbf"})
    test::WriteText(name, "x");
  EXPECT_EQ(deleteTempFiles("parcels.shp"), 2);
  EXPECT_EQ(deleteTempFiles("parcels.shp"), 0);
  EXPECT_TRUE(fs::exists("parcels_w1.shp"));
  EXPECT_EQ(deleteTempFiles(nullptr), 1);  // the empty path
  fs::current_path(previous);
  ::dlclose(library);
}

class Host : public ::testing::Test {
 protected:
  // The extent of the project's window and its shapefile after the options.
  TProgramResult Run(std::vector<std::string> args, const std::string& lang = "C.UTF-8") {
    const auto e = test::Window;
    for (const std::int32_t v : {e.XMin, e.XMax, e.YMin, e.YMax}) args.push_back(std::to_string(v));
    args.push_back(project.Shapefile());
    return Call(args, lang);
  }
  TProgramResult Call(const std::vector<std::string>& args, const std::string& lang = "C.UTF-8") {
    return RunProgram(QV_HOST_PATH, args, project.Dir().string(), lang);
  }

  test::TTestProject project;
};

TEST_F(Host, mistakesEndWithTwoAndOneLineNamingThemBeforeAnythingRuns) {
  const auto with = [](std::vector<std::string> args) {
    for (const char* arg : {"1", "2", "3", "4", "a.shp"}) args.push_back(arg);
    return args;
  };
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{}, "expected XMIN XMAX YMIN YMAX SHAPEFILE"},
      {{"1", "2", "3", "4"}, "expected XMIN XMAX YMIN YMAX SHAPEFILE, got 4 arguments"},
      {{"-", "2", "3", "4", "a.shp"}, "XMIN must be a whole number"},  // "-" is no option
      {{"1", "2", "3", "4", ""}, "SHAPEFILE is empty"},
      {with({"--frobnicate"}), "unknown option --frobnicate"},
      {with({"--set", "edtMinTreeHeight"}), "--set takes NAME=TEXT"},
      {{"1", "2", "3", "4", "a.shp", "--set"}, "--set needs a value"},
      {with({"--set", "btnCalculate=1"}), "btnCalculate is a button"},
      {with({"--set", "rgNhmFiletype=5"}), "(0 ASCII, 1 binary)"},
      {with({"--answer", "maybe"}), "--answer takes yes or no"},
      {{"--delete-temp-files"}, "--delete-temp-files takes exactly one PATH"},
      {{"demo", "a", "b"}, "demo takes at most one DIR"}};
  for (const auto& [args, problem] : wrong) {
    const auto r = Call(args);
    EXPECT_EQ(r.Exit, 2) << problem;
    EXPECT_TRUE(r.Err.starts_with("quelvaris-host: ")) << r.Err;
    EXPECT_NE(r.Err.find(problem), std::string::npos) << r.Err;
    EXPECT_TRUE(r.Err.ends_with(" (try --help)\n") && r.Err.find('\n') + 1 == r.Err.size()) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  // A value the dialog would refuse, in the locale's number format (fr_FR: a decimal comma).
  project.WriteTiles(1);
  const auto r = Run({"--set", "edtMinTreeHeight=2.5"}, "fr_FR.UTF-8");
  EXPECT_EQ(r.Exit, 2);
  EXPECT_EQ(r.Err, "quelvaris-host: Hauteur minimum du bois\xC3\xA9: Valeur num\xC3\xA9rique non valide "
                   "(sup\xC3\xA9rieur \xC3\xA0 0)\n");
  EXPECT_EQ(r.Out, "");
  EXPECT_FALSE(fs::exists(project.SettingsFile()));
  EXPECT_FALSE(fs::exists(project.Layer("_w1.shp")));
  EXPECT_NE(Call({"--help"}).Out.find("demo [DIR]"), std::string::npos);
}

TEST_F(Host, runsReportWhatTheyDid) {
  // A relative path is taken from the working directory; a negative coordinate is no option;
  // numbers are typed in the locale's format (fr_FR: a decimal comma, in the file too).
  auto r = Call({"--set", "edtMinTreeHeight=2,5", "--cancel", "--", "-5", "-1", "-9", "-2",
                 "shapes/../shapes/parcels.shp"}, "fr_FR.UTF-8");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "quelvaris returned -1\n");
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2,5");

  // A stored value that Calculate refuses is named; the run returns 0.
  project.WriteSettings("[Parameters]\nNumber of points in circle=1000\n");
  r = Run({}, "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_NE(r.Err.find("\nOrdre des polygones approximant les cercles: Valeur num\xC3\xA9rique non "
                       "valide (3 \xC3\xA0 360)\n"), std::string::npos) << r.Err;
  EXPECT_EQ(r.Out, "quelvaris returned 0\n");

  project.WriteSettings("");
  project.WriteTiles(1);
  r = Run({"--answer", "no"}, "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_TRUE(r.Err.ends_with(
      "\nTuile 1 ligne 0, 0%\nEcrire les shapefiles..\nTraitement du MNH termin\xC3\xA9\n")) << r.Err;
  int woods = 0, area = 0, crowns = 0;
  double hectares = 0, seconds = -1;
  EXPECT_EQ(std::sscanf(r.Out.c_str(), "Tiles read: 1 of 1\nWooded polygons: %d, total area %d m2 (%lf "
                        "ha)\nCrown circles: %d\nElapsed time: %lf s\n", &woods, &area, &hectares,
                        &crowns, &seconds), 5) << r.Out;
  EXPECT_TRUE(woods > 0 && crowns > 0 && area > 0 && std::abs(hectares - area / 10000.0) < 0.006 &&
              seconds >= 0) << r.Out;
  EXPECT_TRUE(r.Out.ends_with(" s\nWooded-area layer: " + project.Layer("_w1.shp") + "\nCrown-circle "
                              "layer: " + project.Layer("_w2.shp") + "\nquelvaris returned 1\n")) << r.Out;

  // Without a tree that high there is no layer, and the summary says so.
  r = Run({"--set", "edtMinTreeHeight=100"});
  EXPECT_NE(r.Out.find("\nCrown circles: none (layer not written)\nElapsed"), std::string::npos);
  EXPECT_TRUE(r.Out.ends_with(" s\nquelvaris returned 4\n")) << r.Out;

  r = Call({"--delete-temp-files", (project.Dir() / "shapes" / "parcels.shp").string()});
  EXPECT_EQ(r.Out, "delete_temp_files returned 0\n");
}

// The events of a real run, one JSON object a line. The shapefile's folder has a name that must
// be escaped, bytes that are no UTF-8 (a stray byte, a surrogate: U+FFFD for each byte) and the
// last character there is.
TEST_F(Host, eventsTellTheRunToProgramsInJsonWithIdentifiersAndNumbers) {
  project.WriteTiles(1);
  const std::string folder = "we\"ird\xff\t\xF4\x8F\xBF\xBF\xED\xA0\x80";
  fs::create_directories(project.Dir() / folder);
  const std::string shapefile = (project.Dir() / folder / "p.shp").string();
  const std::string stray = "\xEF\xBF\xBD";
  const std::string json = project.Dir().string() + "/we\\\"ird" + stray + "\\t\xF4\x8F\xBF\xBF" +
                           stray + stray + stray;
  const auto e = test::Window;
  auto r = Call({"--events", "--", std::to_string(e.XMin), std::to_string(e.XMax + 4375),
                 std::to_string(e.YMin), std::to_string(e.YMax), shapefile});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  std::vector<std::string> lines;
  std::istringstream stream(r.Out);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  ASSERT_GT(lines.size(), 8u) << r.Out;
  EXPECT_EQ(lines[2], "{\"event\":\"info\",\"text\":\"Shapefile: " + json + "/p.shp\"}");
  const std::string missing = project.NhmDir() + "/109112_dhm_grid1.txt";
  const std::string expected[] = {
      "{\"event\":\"message\",\"id\":\"msgFileNotFound\",\"kind\":\"message\",\"text\":\"Datei "
      "\\\"" + missing + "\\\" nicht gefunden\",\"args\":[\"" + missing + "\"]}",
      "{\"event\":\"prompt\",\"title\":\"Fehlende Dateien\",\"id\":\"msgMissingFilesPrompt\",\"kind\":"
      "\"message\",\"text\":\"Nur 1 von 2 NHM Dateien vorhanden.\\rF\xC3\xBCr fehlende Kacheln "
      "\\\"Dummy\\\"-Dateien verwenden?\",\"args\":[1,2],\"answer\":\"yes\"}",
      "{\"event\":\"progress\",\"tile\":1,\"row\":0,\"percent\":0,\"text\":\"Kachel 1 Zeile 0, 0%\"}",
      "{\"event\":\"progress\",\"tile\":2,\"row\":0,\"percent\":0,\"text\":\"Kachel 2 Zeile 0, 0%\"}",
      "{\"event\":\"status\",\"text\":\"Shapefiles schreiben...\"}",
      "{\"event\":\"summary\",\"tiles\":2,\"tilesRead\":1,\"woodedLayer\":\"" + json + "/p_w1.shp\","};
  auto at = lines.begin();
  for (const std::string& event : expected) {
    at = std::find_if(at, lines.end(), [&](const std::string& l) { return l.starts_with(event); });
    EXPECT_NE(at, lines.end()) << event << "\nnot in order in\n" << r.Out;
  }
  EXPECT_EQ(lines.back(), "{\"event\":\"result\",\"status\":1}");

  // A refused command line is an event too, and so is a number the dialog refuses.
  r = Call({"--events", "--answer", "may\\be", "1", "2", "3", "4", "a.shp"});
  EXPECT_EQ(r.Out, "{\"event\":\"usage\",\"text\":\"--answer takes yes or no, not \\\"may\\\\be\\\"\"}\n");
  r = Run({"--events", "--set", "edNumCirclePoints=2"});
  EXPECT_EQ(r.Out, "{\"event\":\"usage\",\"text\":\"Kreise als Polygone vom Grad: Ung\xC3\xBCltige Zahl "
                   "(3 bis 360)\"}\n");
  r = Call({"--catalogue"});
  EXPECT_NE(r.Out.find("\n\"msgFileNotFound\":{\"en\":\"File not found: \\\"%s\\\"\",\"fr\":\"Le "
                       "fichier \\\"%s\\\" n'existe pas\",\"de\":\"Datei \\\"%s\\\" nicht gefunden\"},\n"),
            std::string::npos) << r.Out;
}

// The eight files of the project's layer pair, or of the layer with suffix alone.
std::vector<std::string> LayerFiles(const test::TTestProject& project,
                                    std::vector<std::string> suffixes = {"_w1", "_w2"}) {
  std::vector<std::string> files;
  for (const std::string& layer : suffixes)
    for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
      files.push_back(test::ReadFile(project.Layer(layer + ext)));
  return files;
}

// Another pair written over the project's layers in a process killed at the swap's third
// rename: some files of the pair are new, the others old.
void KillSwapMidway(const test::TTestProject& project) {
  const pid_t child = ::fork();
  if (child == 0) {
    T2DPolygons circles;
    circles.Add({672520, 253990, 4, 10, 36, true});
    const TCrownRecords records(circles);
    const TLayerToSave layers[] = {{records, project.Layer("_w1.shp")},
                                   {records, project.Layer("_w2.shp")}};
    int renames = 0;
    const TScopedFileFaults kill([&](TFileStep step, const std::string&) {
      if (step == TFileStep::Rename && ++renames == 3) ::_exit(99);
      return true;
    });
    SaveLayers(layers);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 99);
}

TEST_F(Host, everyEntryFirstRollsBackASwapKilledMidwayAndDeliveryIsOneSwap) {
  project.WriteTiles(1);
  ASSERT_EQ(Run({}).Exit, 0);
  const auto written = LayerFiles(project);
  const std::vector<std::vector<std::string>> entries = {
      {"--delete-temp-files", project.Shapefile()},
      {"--cancel", "1", "2", "3", "4", project.Shapefile()}};
  for (const auto& entry : entries) {
    KillSwapMidway(project);
    ASSERT_NE(LayerFiles(project), written);
    EXPECT_EQ(Call(entry).Exit, 0) << entry[0];
    EXPECT_EQ(LayerFiles(project), written) << entry[0];
  }
  // The woods delivered over the crowns, whose spatial index goes with them; the source's parts
  // go once they are in. A source that is not whole changes nothing.
  test::WriteText(project.Layer("_w2.sbn"), "index");
  auto r = Call({"--deliver", project.Layer("_w1.shp"), project.Layer("_w2.shp")});
  EXPECT_EQ(r.Out, "delivered " + project.Layer("_w2.shp") + "\n");
  EXPECT_EQ(LayerFiles(project, {"_w2"}), std::vector(written.begin(), written.begin() + 4));
  EXPECT_FALSE(fs::exists(project.Layer("_w1.shp")) || fs::exists(project.Layer("_w2.sbn")));
  r = Call({"--deliver", project.Layer("_w1.shp"), project.Layer("_w2.shp")});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(LayerFiles(project, {"_w2"}), std::vector(written.begin(), written.begin() + 4));
  for (const auto& e : fs::directory_iterator(project.Dir() / "shapes"))
    EXPECT_EQ(e.path().string().find(".qv"), std::string::npos) << e.path();  // no run's file
}

TEST_F(Host, demoWritesBothLayersAndSummarises) {
  const auto r = Call({"demo", "demo"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_TRUE(r.Out.starts_with("Height model: tiles 1091-11, 1091-12, 1091-13, 1091-14 ("));
  EXPECT_NE(r.Out.find("\nTiles read: 4 of 4\nWooded polygons: "), std::string::npos) << r.Out;
  EXPECT_TRUE(r.Out.ends_with("Crown-circle layer: " + (project.Dir() / "demo" / "shapes" /
                              "parcels_w2.shp").string() + "\nquelvaris returned 1\n")) << r.Out;
}

}  // namespace
}  // namespace qv

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "RecordingPlatform.h"
#include "dialog/Settings.h"
#include "dialog/TestProject.h"
#include "dialog/languages/Languages.h"
#include "platform/Paths.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { SetLanguage(LanguageEnglish); }

  void Load(const std::string& text) {
    project.WriteSettings(text);
    LoadSettings(c, file);
  }
  void Save() { SaveSettings(c, file, saveOnClose); }

  test::RecordingPlatform platform;
  test::TTestProject project;
  const std::string file = SettingsFilePath(SettingsDirOf(project.Shapefile()));
  TDialogControls c;
  bool saveOnClose = true;
};

TEST_F(SettingsTest, fileLiesInTheShapefilesDirectory) {
  EXPECT_EQ(file, project.SettingsFile());
  EXPECT_EQ(SettingsDirOf("D:\\p\\shapes\\parcels.shp"), "D:\\p\\shapes");
  EXPECT_EQ(SettingsFilePath(SettingsDirOf("parcels.shp")),
            std::string(1, PathSeparator) + "quelvaris.ini");
}

TEST_F(SettingsTest, missingFileGivesTheDefaultsInEachFieldsFormat) {
  int clicks = 0;
  c.rgNhmFiletype.OnClick = [&] { ++clicks; };
  LoadSettings(c, file);
  test::ExpectDefaultSettings(c, "MNA_Laser\\MNH");
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(fs::exists(file));  // reading creates nothing
}

TEST_F(SettingsTest, missingKeysAndBadNumbersGiveTheDefaults) {
  Load("[Parameters]\r\nMinimum tree height=abc\r\nTree radius parameter 0=\r\n"
       "Tree radius parameter 1=inf\r\nNumber of points in circle=36.5\r\n"
       "Minimum clearing area=1;5\r\nMinimum wooded area=350\r\n"
       "[Files]\r\nfile type=x\r\nNHM separator=2\r\n");
  EXPECT_EQ(c.edtMinTreeHeight.Value(), 2.0);
  EXPECT_EQ(c.edTreeRadiusParam0.Value(), 2.6894);
  EXPECT_EQ(c.edTreeRadiusParam1.Value(), 0.1117);
  EXPECT_EQ(c.edNumCirclePoints.ValueInt(), 36);
  EXPECT_EQ(c.edtMinClearingArea.Value(), 100.0);
  EXPECT_EQ(c.edtMinWoodedArea.Value(), 350.0);
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), 0);
  EXPECT_EQ(c.edtNhmDir.Text, "MNA_Laser\\MNH");
  EXPECT_EQ(c.cmbNhmSeparator.Text, "_");
  EXPECT_EQ(c.edtNhmSuffix.Text(), "_dhm_grid1");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsTest, integersMayBeHexadecimalAndKeysIgnoreCase) {
  Load("[parameters]\nNUMBER OF POINTS IN CIRCLE = 0x1F\n"
       "[FILES]\nfile type=$1\nnhm separator=0X4\n");
  EXPECT_EQ(c.edNumCirclePoints.ValueInt(), 31);
  EXPECT_EQ(c.edNumCirclePoints.Text(), "31");
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), 1);
  EXPECT_EQ(c.cmbNhmSeparator.Text, "#");
  Load("[Parameters]\nNumber of points in circle=$1F\n");
  EXPECT_EQ(c.edNumCirclePoints.ValueInt(), 31);
}

TEST_F(SettingsTest, emptyStringsPresentStayEmptyAndAbsentOnesTakeTheDefault) {
  Load("[Files]\nNHM directory=\nNHM prefix=mnh\nNHM suffix=\n");
  EXPECT_EQ(c.edtNhmDir.Text, "");
  EXPECT_EQ(c.edtNhmPrefix.Text(), "mnh");
  EXPECT_EQ(c.edtNhmSuffix.Text(), "");
  Load("[Files]\n");
  EXPECT_EQ(c.edtNhmDir.Text, "MNA_Laser\\MNH");
  EXPECT_EQ(c.edtNhmPrefix.Text(), "");
  EXPECT_EQ(c.edtNhmSuffix.Text(), "_dhm_grid1");
}

TEST_F(SettingsTest, longStringsAreCutAt2047Characters) {
  const std::string longDir(3000, 'd');
  const std::string accented = std::string(2046, 'a') + "\xC3\xA9\xC3\xA9";  // "é" twice
  Load("[Files]\nNHM directory=" + longDir + "\nNHM prefix=" + accented + "\n");
  EXPECT_EQ(c.edtNhmDir.Text, std::string(2047, 'd'));
#ifndef _WIN32
  EXPECT_EQ(c.edtNhmPrefix.Text(), std::string(2046, 'a') + "\xC3\xA9");
#endif
}

TEST_F(SettingsTest, indexesOutOfRangeSelectTheLastChoiceOrNone) {
  int clicks = 0;
  c.rgNhmFiletype.OnClick = [&] { ++clicks; };
  Load("[Files]\nfile type=7\nNHM separator=5\n");
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), 1);
  EXPECT_EQ(c.cmbNhmSeparator.ItemIndex, -1);
  EXPECT_EQ(c.cmbNhmSeparator.Text, "");
  Load("[Files]\nfile type=-3\nNHM separator=-1\n");
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), -1);
  EXPECT_EQ(c.cmbNhmSeparator.ItemIndex, -1);
  EXPECT_EQ(clicks, 2);
  // No separator is written back as such; no file type, which Calculate refuses, is not.
  Save();
  EXPECT_EQ(project.Stored("Files", "file type"), "-3");
  EXPECT_EQ(project.Stored("Files", "NHM separator"), "-1");
}

TEST_F(SettingsTest, aFloatWithMoreDecimalsThanItsFieldIsRoundedAndWrittenRounded) {
  Load("[Parameters]\nMinimum tree height=2.345678\nTree radius parameter 1=0.11174999\n"
       "Minimum wooded area=1234.5678\n");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "2.35");
  EXPECT_EQ(c.edTreeRadiusParam1.Text(), "0.1117");
  EXPECT_EQ(c.edtMinWoodedArea.Text(), "1,235");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2.35");
  EXPECT_EQ(project.Stored("Parameters", "Tree radius parameter 1"), "0.1117");
  EXPECT_EQ(project.Stored("Parameters", "Minimum wooded area"), "1235");
}

TEST_F(SettingsTest, roundTripKeepsEveryValueAndWritesTheKeysInOrder) {
  LoadSettings(c, file);
  Save();
  EXPECT_EQ(project.ReadSettings(),
            "[Parameters]\r\nMinimum tree height=2\r\nTree radius parameter 0=2.6894\r\n"
            "Tree radius parameter 1=0.1117\r\nNumber of points in circle=36\r\n"
            "Minimum clearing area=100\r\nMinimum wooded area=200\r\n\r\n"
            "[Files]\r\nfile type=0\r\nNHM directory=MNA_Laser\\MNH\r\nNHM prefix=\r\n"
            "NHM separator=0\r\nNHM suffix=_dhm_grid1\r\n");

  c.edtMinTreeHeight.SetText("3.5");
  c.edTreeRadiusParam0.SetValue(-0.25);
  c.edNumCirclePoints.SetText("120");
  c.edtMinClearingArea.SetValue(0);
  c.rgNhmFiletype.SetItemIndex(1);
  c.edtNhmDir.Text = "data\\nhm";
  c.edtNhmPrefix.SetText("pre ");
  c.cmbNhmSeparator.Select(3);
  c.edtNhmSuffix.SetText("");
  Save();

  TDialogControls d;
  d.edtMinClearingArea.SetValue(100);  // as the defaults put in before: 0 must still show
  LoadSettings(d, file);
  EXPECT_EQ(d.edtMinTreeHeight.Text(), "3.50");
  EXPECT_EQ(d.edTreeRadiusParam0.Text(), "-0.2500");
  EXPECT_EQ(d.edNumCirclePoints.ValueInt(), 120);
  EXPECT_EQ(d.edtMinClearingArea.Text(), "0");
  EXPECT_EQ(d.rgNhmFiletype.ItemIndex(), 1);
  EXPECT_EQ(d.edtNhmDir.Text, "data\\nhm");
  EXPECT_EQ(d.edtNhmPrefix.Text(), "pre");  // blanks around a value do not survive the file
  EXPECT_EQ(d.cmbNhmSeparator.Text, "@");
  EXPECT_EQ(d.edtNhmSuffix.Text(), "");
  EXPECT_TRUE(saveOnClose);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsTest, otherContentOfTheFileIsKept) {
  Load("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[parameters]\r\n"
       "minimum tree height=4\r\nOwn key=x\r\n");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "4.00");
  Save();
  const auto text = project.ReadSettings();
  EXPECT_EQ(text.rfind("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[parameters]\r\n", 0), 0u)
      << text;
  EXPECT_NE(text.find("Own key=x\r\n"), std::string::npos);
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "4");
  EXPECT_EQ(text.find("minimum tree height=4"), std::string::npos);  // replaced, not doubled
}

TEST_F(SettingsTest, aFieldThatIsNotANumberKeepsItsKeyInTheFile) {
  Load("[Parameters]\nMinimum tree height=3\nNumber of points in circle=24\n");
  c.edtMinTreeHeight.SetText("abc");   // Value 0, but not a number
  c.edNumCirclePoints.SetText("3e9");  // saturated ValueInt, but not an integer
  c.edtMinWoodedArea.SetText("1,00");  // Value 100 by the lenient read, but misgrouped
  c.edtMinClearingArea.SetText("150");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "3");
  EXPECT_EQ(project.Stored("Parameters", "Number of points in circle"), "24");
  EXPECT_EQ(project.Stored("Parameters", "Minimum wooded area"), "<absent>");
  EXPECT_EQ(project.Stored("Parameters", "Minimum clearing area"), "150");
  EXPECT_TRUE(saveOnClose);
}

TEST_F(SettingsTest, aLineBreakInAStringCannotInjectKeys) {
  LoadSettings(c, file);
  c.edtNhmDir.Text = "dir\r\n[Parameters]\r\nMinimum tree height=0";
  Save();
  EXPECT_EQ(project.Stored("Files", "NHM directory"), "dir");
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2");
}

TEST_F(SettingsTest, decimalCommaSystemReadsAndWritesCommasAndReadsPointsToo) {
  platform.numberFormat = {",", "'"};
  // A file saved where the separator is a point keeps its values here.
  Load("[Parameters]\nMinimum tree height=2,5\nTree radius parameter 0=3.5\n"
       "Tree radius parameter 1=0.125\nMinimum wooded area=1'500\n");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "2,50");
  EXPECT_EQ(c.edTreeRadiusParam0.Value(), 3.5);
  EXPECT_EQ(c.edTreeRadiusParam1.Value(), 0.125);
  EXPECT_EQ(c.edtMinWoodedArea.Text(), "1'500");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2,5");
  EXPECT_EQ(project.Stored("Parameters", "Tree radius parameter 1"), "0,125");
  EXPECT_EQ(project.Stored("Parameters", "Minimum wooded area"), "1500");
  // And the other way round; the file never holds group separators, so "2,126" is 2.126.
  platform.numberFormat = {".", ","};
  Load("[Parameters]\nMinimum tree height=2,126\nTree radius parameter 1=0,1117\n");
  EXPECT_EQ(c.edtMinTreeHeight.Value(), 2.13);
  EXPECT_EQ(c.edTreeRadiusParam1.Value(), 0.1117);
}

TEST_F(SettingsTest, aFailedWriteIsReportedOnceAndStopsFurtherWrites) {
  fs::create_directories(file);  // the settings file's own path is a directory
  int writes = 0;
  platform.allowWrite = [&](const std::string&) {
    ++writes;
    return true;
  };
  LoadSettings(c, file);
  Save();
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(platform.beeps, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, "Error writing file \"quelvaris.ini\"\rError message:\rUnable "
                                       "to write to " + file + ": it is not a regular file");
  EXPECT_FALSE(saveOnClose);
  Save();
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(SettingsTest, aValueThatCalculateRefusesKeepsTheStoredOneAndTheFileIsWrittenOnce) {
  Load("[Parameters]\nMinimum tree height=3\nTree radius parameter 0=2\nTree radius parameter 1=0.2\n"
       "Number of points in circle=24\nMinimum clearing area=50\nMinimum wooded area=300\n");
  int writes = 0;
  platform.allowWrite = [&](const std::string&) { return ++writes > 0; };
  // Each refused as Calculate refuses it: out of its range, or (the intercept) a crown of no
  // radius at the minimum height that the file keeps (3 m x 0.2 - 0.7 < 0).
  c.edtMinTreeHeight.SetText("0");
  c.edTreeRadiusParam1.SetText("-1");
  c.edTreeRadiusParam0.SetText("-0.7");
  c.edNumCirclePoints.SetText("1000");
  c.edtMinClearingArea.SetText("-5");
  c.edtMinWoodedArea.SetText("0.5");
  Save();
  EXPECT_EQ(writes, 1);
  for (const auto& [key, value] :
       {std::pair{"Minimum tree height", "3"}, {"Tree radius parameter 1", "0.2"},
        {"Tree radius parameter 0", "2"}, {"Number of points in circle", "24"},
        {"Minimum clearing area", "50"}, {"Minimum wooded area", "300"}})
    EXPECT_EQ(project.Stored("Parameters", key), value) << key;
  // The intercept is judged with the slope and height the file will hold.
  c.edTreeRadiusParam1.SetText("0.3");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Tree radius parameter 0"), "-0.7");
}

// The settings file as a hostile world leaves it. Each case loads and saves in a child process
// under a time limit, so a read or a write that waits fails the test instead of hanging it.
struct THostileFile {
  const char* Name;
  std::function<void(const fs::path& file)> Prepare;
  const char* Refusal;  // what the error line says after the path, or nullptr: saved
  std::function<bool(const fs::path& file)> After;
  bool AsNobody = false;
};

constexpr const char* kOwn = "[Mine]\r\nkeep=1\r\n";
std::string TextOf(const fs::path& p) {
  std::stringstream s;
  s << std::ifstream(p, std::ios::binary).rdbuf();
  return s.str();
}
bool KeptOwn(const fs::path& f) { return fs::is_regular_file(f) && TextOf(f) == kOwn; }
bool SavedBesideOwn(const fs::path& f) {
  const auto text = TextOf(f);
  return text.starts_with(kOwn) && text.find("Minimum tree height=3\r\n") != std::string::npos;
}
void WriteOwn(const fs::path& f, fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
  std::ofstream(f, std::ios::binary) << kOwn;
  fs::permissions(f, perms);
}

class SettingsFileTest : public SettingsTest {
 protected:
  void Check(const THostileFile& h) {
    SCOPED_TRACE(h.Name);
    fs::permissions(project.Dir() / "shapes", fs::perms::all);
    h.Prepare(file);
    auto loadAndSave = [&] {
      ::alarm(60);
      if (h.AsNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(10);
      LoadSettings(c, file);
      c.edtMinTreeHeight.SetText("3");
      Save();
      const std::string told = h.Refusal ? Msg(msgSettingsWriteError) + "\r" + Msg(msgErrorMessage) +
                                               "\rUnable to write to " + file + ": " + h.Refusal
                                         : "";
      std::exit(platform.Texts() == (h.Refusal ? std::vector{told} : std::vector<std::string>{}) ? 0 : 11);
    };
    EXPECT_EXIT(loadAndSave(), ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(h.After(file));
    // Nothing of the save is left beside the file.
    for (const auto& e : fs::directory_iterator(project.Dir() / "shapes"))
      EXPECT_EQ(e.path().filename().string().find(".qv"), std::string::npos) << e.path();
    fs::remove_all(file);
  }
};

TEST_F(SettingsFileTest, isNeverWaitedOnLostOrReplacedByAPlainFile) {
  const THostileFile cases[] = {
      {"FIFO", [](const fs::path& f) { ::mkfifo(f.c_str(), 0666); }, "it is not a regular file",
       [](const fs::path& f) { return fs::is_fifo(f); }},
      {"unreadable", [](const fs::path& f) { WriteOwn(f, fs::perms::owner_write | fs::perms::others_write); },
       "it cannot be read (Permission denied)", KeptOwn, true},
      {"read-only", [](const fs::path& f) { WriteOwn(f, fs::perms::owner_read); }, "it is read-only",
       KeptOwn},
      {"symbolic link",
       [](const fs::path& f) {
         WriteOwn(f.parent_path() / "real.ini");
         fs::create_symlink("real.ini", f);
       },
       nullptr, [](const fs::path& f) { return fs::is_symlink(f) && SavedBesideOwn(f.parent_path() / "real.ini"); }},
      {"mode and group",
       [](const fs::path& f) {
         WriteOwn(f, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         [[maybe_unused]] const int changed = ::chown(f.c_str(), 0, 100);
       },
       nullptr,
       [](const fs::path& f) {
         struct stat st {};
         return SavedBesideOwn(f) && ::stat(f.c_str(), &st) == 0 && (st.st_mode & 07777) == 0640 &&
                st.st_gid == 100;
       }},
      {"killed saves' leftovers",
       [](const fs::path& f) {
         WriteOwn(f);
         for (const char* left : {".qv4711-0badcafe.tmp", ".tmp4711", ".qvlock"}) WriteOwn(f.string() + left);
       },
       nullptr, SavedBesideOwn},
  };
  for (const auto& h : cases) Check(h);
}

// Read once and written once, not once per key (which took minutes). Left to the normal build.
class LongSettingsFile : public SettingsFileTest {};

TEST_F(LongSettingsFile, of100MbIsSavedWhole) {
  Check({"100 MB",
         [](const fs::path& f) {
           std::ofstream out(f, std::ios::binary);
           out << kOwn;
           const std::string line = "k=" + std::string(98, 'x') + "\r\n";
           for (int i = 0; i < 1'000'000; ++i) out << line;
         },
         nullptr, [](const fs::path& f) { return fs::file_size(f) > 100'000'000 && SavedBesideOwn(f); }});
}

}  // namespace
}  // namespace qv

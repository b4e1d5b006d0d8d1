#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "RecordingPlatform.h"
#include "dialog/Settings.h"
#include "dialog/TestProject.h"
#include "catalogue/Languages.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using enum TControlId;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { SetLanguage(LanguageEnglish); }

  void Load(const std::string& text) { project.WriteSettings(text), LoadSettings(c, file); }
  void Save() { SaveSettings(c, file, saveOnClose); }

  test::RecordingPlatform platform;
  test::TTestProject project;
  const std::string file = SettingsFilePath(SettingsDirOf(project.Shapefile()));
  TDialogControls c;
  bool saveOnClose = true;
};

TEST_F(SettingsTest, missingFileGivesTheDefaultsWhichAreWrittenInTheFilesOrder) {
  EXPECT_EQ(file, project.SettingsFile());
  EXPECT_EQ(SettingsFilePath(SettingsDirOf("parcels.shp")), "/quelvaris.ini");
  int clicks = 0;
  c.rgNhmFiletype.OnClick = [&] { ++clicks; };
  LoadSettings(c, file);
  EXPECT_EQ(test::ShownSettings(c), test::DefaultSettings("MNA_Laser\\MNH"));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(fs::exists(file));  // reading creates nothing
  Save();
  EXPECT_EQ(test::ReadFile(project.SettingsFile()),
            "[Parameters]\r\nMinimum tree height=2\r\nTree radius parameter 0=2.6894\r\n"
            "Tree radius parameter 1=0.1117\r\nNumber of points in circle=36\r\n"
            "Minimum clearing area=100\r\nMinimum wooded area=200\r\n\r\n"
            "[Files]\r\nfile type=0\r\nNHM directory=MNA_Laser\\MNH\r\nNHM prefix=\r\n"
            "NHM separator=0\r\nNHM suffix=_dhm_grid1\r\n");
  EXPECT_TRUE(platform.messages.empty());
}

// One key as the file holds it: what its control shows after loading, and what the next save
// stores for it. Values that are absent or do not convert give the defaults; numbers are
// rounded to the field's decimals and stored as shown; keys in any case; integers may be
// hexadecimal; indexes out of range select the last choice or none (no file type is not
// stored); present empty strings stay empty; long ones are cut at 2047 whole characters.
TEST_F(SettingsTest, eachKeyIsReadIntoItsFieldsFormatAndWrittenBack) {
  const struct {
    const char* Section;
    std::string Line;
    TControlId Id;
    std::string Shown, Stored;
  } cases[] = {
      {"Parameters", "Tree radius parameter 1=inf", edTreeRadiusParam1, "0.1117", "0.1117"},
      {"Parameters", "Number of points in circle=36.5", edNumCirclePoints, "36", "36"},
      {"Files", "NHM directory", edtNhmDir, "MNA_Laser\\MNH", "MNA_Laser\\MNH"},
      {"Parameters", "Minimum tree height=2.345678", edtMinTreeHeight, "2.35", "2.35"},
      {"Parameters", "Minimum wooded area=1234.5678", edtMinWoodedArea, "1,235", "1235"},
      {"Parameters", "Minimum clearing area=0", edtMinClearingArea, "0", "0"},
      {"parameters", "NUMBER OF POINTS IN CIRCLE= 0x1F", edNumCirclePoints, "31", "31"},
      {"Files", "nhm separator=0X4", cmbNhmSeparator, "4:#", "4"},
      {"Files", "file type=7", rgNhmFiletype, "1", "1"},
      {"Files", "file type=-3", rgNhmFiletype, "-1", "-3"},
      {"Files", "NHM separator=5", cmbNhmSeparator, "-1:", "-1"},
      {"Files", "NHM directory=", edtNhmDir, "", ""},
      {"Files", "NHM prefix=" + std::string(2046, 'a') + "\xC3\xA9\xC3\xA9", edtNhmPrefix,
       std::string(2046, 'a') + "\xC3\xA9", std::string(2046, 'a') + "\xC3\xA9"},
      // Where "," groups, "2,126" is 2.126: the file never holds group separators of its own.
      {"Parameters", "Minimum tree height=2,126", edtMinTreeHeight, "2.13", "2.13"},
      // Under a decimal comma; a file saved where the separator is a point keeps its values.
      {"Parameters", "Minimum tree height=2,5", edtMinTreeHeight, "2,50", "2,5"},
      {"Parameters", "Tree radius parameter 0=3.5", edTreeRadiusParam0, "3,5000", "3,5"},
      {"Parameters", "Minimum wooded area=1'500", edtMinWoodedArea, "1'500", "1500"}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.Line.substr(0, 60));
    if (k.Line == "Minimum tree height=2,5") platform.numberFormat = {",", "'"};
    TDialogControls d;
    for (const TControlId id : TDialogControls::NumericFields) d.EnhancedEdit(id)->SetValue(-1);
    project.WriteSettings("[" + std::string(k.Section) + "]\r\n" + k.Line + "\r\n");
    LoadSettings(d, file);
    EXPECT_EQ(test::Shown(d, k.Id), k.Shown);
    SaveSettings(d, file, saveOnClose);
    EXPECT_EQ(project.Stored(k.Section, k.Line.substr(0, k.Line.find('='))), k.Stored);
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsTest, aSaveReplacesOnlyItsKeysAndALineBreakCannotInjectOthers) {
  Load("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[parameters]\r\n"
       "minimum tree height=4\r\nOwn key=x\r\n");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "4.00");
  c.edtNhmDir.Text = "dir\r\n[Parameters]\r\nMinimum tree height=0";
  Save();
  const auto text = test::ReadFile(project.SettingsFile());
  EXPECT_TRUE(text.starts_with("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[parameters]\r\n"))
      << text;
  EXPECT_NE(text.find("Own key=x\r\n"), std::string::npos);
  EXPECT_EQ(text.find("minimum tree height=4"), std::string::npos);  // replaced, not doubled
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "4");
  EXPECT_EQ(project.Stored("Files", "NHM directory"), "dir");
}

TEST_F(SettingsTest, aValueThatCalculateRefusesKeepsTheStoredOneAndTheFileIsWrittenOnce) {
  Load("[Parameters]\nMinimum tree height=3\nTree radius parameter 0=2\nTree radius parameter 1=0.2\n"
       "Number of points in circle=24\nMinimum clearing area=50\nMinimum wooded area=300\n");
  int writes = 0;
  platform.allowWrite = [&](const std::string&) { return ++writes > 0; };
  Save();
  const std::string kept = test::ReadFile(file);
  // Not a number (although the forgiving read gives one), out of the range, or (the intercept)
  // a crown of no radius at the minimum height that the file keeps (3 m x 0.2 - 0.7 < 0).
  for (const auto& [id, text] :
       {std::pair{edtMinTreeHeight, "abc"}, {edTreeRadiusParam1, "-1"}, {edTreeRadiusParam0, "-0.7"},
        {edNumCirclePoints, "1000"}, {edtMinClearingArea, "-5"}, {edtMinWoodedArea, "1,00"},
        {edtMinTreeHeight, "0"}, {edtMinWoodedArea, "0.5"}}) {
    c.EnhancedEdit(id)->SetText(text);
    Save();
    EXPECT_EQ(test::ReadFile(file), kept) << text;
  }
  EXPECT_NE(kept.find("Minimum tree height=3\r\n"), std::string::npos);
  EXPECT_EQ(writes, 9);
  // The intercept is judged with the slope and height the file will hold.
  c.edTreeRadiusParam1.SetText("0.3");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Tree radius parameter 0"), "-0.7");
  c.edtMinTreeHeight.SetText("2");
  c.edTreeRadiusParam1.SetText("abc");  // the stored 0.3 holds: above -0.6 is accepted
  c.edTreeRadiusParam0.SetText("-0.5");
  Save();
  EXPECT_EQ(project.Stored("Parameters", "Tree radius parameter 0"), "-0.5");
  EXPECT_TRUE(saveOnClose);
}

TEST_F(SettingsTest, aFailedWriteIsReportedOnceAndStopsFurtherWrites) {
  fs::create_directories(file);  // the settings file's own path is a directory
  LoadSettings(c, file);
  Save();
  EXPECT_EQ(platform.beeps, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, "Error writing file \"quelvaris.ini\"\rError message:\rUnable "
                                       "to write to " + file + ": it is not a regular file");
  EXPECT_FALSE(saveOnClose);
  int writes = 0;
  platform.allowWrite = [&](const std::string&) { return ++writes > 0; };
  Save();
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(platform.messages.size(), 1u);
}

// The settings file as a hostile world leaves it. Each case loads and saves in a child process
// under a time limit, so a read or a write that waits fails the test instead of hanging it.
constexpr const char* kOwn = "[Mine]\r\nkeep=1\r\n";
void WriteOwn(const fs::path& f, fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
  test::WriteText(f, kOwn);
  fs::permissions(f, perms);
}

class SettingsFileTest : public SettingsTest {
 protected:
  // Refusal: what the error line says after the path; nullptr: saved beside the file's own
  // section, through a link, with mode and group kept.
  void Check(const char* name, const std::function<void(const fs::path&)>& prepare,
             const char* refusal, bool asNobody = false) {
    SCOPED_TRACE(name);
    prepare(file);
    const bool link = fs::is_symlink(file);
    struct stat before {}, after {};
    ::stat(file.c_str(), &before);
    auto loadAndSave = [&] {
      ::alarm(60);
      if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(10);
      LoadSettings(c, file);
      c.edtMinTreeHeight.SetText("3");
      Save();
      const auto told = Msg(msgSettingsWriteError) + "\r" + Msg(msgErrorMessage) +
                        "\rUnable to write to " + file + ": " + (refusal ? refusal : "");
      const auto expected = refusal ? std::vector{told} : std::vector<std::string>{};
      std::exit(platform.Texts() == expected ? 0 : 11);
    };
    EXPECT_EXIT(loadAndSave(), ::testing::ExitedWithCode(0), "");
    ::stat(file.c_str(), &after);
    EXPECT_EQ(fs::is_symlink(file), link);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_gid, before.st_gid);
    const auto text = fs::is_fifo(file) ? std::string(kOwn) : test::ReadFile(file);
    if (refusal) {
      EXPECT_EQ(text, kOwn);
    } else {
      EXPECT_TRUE(text.starts_with(kOwn) && text.find("height=3\r\n") != text.npos);
      EXPECT_GE(text.size(), static_cast<std::size_t>(before.st_size));
    }
    // Nothing of the save is left beside the file.
    for (const auto& e : fs::directory_iterator(project.Dir() / "shapes"))
      EXPECT_EQ(e.path().filename().string().find(".qv"), std::string::npos) << e.path();
    fs::remove_all(file);
  }
};

TEST_F(SettingsFileTest, isNeverWaitedOnLostOrReplacedByAPlainFile) {
  using enum fs::perms;
  fs::permissions(project.Dir(), all);  // the unreadable case runs as nobody, who must reach it
  fs::permissions(project.Dir() / "shapes", all);
  Check("FIFO", [](const fs::path& f) { ::mkfifo(f.c_str(), 0666); }, "it is not a regular file");
  Check("unreadable", [](const fs::path& f) { WriteOwn(f, owner_write | others_write); },
        "it cannot be read (Permission denied)", true);
  Check("read-only", [](const fs::path& f) { WriteOwn(f, owner_read); }, "it is read-only");
  Check("symbolic link", [](const fs::path& f) {
    WriteOwn(f.parent_path() / "real.ini");
    fs::create_symlink("real.ini", f);
  }, nullptr);
  Check("mode and group", [](const fs::path& f) {
    WriteOwn(f, owner_read | owner_write | group_read);
    [[maybe_unused]] const int changed = ::chown(f.c_str(), 0, 100);
  }, nullptr);
  Check("killed saves' leftovers", [](const fs::path& f) {
    WriteOwn(f);
    for (const char* left : {".qv4711-0badcafe.tmp", ".tmp4711", ".qvlock"}) WriteOwn(f.string() + left);
  }, nullptr);
}

// Read once and written once, not once per key (which took minutes). Left to the normal build.
class LongSettingsFile : public SettingsFileTest {};

TEST_F(LongSettingsFile, of100MbIsSavedWhole) {
  Check("100 MB", [](const fs::path& f) {
    std::ofstream out(f, std::ios::binary);
    out << kOwn;
    for (int i = 0; i < 1'000'000; ++i) out << "k=" << std::string(98, 'x') << "\r\n";
  }, nullptr);
}

}  // namespace
}  // namespace qv

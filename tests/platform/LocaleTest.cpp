#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/Locale.h"
#include "platform/Platform.h"

namespace qv {
namespace {

TEST(MessagesLocaleName, takesLcAllThenLcMessagesThenLang) {
  std::map<std::string, std::string> env;
  auto get = [&env](const char* n) { return env.count(n) ? env[n] : std::string(); };
  EXPECT_EQ(MessagesLocaleName(get), "");
  env["LANG"] = "de_CH.UTF-8";
  EXPECT_EQ(MessagesLocaleName(get), "de_CH.UTF-8");
  env["LC_MESSAGES"] = "fr_FR.UTF-8";
  EXPECT_EQ(MessagesLocaleName(get), "fr_FR.UTF-8");
  env["LC_ALL"] = "";  // set but empty does not count
  EXPECT_EQ(MessagesLocaleName(get), "fr_FR.UTF-8");
  env["LC_ALL"] = "C";
  EXPECT_EQ(MessagesLocaleName(get), "C");
}

TEST(LocaleIdFromName, keepsThePrimaryLanguage) {
  EXPECT_EQ(LocaleIdFromName("fr_CH.UTF-8") & 0x3FF, 0x0Cu);
  EXPECT_EQ(LocaleIdFromName("fr_CA") & 0x3FF, 0x0Cu);
  EXPECT_EQ(LocaleIdFromName("fr") & 0x3FF, 0x0Cu);
  EXPECT_EQ(LocaleIdFromName("fr_XX.UTF-8") & 0x3FF, 0x0Cu);  // not installed: still French
  EXPECT_EQ(LocaleIdFromName("de_CH.UTF-8"), 0x0807u);
  EXPECT_EQ(LocaleIdFromName("C"), 0x409u);
  EXPECT_EQ(LocaleIdFromName(""), 0x409u);
  EXPECT_EQ(LocaleIdFromName("POSIX"), 0x409u);
}

TEST(PosixPlatform, findsFilesWithoutRegardToCase) {
  auto platform = CreateDefaultPlatform();
  const auto dir = std::filesystem::temp_directory_path() / "qv_case_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "MNA_Laser" / "MNH");
  std::ofstream(dir / "MNA_Laser" / "MNH" / "1091-11_DHM.TXT") << "x";
  const std::string base = dir.string();
  EXPECT_TRUE(platform->FileExists(base + "/mna_laser\\mnh/1091-11_dhm.txt"));
  EXPECT_TRUE(platform->DirectoryExists(base + "/MNA_LASER/mnh"));
  EXPECT_FALSE(platform->FileExists(base + "/MNA_Laser/MNH"));  // a directory is no file
  EXPECT_FALSE(platform->FileExists(base + "/MNA_Laser/MNH/1091-12_dhm.txt"));
  EXPECT_EQ(platform->ResolveExisting(base + "/mna_laser/MNH/1091-11_dhm.txt"),
            base + "/MNA_Laser/MNH/1091-11_DHM.TXT");
  EXPECT_TRUE(platform->DeleteFile(base + "/MNA_laser/MNH/1091-11_dhm.txt"));
  EXPECT_FALSE(platform->DeleteFile(base + "/MNA_laser/MNH/1091-11_dhm.txt"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv

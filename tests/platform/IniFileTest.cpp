#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RecordingPlatform.h"
#include "platform/IniFile.h"

namespace qv {
namespace {

TEST(IniLookup, matchesSectionsAndKeysWithoutRegardToCase) {
  const std::string text =
      "; comment\r\n[Other]\r\nNHM prefix=wrong\r\n[parameters]\r\n  minimum TREE height = 2.5 \r\n"
      "[Files]\nNHM prefix=\nNHM suffix=_x\n";
  EXPECT_EQ(IniLookup(text, "Parameters", "Minimum tree height"), "2.5");
  EXPECT_EQ(IniLookup(text, "Files", "NHM prefix"), "");  // present and empty
  EXPECT_EQ(IniLookup(text, "Files", "nhm SUFFIX"), "_x");
  EXPECT_FALSE(IniLookup(text, "Files", "NHM separator").has_value());
  EXPECT_FALSE(IniLookup(text, "Missing", "NHM prefix").has_value());
  EXPECT_FALSE(IniLookup("", "Files", "x").has_value());
}

TEST(IniAssign, keepsEverythingElseInPlace) {
  const std::string text = "; keep me\r\n[Files]\r\nNHM prefix=a\r\n\r\n[Other]\r\nx=1\r\n";
  const auto replaced = IniAssign(text, "files", "nhm PREFIX", "b");
  EXPECT_EQ(replaced, "; keep me\r\n[Files]\r\nnhm PREFIX=b\r\n\r\n[Other]\r\nx=1\r\n");
  const auto added = IniAssign(text, "Files", "NHM suffix", "_s");
  EXPECT_EQ(added, "; keep me\r\n[Files]\r\nNHM prefix=a\r\nNHM suffix=_s\r\n\r\n[Other]\r\nx=1\r\n");
  const auto newSection = IniAssign(text, "Parameters", "k", "v");
  EXPECT_EQ(newSection, text + "\r\n[Parameters]\r\nk=v\r\n");
  EXPECT_EQ(IniAssign("", "S", "k", "v"), "[S]\r\nk=v\r\n");
  // A value with a line break cannot add keys of its own.
  EXPECT_EQ(IniAssign("", "S", "k", "a\r\nMinimum tree height=0"), "[S]\r\nk=a\r\n");
}

TEST(IniFileOnDisk, roundTripsAndReportsAFailedWrite) {
  test::RecordingPlatform platform;
  const auto dir = std::filesystem::temp_directory_path() / "qv_ini_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "quelvaris.ini").string();
  std::string error;
  ASSERT_TRUE(platform.IniWrite(file, "Parameters", "Minimum tree height", "2", error));
  ASSERT_TRUE(platform.IniWrite(file, "Files", "NHM prefix", "mnh", error));
  ASSERT_TRUE(platform.IniWrite(file, "Parameters", "Minimum tree height", "3", error));
  EXPECT_EQ(platform.IniRead(file, "PARAMETERS", "minimum tree height", "d"), "3");
  EXPECT_EQ(platform.IniRead(file, "Files", "NHM prefix", "d"), "mnh");
  EXPECT_EQ(platform.IniRead(file, "Files", "absent", "d"), "d");
  EXPECT_EQ(platform.IniRead((dir / "none.ini").string(), "Files", "NHM prefix", "d"), "d");

  // A directory in the place of the file cannot be replaced by a file.
  const auto blocked = dir / "blocked.ini";
  std::filesystem::create_directories(blocked);
  EXPECT_FALSE(platform.IniWrite(blocked.string(), "S", "k", "v", error));
  EXPECT_EQ(error, "Unable to write to " + blocked.string());
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 2);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv

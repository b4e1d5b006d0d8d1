#include <gtest/gtest.h>

#include "platform/IniFile.h"

namespace qv {
namespace {

std::vector<TIniEntry> Entries(std::initializer_list<std::pair<const char*, const char*>> keys) {
  std::vector<TIniEntry> entries;
  for (const auto& [section, key] : keys) entries.push_back({section, key, std::nullopt});
  return entries;
}

TEST(IniText, readsAndChangesKeysWithoutRegardToCaseKeepingEverythingElse) {
  const std::string text =
      "; comment\r\n[Other]\r\nNHM prefix=wrong\r\n[parameters]\r\n  minimum TREE height = 2.5 \r\n"
      "[Files]\nNHM prefix=\nNHM suffix=_x";  // the last line without its line break
  auto read = Entries({{"Parameters", "Minimum tree height"}, {"Files", "NHM prefix"},
                       {"Files", "nhm SUFFIX"}, {"Files", "NHM separator"}, {"Missing", "x"}});
  IniLookup(text, read);
  EXPECT_EQ(read[0].Value, "2.5");
  EXPECT_EQ(read[1].Value, "");  // present and empty
  EXPECT_EQ(read[2].Value, "_x");
  EXPECT_FALSE(read[3].Value || read[4].Value);

  const std::string file = "; keep me\r\n[Files]\r\nNHM prefix=a\r\n\r\n[Other]\r\nx=1\r\n";
  auto write = Entries({{"files", "nhm PREFIX"}, {"Files", "NHM suffix"}, {"Parameters", "k"},
                        {"Files", "untouched"}, {"Parameters", "broken"}});
  write[0].Value = "b";
  write[1].Value = "_s";
  write[2].Value = "v";
  write[4].Value = "a\r\nMinimum tree height=0";  // a line break cannot add keys of its own
  EXPECT_EQ(IniAssign(file, write),
            "; keep me\r\n[Files]\r\nnhm PREFIX=b\r\nNHM suffix=_s\r\n\r\n[Other]\r\nx=1\r\n"
            "\r\n[Parameters]\r\nk=v\r\nbroken=a\r\n");
  EXPECT_EQ(IniAssign("", std::span(write).subspan(2, 1)), "[Parameters]\r\nk=v\r\n");
}

}  // namespace
}  // namespace qv

#include <gtest/gtest.h>

#include <sstream>

#include "dialog/ConsoleOutput.h"
#include "dialog/languages/Languages.h"
#include "platform/Format.h"

namespace qv {
namespace {

TEST(ParseTileProgress, readsBackWhatEachLanguageFormatted) {
  for (const TLanguageCode language : {LanguageGerman, LanguageFrench, LanguageEnglish}) {
    SetLanguage(language);
    const std::string pattern = Msg(msgTileProgress);
    const std::string text =
        Format(pattern, {std::int64_t{12}, std::int64_t{2950}, std::int64_t{98}});
    const auto progress = ParseTileProgress(text, pattern);
    ASSERT_TRUE(progress) << text;
    EXPECT_EQ(progress->Tile, 12);
    EXPECT_EQ(progress->Line, 2950);
    EXPECT_EQ(progress->Percent, 98);
  }
  EXPECT_TRUE(ParseTileProgress("[ 7] -3/4%", "[%2d] %d/%d%%"));
  EXPECT_FALSE(ParseTileProgress("Tile 1 line 50, 2%", "Tile %d line %d, %d%%%%"));
  EXPECT_FALSE(ParseTileProgress("Tile 1 line 50, 2% ", "Tile %d line %d, %d%%"));
  EXPECT_FALSE(ParseTileProgress("Tile 1 line x, 2%", "Tile %d line %d, %d%%"));
  EXPECT_FALSE(ParseTileProgress("Writing shapefiles..", "Tile %d line %d, %d%%"));
}

class ConsoleOutput : public ::testing::Test {
 protected:
  ConsoleOutput() { SetLanguage(LanguageEnglish); }
  std::ostringstream out;
};

// The sparse style is seen in the batch runs of RunTest.
TEST_F(ConsoleOutput, inPlaceProgressIsOneLineThatMessagesEndFirst) {
  {
    TConsoleOutput console(out, TProgressStyle::InPlace);
    console.Status("Tile 1 line 0, 0%");
    console.Status("Tile 1 line 50, 50%");
    console.Message("Error reading file \"a\"\rsecond line");
    console.Status("Tile 2 line 0, 0%");
  }
  EXPECT_EQ(out.str(),
            "\rTile 1 line 0, 0%\x1b[K\rTile 1 line 50, 50%\x1b[K\n"
            "Error reading file \"a\"\nsecond line\n"
            "\rTile 2 line 0, 0%\x1b[K\n");
}

}  // namespace
}  // namespace qv

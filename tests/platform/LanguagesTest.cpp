#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "catalogue/Languages.h"
#include "catalogue/Latin1.h"
#include "catalogue/MessageCatalogue.h"

namespace qv {
namespace {

constexpr TLanguageCode kLanguages[] = {LanguageGerman, LanguageFrench, LanguageEnglish};

// The 66 texts of the original catalogue and those this library added.
std::vector<TMsg> AllEntries() {
  std::vector<TMsg> ids;
  for (int id = msgFileNotDeletable; id < msgCount_; ++id) ids.push_back(static_cast<TMsg>(id));
  return ids;
}

// The placeholders of a text in order ("%d", "%s"; "%%" is a literal percent sign).
std::string Placeholders(std::string_view text) {
  std::string found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (text[i + 1] != '%') found += text[i + 1];
    ++i;
  }
  return found;
}

TEST(Catalogue, isEmptyUntilALanguageIsSetAndThenHasEveryText) {
  TMessageCatalogue catalogue;
  for (const auto id : AllEntries()) EXPECT_EQ(catalogue.Text(id), "") << id;
  for (const auto code : kLanguages) {
    catalogue.SetLanguage(code, TTextEncoding::Utf8);
    for (const auto id : AllEntries()) EXPECT_FALSE(catalogue.Text(id).empty()) << id;
  }
  EXPECT_EQ(catalogue.Text(static_cast<TMsg>(0)), "");
  EXPECT_EQ(catalogue.Text(msgCount_), "");
}

// A fresh process, so nothing that ran before in this one has set a language yet.
TEST(CatalogueDeathTest, globalTextsAreEmptyBeforeTheFirstSetLanguage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        bool allEmpty = true;
        for (const auto id : AllEntries()) allEmpty = allEmpty && Msg(id).empty();
        SetLanguage(LanguageGerman);
        const bool filled = Msg(msgYes) == "Ja";
        std::exit(allEmpty && filled ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SetLanguage, replacesEveryEntryWhenTheLanguageChangesAndTakesGermanForOtherCodes) {
  for (const auto code : {LanguageFrench, LanguageEnglish, LanguageGerman, LanguageFrench}) {
    SetLanguage(code);
    for (const auto id : AllEntries())
      EXPECT_EQ(Msg(id), SourceText(code, id)) << "language " << int{code} << " entry " << id;
  }
  for (const TLanguageCode code : {0, 1, 3, 5, 255}) {
    SetLanguage(LanguageFrench);
    SetLanguage(code);
    EXPECT_EQ(Msg(msgYes), "Ja") << int{code};
  }
}

// Texts as users and the host's scripts have always seen them, odd spellings and blanks kept.
TEST(SetLanguage, givesTheTextsByteForByte) {
  const struct { TLanguageCode Code; TMsg Id; const char* Text; } cases[] = {
      {LanguageGerman, msgInvalidNumber, "Ung\xC3\xBCltige Zahl"},
      {LanguageGerman, msgGridResolution, "Die Aufl\xC3\xB6sung des Gitters muss 1 m sein. "},
      {LanguageGerman, msgMissingFilesPrompt,
       "Nur %d von %d NHM Dateien vorhanden.\rF\xC3\xBCr fehlende Kacheln \"Dummy\"-Dateien verwenden?"},
      {LanguageFrench, msgCannotCreateDir, "Erreur: Impossible de Cr\xC3\xA9" "er le r\xC3\xA9pertoire"},
      {LanguageFrench, msgShapefileWriteError, "Error writing shapefile "},
      {LanguageEnglish, msgFileNotDeletable,
       "file \"%s\"\rcannot be deleted\rcheck that it is now write-protected!"},
      {LanguageEnglish, msgWindowTitle, "Quelvaris bois\xC3\xA9s: Calculate the wooded fraction (vs. 1.50)"},
      {LanguageEnglish, msgFltByteOrder,
       "The DLL can only read *.flt files with numbers in then format \"Least significant byte first\""},
  };
  for (const auto& c : cases) {
    SetLanguage(c.Code);
    EXPECT_EQ(Msg(c.Id), c.Text) << int{c.Code} << " " << c.Id;
  }
}

// The Windows texts are then the one-byte forms of the texts checked byte for byte above.
TEST(Catalogue, holdsOnlyCharactersOfTheWindowsCodePage) {
  for (const auto code : kLanguages) {
    TMessageCatalogue utf8, ansi;
    utf8.SetLanguage(code, TTextEncoding::Utf8);
    ansi.SetLanguage(code, TTextEncoding::Windows1252);
    for (const auto id : AllEntries()) {
      EXPECT_EQ(Latin1ToUtf8(ansi.Text(id)), utf8.Text(id)) << int{code} << " " << id;
    }
  }
}

// A translation that lost or reordered a placeholder would fill the wrong value in.
TEST(Catalogue, everyLanguageHasTheSamePlaceholdersInTheSameOrder) {
  for (const auto id : AllEntries()) {
    const auto english = Placeholders(SourceText(LanguageEnglish, id));
    EXPECT_EQ(Placeholders(SourceText(LanguageFrench, id)), english) << id;
    EXPECT_EQ(Placeholders(SourceText(LanguageGerman, id)), english) << id;
  }
}

TEST(ChooseLanguage, takesFrenchForEveryFrenchLocaleAndGermanOtherwise) {
  test::RecordingPlatform platform;
  // Then German, English (also when the system has none), Italian, Romansh, and the primary
  // language 0x20C, not French: all 10 bits count.
  for (const std::uint32_t id : {0x040Cu, 0x100Cu, 0x0C0Cu, 0x0001040Cu}) {
    platform.localeId = id;
    EXPECT_EQ(ChooseLanguage(), LanguageFrench) << std::hex << id;
  }
  for (const std::uint32_t id : {0x0807u, 0x0407u, 0x0409u, 0x0410u, 0x0417u, 0x020Cu}) {
    platform.localeId = id;
    EXPECT_EQ(ChooseLanguage(), LanguageGerman) << std::hex << id;
  }
}

}  // namespace
}  // namespace qv

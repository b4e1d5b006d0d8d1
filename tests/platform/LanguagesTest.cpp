#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "dialog/languages/Languages.h"
#include "dialog/languages/Latin1.h"
#include "dialog/languages/MessageCatalogue.h"

namespace qv {
namespace {

constexpr TLanguageCode kLanguages[] = {LanguageGerman, LanguageFrench, LanguageEnglish};

std::vector<TMsg> AllEntries() {
  std::vector<TMsg> ids;
  for (int id = msgFileNotDeletable; id <= msgNo; ++id) ids.push_back(static_cast<TMsg>(id));
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

TEST(SetLanguage, replacesAll66EntriesWhenTheLanguageChanges) {
  for (const auto code : {LanguageFrench, LanguageEnglish, LanguageGerman, LanguageFrench}) {
    SetLanguage(code);
    for (const auto id : AllEntries()) {
      EXPECT_FALSE(Msg(id).empty()) << "language " << int{code} << " entry " << id;
      EXPECT_EQ(Msg(id), SourceText(code, id)) << "language " << int{code} << " entry " << id;
    }
  }
}

TEST(SetLanguage, takesGermanForEveryCodeButFrenchAndEnglish) {
  for (const TLanguageCode code : {0, 1, 3, 5, 255}) {
    SetLanguage(LanguageFrench);
    SetLanguage(code);
    EXPECT_EQ(Msg(msgYes), "Ja") << int{code};
  }
  SetLanguage(LanguageFrench);
  EXPECT_EQ(Msg(msgYes), "Oui");
  SetLanguage(LanguageEnglish);
  EXPECT_EQ(Msg(msgYes), "Yes");
}

TEST(SetLanguage, givesTheGermanTextsByteForByte) {
  SetLanguage(LanguageGerman);
  EXPECT_EQ(Msg(msgFileNotDeletable).substr(0, 5), "Datei");
  EXPECT_EQ(Msg(msgDone), "OK, fertig");
  EXPECT_EQ(Msg(msgInvalidNumber), "Ung\xC3\xBCltige Zahl");
  EXPECT_EQ(Msg(msgGridResolution), "Die Aufl\xC3\xB6sung des Gitters muss 1 m sein. ");
  EXPECT_EQ(Msg(msgMissingFilesPrompt),
            "Nur %d von %d NHM Dateien vorhanden.\r"
            "F\xC3\xBCr fehlende Kacheln \"Dummy\"-Dateien verwenden?");
  EXPECT_EQ(Msg(msgFltByteOrder),
            "Die DLL kann nur *.flt Dateien mit dem Zahlenformat "
            "\"Least significant byte first\" lesen");
  EXPECT_EQ(Msg(msgWritingShapefiles), "Shapefiles schreiben...");
  EXPECT_EQ(Msg(msgNo), "Nein");
  EXPECT_EQ(Msg(msgBtnCancel), "Abbrechen");
}

TEST(SetLanguage, givesTheFrenchTextsByteForByte) {
  SetLanguage(LanguageFrench);
  EXPECT_EQ(Msg(msgDone), "OK, termin\xC3\xA9");
  EXPECT_EQ(Msg(msgCannotCreateDir), "Erreur: Impossible de Cr\xC3\xA9" "er le r\xC3\xA9pertoire");
  EXPECT_EQ(Msg(msgGridResolution), "La r\xC3\xA9solution de la grille doit \xC3\xAAtre 1 m. ");
  EXPECT_EQ(Msg(msgFileNotFound), "Le fichier \"%s\" n'existe pas");
  EXPECT_EQ(Msg(msgShapefileWriteError), "Error writing shapefile ");
  EXPECT_EQ(Msg(msgFltByteOrder),
            "Le DLL ne peut lire que les fichiers *.flt avec des chiffres en format "
            "\"Least significant byte first\"");
  EXPECT_EQ(Msg(msgMissingFilesPrompt),
            "Seulement %d de %d fichiers MNH sont disponibles.\r"
            "Utiliser des fichiers \"dummy\" pour les tuiles manquantes?");
  EXPECT_EQ(Msg(msgTileProgress), "Tuile %d ligne %d, %d%%");
  EXPECT_EQ(Msg(msgBtnCancel), "Annuler");
}

TEST(SetLanguage, givesTheEnglishTextsByteForByte) {
  SetLanguage(LanguageEnglish);
  EXPECT_EQ(Msg(msgFileNotDeletable),
            "file \"%s\"\rcannot be deleted\rcheck that it is now write-protected!");
  EXPECT_EQ(Msg(msgDone), "OK, done");
  EXPECT_EQ(Msg(msgWindowTitle),
            "Quelvaris bois\xC3\xA9s: Calculate the wooded fraction (vs. 1.50)");
  EXPECT_EQ(Msg(msgHeightModelErrors),
            "The processing of the DHM has produced errors, the results may not be correct.");
  EXPECT_EQ(Msg(msgFltByteOrder),
            "The DLL can only read *.flt files with numbers in then format "
            "\"Least significant byte first\"");
  EXPECT_EQ(Msg(msgTiles), "Tiles ");
  EXPECT_EQ(Msg(msgTileProcessingError), "DLL: error processing tiles...");
  EXPECT_EQ(Msg(msgYes), "Yes");
  EXPECT_EQ(Msg(msgBtnCancel), "Cancel");
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
  struct Case {
    std::uint32_t localeId;
    TLanguageCode expected;
  };
  const Case cases[] = {
      {0x040C, LanguageFrench},  // France
      {0x100C, LanguageFrench},  // Switzerland
      {0x0C0C, LanguageFrench},  // Canada
      {0x0001040C, LanguageFrench},  // France with another sort order
      {0x0807, LanguageGerman},  // German, Switzerland
      {0x0407, LanguageGerman},
      {0x0409, LanguageGerman},  // English, United States (also when the system has none)
      {0x0410, LanguageGerman},  // Italian
      {0x0417, LanguageGerman},  // Romansh
      {0x020C, LanguageGerman},  // primary language 0x20C, not French: all 10 bits count
  };
  for (const auto& c : cases) {
    platform.localeId = c.localeId;
    EXPECT_EQ(ChooseLanguage(), c.expected) << std::hex << c.localeId;
  }
}

}  // namespace
}  // namespace qv

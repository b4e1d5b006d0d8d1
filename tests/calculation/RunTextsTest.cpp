// What a run shows, word for word, in each language of the catalogue: message boxes, the
// missing-tiles prompt and the status texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "WholeRun.h"
#include "dialog/prompt/IncompleteFilesDialog.h"
#include "platform/FileFaults.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

struct TRunTexts {
  const char* Name;
  TLanguageCode Language;
  // Texts with a placeholder are given as the part before and the part after it.
  std::string FileNotFound[2];
  std::string ReadError[2];
  std::string MissingTitle;
  std::string Prompt3Of4;
  std::string Yes, No;
  std::string WindowTitle;
  std::string GridResolution;
  std::string ByteOrder;
  std::string NoPolygons;
  std::string WriteError;
  std::string Writing, Done, Failed;
  std::string Tile, Line;
};

const TRunTexts English{
    "English",
    LanguageEnglish,
    {"File not found: \"", "\""},
    {"Error reading file \"", "\""},
    "Missing files",
    "Only 3 out of 4 NHM files found.\rUse dummy files for missing files?",
    "Yes",
    "No",
    "Quelvaris boisés: Calculate the wooded fraction (vs. 1.50)",
    "Grid resolution must be 1 m",
    "The DLL can only read *.flt files with numbers in then format \"Least significant byte "
    "first\"",
    "There are no polygons: Shapefile not written.",
    "Error writing shapefile ",
    "Writing shapefiles..",
    "Processing of NHM terminated",
    "DLL: error processing tiles...",
    "Tile",
    "line"};

const TRunTexts French{
    "French",
    LanguageFrench,
    {"Le fichier \"", "\" n'existe pas"},
    {"Erreur dans la lecture du fichier \"", "\""},
    "Fichiers manquants",
    "Seulement 3 de 4 fichiers MNH sont disponibles.\rUtiliser des fichiers \"dummy\" pour les "
    "tuiles manquantes?",
    "Oui",
    "Non",
    "Quelvaris boisés: Calcul du taux de boisement (vs. 1.50)",
    "La résolution de la grille doit être 1 m. ",
    "Le DLL ne peut lire que les fichiers *.flt avec des chiffres en format \"Least significant "
    "byte first\"",
    "Il n'y a pas de polygones: le shapefile n'est pas écrit.",
    "Error writing shapefile ",
    "Ecrire les shapefiles..",
    "Traitement du MNH terminé",
    "DLL: erreur dans le traitement des tuiles",
    "Tuile",
    "ligne"};

const TRunTexts German{
    "German",
    LanguageGerman,
    {"Datei \"", "\" nicht gefunden"},
    {"Fehler beim Lesen der Datei \"", "\""},
    "Fehlende Dateien",
    "Nur 3 von 4 NHM Dateien vorhanden.\rFür fehlende Kacheln \"Dummy\"-Dateien verwenden?",
    "Ja",
    "Nein",
    "Berechnung des Bestockungsanteils für Sorvelden (vs. 1.50)",
    "Die Auflösung des Gitters muss 1 m sein. ",
    "Die DLL kann nur *.flt Dateien mit dem Zahlenformat \"Least significant byte first\" lesen",
    "Keine Polygone: Das Shapefile wird nicht geschrieben.",
    "Fehler beim Schreiben des Shapefiles ",
    "Shapefiles schreiben...",
    "Verarbeitung des NHM beendet",
    "DLL: Fehler beim Verarbeiten der Kacheln",
    "Kachel",
    "Zeile"};

// Names the language when a test fails, rather than dumping the texts' bytes.
void PrintTo(const TRunTexts& texts, std::ostream* out) { *out << texts.Name; }

std::string Around(const std::string (&parts)[2], const std::string& value) {
  return parts[0] + value + parts[1];
}

class RunTexts : public ::testing::TestWithParam<TRunTexts> {
 protected:
  // A run over the 2 x 2 pasture block in the language under test.
  std::unique_ptr<TWholeRun> NewRun(std::uint8_t filetype = NhmAsciiGrid) {
    auto run = std::make_unique<TWholeRun>(filetype);
    SetLanguage(GetParam().Language);
    EXPECT_EQ(run->Lay(PastureWindow(WestX12 - 30, NorthY13 + 20)), 4);
    run->WriteTiles();
    return run;
  }
  std::string Progress(int tile, int line, int percent) const {
    return GetParam().Tile + " " + std::to_string(tile) + " " + GetParam().Line + " " +
           std::to_string(line) + ", " + std::to_string(percent) + "%";
  }
};

TEST_P(RunTexts, missingFilesAndThePrompt) {
  const TRunTexts& t = GetParam();
  auto run = NewRun();
  fs::remove(run->TileFile(0, 1));
  run->platform.answers = {TQuestionResult::No};
  EXPECT_FALSE(run->Run());
  ASSERT_EQ(run->platform.messages.size(), 2u);
  EXPECT_EQ(run->platform.messages[0].text, Around(t.FileNotFound, run->TileFile(0, 1)));
  EXPECT_EQ(run->platform.messages[1].title, t.MissingTitle);
  EXPECT_EQ(run->platform.messages[1].text, t.Prompt3Of4);
  const TIncompleteFilesDialog prompt;
  EXPECT_EQ(prompt.btnYes, t.Yes);
  EXPECT_EQ(prompt.btnNo, t.No);
}

TEST_P(RunTexts, tileFailuresAndTheStatusTexts) {
  const TRunTexts& t = GetParam();
  auto run = NewRun();
  EditHeaderLine(run->TileFile(0, 1), "ncols", "ncols 0");
  EXPECT_FALSE(run->Run());
  EXPECT_EQ(run->platform.Texts(),
            std::vector<std::string>{Around(t.ReadError, run->TileFile(0, 1))});
  // Tile 1 counts all its rows, 0 to 2999, those north of the extent included.
  const auto& texts = run->status.texts;
  ASSERT_EQ(texts.size(), 60u + 3u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3),
            (std::vector<std::string>{Progress(1, 0, 0), Progress(1, 50, 1), Progress(1, 100, 3)}));
  EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
            (std::vector<std::string>{Progress(1, 2950, 98), t.Writing, t.Done, t.Failed}));
}

TEST_P(RunTexts, gridResolutionAndEmptyLayers) {
  const TRunTexts& t = GetParam();
  auto run = NewRun();
  run->cellSizeText = "2";
  run->WriteTiles();
  EXPECT_FALSE(run->Run());
  EXPECT_EQ(run->calc.ResultStatus, 0);  // failed, although both layers are empty
  EXPECT_EQ(run->platform.Texts(),
            (std::vector<std::string>{t.WindowTitle + "\r" + t.GridResolution, t.NoPolygons,
                                      t.NoPolygons}));
  EXPECT_EQ(run->platform.beeps, 3);
  EXPECT_EQ(run->status.texts.back(), t.Failed);
}

TEST_P(RunTexts, byteOrderAndTheEndOfAFloatGrid) {
  const TRunTexts& t = GetParam();
  auto run = NewRun(NhmFloatGrid);
  EditHeaderLine(run->TileFile(0, 0), "byteorder", "byteorder msbfirst");
  EXPECT_FALSE(run->Run());
  EXPECT_EQ(run->calc.ResultStatus, 0);
  EXPECT_EQ(run->platform.Texts(),
            (std::vector<std::string>{t.ByteOrder, Around(t.ReadError, run->TileFile(0, 0)),
                                      t.NoPolygons, t.NoPolygons}));

  // Texts of this library beyond the original catalogue: filled in, and in the run's language.
  EditHeaderLine(run->TileFile(0, 0), "nrows", "nrows 9000");
  EditHeaderLine(run->TileFile(0, 0), "byteorder", "byteorder lsbfirst");
  const std::string text = NhmErrorOf([&] { run->Run(); });
  EXPECT_NE(text.find(ReplaceExtension(run->TileFile(0, 0), ".flt")), std::string::npos) << text;
  if (t.Language != LanguageEnglish) {
    EXPECT_EQ(text.find("Unexpected end of data"), std::string::npos) << text;
  }
}

TEST_P(RunTexts, aLayerThatCannotBeWritten) {
  const TRunTexts& t = GetParam();
  auto run = NewRun();
  ASSERT_TRUE(run->Run());
  const TScopedFileFaults held([&](TFileStep step, const std::string& path) {
    return step != TFileStep::Rename || path != run->CrownLayer();
  });
  run->platform.Clear();
  EXPECT_FALSE(run->Run());
  EXPECT_EQ(run->platform.Texts(), (std::vector<std::string>{t.WriteError + run->CrownLayer(),
                                                             t.WriteError + run->WoodedLayer()}));
  EXPECT_EQ(run->status.texts.back(), t.Failed);
}

INSTANTIATE_TEST_SUITE_P(Languages, RunTexts, ::testing::Values(English, French, German),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace qv::test

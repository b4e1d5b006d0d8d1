// The texts of the catalogue in its three languages, and the process-wide catalogue.
//
// Texts are written in UTF-8 here; the Windows build turns them into its 8-bit code page when
// the language is set. "\r" breaks the line in a message box. Some texts keep the spelling
// and the trailing blanks that users and the host's scripts have always seen.
#include "catalogue/Languages.h"

#include <iterator>

#include "catalogue/MessageCatalogue.h"
#include "platform/Platform.h"

namespace qv {

namespace {

struct TEntryTexts {
  std::string_view English;
  std::string_view French;
  std::string_view German;
};

// Indexed by TMsg; entry 0 is unused.
constexpr TEntryTexts kTexts[] = {
    {},
    // 1-26: texts of the host's own processing; the library assigns them but never shows them.
    /* msgFileNotDeletable */
    {"file \"%s\"\rcannot be deleted\rcheck that it is now write-protected!",
     "Le fichier \"%s\"\rne peut pas être effacé\rVérifiez qu'il n'est pas protégé en écriture!",
     "Datei \"%s\"\rkann nicht gelöscht werden\rStellen Sie sicher, dass sie nicht "
     "schreibgeschützt ist!"},
    /* msgNoLayerSelected */
    {"No layer selected", "Aucune couche sélectionnée", "Kein Layer ausgewählt"},
    /* msgNotFeatureLayer */
    {"We don't have a feature layer (polygons)",
     "Ce n'est pas une couche d'entités (polygones)", "Kein Feature-Layer (Polygone)"},
    /* msgLayerWithoutPolygons */
    {"Layer does not contain polygons", "La couche ne contient pas de polygones",
     "Der Layer enthält keine Polygone"},
    /* msgNoSelectionAccess */
    {"Cannot access feature selection", "Impossible d'accéder à la sélection des entités",
     "Kein Zugriff auf die Feature-Auswahl"},
    /* msgNoFeatureSelected */
    {"No feature selected", "Aucune entité sélectionnée", "Kein Feature ausgewählt"},
    /* msgNoDatasetAccess */
    {"Cannot access dataset", "Impossible d'accéder au jeu de données",
     "Kein Zugriff auf das Dataset"},
    /* msgDatasourceMissing */
    {"The file \r%s\rdoes not exist.\rCheck if your datasource is a shapefile (it must be)!",
     "Le fichier \r%s\rn'existe pas.\rVérifiez que la source de données est un shapefile "
     "(elle doit l'être)!",
     "Die Datei \r%s\rexistiert nicht.\rPrüfen Sie, ob die Datenquelle ein Shapefile ist "
     "(sie muss es sein)!"},
    /* msgDone */
    {"OK, done", "OK, terminé", "OK, fertig"},
    /* msgLibraryError */
    {"Error in DLL quelvaris", "Erreur dans le DLL quelvaris", "Fehler in der DLL quelvaris"},
    /* msgWriteProtected */
    {"Error: File %s is write-protected, terminated",
     "Erreur: le fichier %s est protégé en écriture, terminé",
     "Fehler: Datei %s ist schreibgeschützt, abgebrochen"},
    /* msgHostProcessingTitle */
    {"Quelvaris: Processing by ArcMap", "Quelvaris: Traitement par ArcMap",
     "Quelvaris: Verarbeitung durch ArcMap"},
    /* msgHostBusy */
    {"ArcMap is busy.", "ArcMap est occupé.", "ArcMap ist beschäftigt."},
    /* msgAddingFields */
    {"adding fields", "ajout des champs", "Felder hinzufügen"},
    /* msgMerging */
    {"merging shapes", "combinaison des formes", "Formen zusammenführen"},
    /* msgDissolving */
    {"dissolving shapes", "fusion des formes", "Formen auflösen"},
    /* msgIntersecting */
    {"intersecting shapes", "intersection des formes", "Formen verschneiden"},
    /* msgUpdatingParcels */
    {"Calculating areas and updating parcel table",
     "Calcul des surfaces et mise à jour de la table des parcelles",
     "Flächen berechnen und Parzellentabelle aktualisieren"},
    /* msgCleaningUp */
    {"cleaning up temporary tables", "nettoyage des tables temporaires",
     "temporäre Tabellen aufräumen"},
    /* msgPleaseWait */
    {"Please wait.", "Veuillez patienter.", "Bitte warten."},
    /* msgGeoprocessorError */
    {"Error in Geoprocessor", "Erreur dans le Geoprocessor", "Fehler im Geoprocessor"},
    /* msgMerge */
    {"Merge", "Combiner", "Zusammenführen"},
    /* msgDissolve */
    {"Dissolve", "Fusionner", "Auflösen"},
    /* msgIntersect */
    {"Intersect", "Intersecter", "Verschneiden"},
    /* msgInvalidShape */
    {"Invalid shape or invalid area", "Forme ou surface non valide",
     "Ungültige Form oder ungültige Fläche"},
    /* msgCalculationTitle */
    {"Quelvaris: Calculation terminated", "Quelvaris: Calcul terminé",
     "Quelvaris: Berechnung beendet"},
    // 27-66: the texts the library shows, except 51, which is the host's.
    /* msgLblMinTreeHeight */
    {"Minimum height of wooded area", "Hauteur minimum du boisé",
     "Minimalhöhe der bestockten Fläche"},
    /* msgLblTreeRadiusParams */
    {"Parameters of the model of tree height:", "Paramètres du modèle du rayon de couronne:",
     "Parameter des Modells für den Kronenradius:"},
    /* msgLblNumCirclePoints */
    {"Order of polygons approximating circle:", "Ordre des polygones approximant les cercles:",
     "Kreise als Polygone vom Grad:"},
    /* msgLblMinClearingArea */
    {"Limit for non-wooded surface", "Limite pour la surface non-boisée",
     "Limite für nicht-bestockte Flächen"},
    /* msgLblMinWoodedArea */
    {"Limit for wooded surface", "Limite pour la surface boisée", "Limite für bestockte Flächen"},
    /* msgLblNhmFiletype */
    {"NHM file type:", "Type du fichier MNH:", "Dateityp für das NHM:"},
    /* msgFiletypeAscii */
    {"ASCII (*.txt)", "ASCII (*.txt)", "ASCII (*.txt)"},
    /* msgFiletypeBinary */
    {"Binary (*.flt and *.hdr)", "Binaire (*.flt et *.hdr)", "Binär (*.flt und *.hdr)"},
    /* msgLblNhmDir */
    {"NHM directory:", "Répertoire des fichiers MNH:", "Verzeichnis für die NHM-Dateien:"},
    /* msgLblNhmNomenclature */
    {"Nomenclature of NHM file names:", "Nomenclature des fichiers MNH:",
     "Nomenklatur der NHM-Dateien:"},
    /* msgLblNhmPrefix */
    {"prefix", "préfix", "Präfix"},
    /* msgLblMapNumber */
    {"No. of map", "no.carte", "Nr. Karte"},
    /* msgLblTileNumber */
    {"No. of tile", "no.tuile", "Nr. Kachel"},
    /* msgLblNhmSuffix */
    {"suffix", "suffix", "Suffix"},
    /* msgBtnResetDefaults */
    {"Reset to default parameters", "Remettre les paramètres aux valeurs standard",
     "Parameter auf Standard-Werte zurücksetzen"},
    /* msgBtnCalculate */
    {"calculate the wooded fraction", "Calculer le taux de boisement",
     "Bestockungsanteil berechnen"},
    /* msgBtnCancel */
    {"Cancel", "Annuler", "Abbrechen"},
    /* msgTopLeftTile */
    {"Upper left corner: Tile No %d", "Coin gauche à haut: Tuile No %d",
     "Ecke links oben: Kachel Nr %d"},
    /* msgTiles */
    {"Tiles ", "Tuiles ", "Kacheln "},
    /* msgInvalidNumber */
    {"Invalid number", "Valeur numérique non valide", "Ungültige Zahl"},
    /* msgSettingsWriteError */
    {"Error writing file \"quelvaris.ini\"", "Erreur en écrivant le fichier \"quelvaris.ini\"",
     "Fehler beim Schreiben der Datei \"quelvaris.ini\""},
    /* msgErrorMessage */
    {"Error message:", "Message d'erreur:", "Fehlermeldung:"},
    /* msgExample */
    {"Example: ", "Exemple: ", "Beispiel: "},
    /* msgWindowTitle */
    {"Quelvaris boisés: Calculate the wooded fraction (vs. 1.50)",
     "Quelvaris boisés: Calcul du taux de boisement (vs. 1.50)",
     "Berechnung des Bestockungsanteils für Sorvelden (vs. 1.50)"},
    /* msgHeightModelErrors (host) */
    {"The processing of the DHM has produced errors, the results may not be correct.",
     "Le traitement du MNH a produit des erreurs, les résultats peuvent être incorrects.",
     "Die Verarbeitung des DHM hat Fehler ergeben, die Resultate sind möglicherweise nicht "
     "korrekt."},
    /* msgNoPolygons */
    {"There are no polygons: Shapefile not written.",
     "Il n'y a pas de polygones: le shapefile n'est pas écrit.",
     "Keine Polygone: Das Shapefile wird nicht geschrieben."},
    /* msgFileNotFound */
    {"File not found: \"%s\"", "Le fichier \"%s\" n'existe pas", "Datei \"%s\" nicht gefunden"},
    /* msgShapefileWriteError */
    {"Error writing shapefile ", "Error writing shapefile ",
     "Fehler beim Schreiben des Shapefiles "},
    /* msgWritingShapefiles */
    {"Writing shapefiles..", "Ecrire les shapefiles..", "Shapefiles schreiben..."},
    /* msgHeightModelDone */
    {"Processing of NHM terminated", "Traitement du MNH terminé", "Verarbeitung des NHM beendet"},
    /* msgTileProcessingError */
    {"DLL: error processing tiles...", "DLL: erreur dans le traitement des tuiles",
     "DLL: Fehler beim Verarbeiten der Kacheln"},
    /* msgTileProgress */
    {"Tile %d line %d, %d%%", "Tuile %d ligne %d, %d%%", "Kachel %d Zeile %d, %d%%"},
    /* msgCannotCreateDir */
    {"Error: Cannot create directory", "Erreur: Impossible de Créer le répertoire",
     "Fehler: Verzeichnis kann nicht erzeugt werden!"},
    /* msgReadError */
    {"Error reading file \"%s\"", "Erreur dans la lecture du fichier \"%s\"",
     "Fehler beim Lesen der Datei \"%s\""},
    /* msgGridResolution */
    {"Grid resolution must be 1 m", "La résolution de la grille doit être 1 m. ",
     "Die Auflösung des Gitters muss 1 m sein. "},
    /* msgFltByteOrder */
    {"The DLL can only read *.flt files with numbers in then format "
     "\"Least significant byte first\"",
     "Le DLL ne peut lire que les fichiers *.flt avec des chiffres en format "
     "\"Least significant byte first\"",
     "Die DLL kann nur *.flt Dateien mit dem Zahlenformat \"Least significant byte first\" "
     "lesen"},
    /* msgMissingFilesTitle */
    {"Missing files", "Fichiers manquants", "Fehlende Dateien"},
    /* msgMissingFilesPrompt */
    {"Only %d out of %d NHM files found.\rUse dummy files for missing files?",
     "Seulement %d de %d fichiers MNH sont disponibles.\rUtiliser des fichiers \"dummy\" pour "
     "les tuiles manquantes?",
     "Nur %d von %d NHM Dateien vorhanden.\rFür fehlende Kacheln \"Dummy\"-Dateien verwenden?"},
    /* msgYes */
    {"Yes", "Oui", "Ja"},
    /* msgNo */
    {"No", "Non", "Nein"},
    // 67 on: texts of this library beyond the original catalogue.
    /* msgNoFiletype */
    {"Please choose the NHM file type", "Veuillez choisir le type du fichier MNH",
     "Bitte wählen Sie den Dateityp für das NHM"},
    /* msgUnknownFiletype */
    {"Unknown NHM file type %d: only ASCII grids (0) and binary float grids (1) can be read.",
     "Type de fichier MNH inconnu %d: seules les grilles ASCII (0) et les grilles binaires (1) "
     "peuvent être lues.",
     "Unbekannter Dateityp %d für das NHM: nur ASCII-Gitter (0) und binäre Gitter (1) können "
     "gelesen werden."},
    /* msgUnexpectedEndOfData */
    {"Unexpected end of data in file \"%s\"", "Fin inattendue des données dans le fichier \"%s\"",
     "Unerwartetes Ende der Daten in der Datei \"%s\""},
    /* msgOutOfMemory */
    {"Not enough memory for this extent: choose a smaller one.",
     "Mémoire insuffisante pour cette étendue: choisissez-en une plus petite.",
     "Zu wenig Speicher für diesen Ausschnitt: Wählen Sie einen kleineren."},
    /* msgLayerIncomplete */
    {"%d polygons could not be written to the shapefile \"%s\": the result is incomplete.",
     "%d polygones n'ont pas pu être écrits dans le shapefile \"%s\": le résultat est "
     "incomplet.",
     "%d Polygone konnten nicht in das Shapefile \"%s\" geschrieben werden: Das Resultat ist "
     "unvollständig."},
    /* msgRadiusSlope */
    {"Crown radius slope", "Pente du rayon de couronne", "Steigung des Kronenradius"},
    /* msgRadiusIntercept */
    {"Crown radius intercept", "Ordonnée à l'origine du rayon de couronne",
     "Achsenabschnitt des Kronenradius"},
    /* msgRangeFromTo */
    {"(%s to %s)", "(%s à %s)", "(%s bis %s)"},
    /* msgRangeAtLeast */
    {"(%s or more)", "(%s ou plus)", "(%s oder mehr)"},
    /* msgRangeAbove */
    {"(more than %s)", "(supérieur à %s)", "(grösser als %s)"},
    /* msgExtentOutsideGrid */
    {"The upper left corner of the extent lies outside the map sheets: there is no tile to "
     "calculate.",
     "Le coin supérieur gauche de l'étendue est en dehors des feuilles de carte: il n'y a "
     "aucune tuile à calculer.",
     "Die linke obere Ecke des Ausschnitts liegt ausserhalb der Kartenblätter: Es gibt keine "
     "Kachel zu berechnen."},
    /* msgExtentInverted */
    {"The extent is inverted (a minimum above its maximum): there is no tile to calculate.",
     "L'étendue est inversée (un minimum supérieur à son maximum): il n'y a aucune tuile à "
     "calculer.",
     "Der Ausschnitt ist vertauscht (ein Minimum grösser als sein Maximum): Es gibt keine "
     "Kachel zu berechnen."},
    /* msgExtentTooLarge */
    {"The extent covers more tiles than a run can process: there is no tile to calculate.",
     "L'étendue couvre plus de tuiles qu'un calcul ne peut traiter: il n'y a aucune tuile à "
     "calculer.",
     "Der Ausschnitt umfasst mehr Kacheln, als eine Berechnung verarbeiten kann: Es gibt keine "
     "Kachel zu berechnen."},
    /* msgLayerTooLarge */
    {"The shapefile \"%s\" would pass the 4 GB limit of the format: choose a smaller extent or "
     "a higher \"Minimum height of wooded area\".",
     "Le shapefile \"%s\" dépasserait la limite de 4 Go du format: choisissez une étendue plus "
     "petite ou une \"Hauteur minimum du boisé\" plus grande.",
     "Das Shapefile \"%s\" würde die Grenze des Formats von 4 GB überschreiten: Wählen Sie einen "
     "kleineren Ausschnitt oder eine grössere \"Minimalhöhe der bestockten Fläche\"."},
    /* msgExtentMixedFrames */
    {"The extent lies partly in LV03 and partly in LV95 coordinates (LV95 has x from 2000000 and "
     "y from 1000000): there is no tile to calculate.",
     "L'étendue est en partie en coordonnées LV03 et en partie en LV95 (en LV95, x dès 2000000 "
     "et y dès 1000000): il n'y a aucune tuile à calculer.",
     "Der Ausschnitt liegt teils in LV03- und teils in LV95-Koordinaten (in LV95 ist x ab "
     "2000000 und y ab 1000000): Es gibt keine Kachel zu berechnen."},
    /* msgTileInOtherFrame */
    {"The height-model file \"%s\" has %s coordinates, the extent %s coordinates: give the "
     "height model in the frame of the extent.",
     "Le fichier du modèle de hauteur \"%s\" a des coordonnées %s, l'étendue des coordonnées "
     "%s: donnez le modèle de hauteur dans le cadre de l'étendue.",
     "Die Höhenmodell-Datei \"%s\" hat %s-Koordinaten, der Ausschnitt %s-Koordinaten: Geben "
     "Sie das Höhenmodell im Bezugsrahmen des Ausschnitts an."},
};
static_assert(std::size(kTexts) == msgCount_, "one line of texts per catalogue entry");

TMessageCatalogue& Catalogue() {
  static TMessageCatalogue catalogue;
  return catalogue;
}

}  // namespace

std::string_view SourceText(TLanguageCode code, TMsg id) {
  if (id <= 0 || id >= msgCount_) return {};
  const auto& entry = kTexts[id];
  if (code == LanguageFrench) return entry.French;
  if (code == LanguageEnglish) return entry.English;
  return entry.German;
}

TLanguageCode ChooseLanguage() {
  constexpr std::uint32_t kPrimaryLanguageMask = 0x3FF;
  constexpr std::uint32_t kFrench = 0x0C;
  return (Platform().RecordedLocale() & kPrimaryLanguageMask) == kFrench ? LanguageFrench
                                                                         : LanguageGerman;
}

void SetLanguage(TLanguageCode code) { Catalogue().SetLanguage(code, NativeTextEncoding); }

const std::string& Msg(TMsg id) { return Catalogue().Text(id); }

}  // namespace qv

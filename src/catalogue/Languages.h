// The message catalogue: every text the library shows, in German, French and English.
//
// 66 entries in catalogue order. They are empty until SetLanguage first runs; message boxes
// read them when shown, so they always appear in the language of the current run. On POSIX
// the texts are UTF-8, on Windows 8-bit Windows Latin-1.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

// Identifiers in catalogue order (1..66).
enum TMsg : int {
  msgFileNotDeletable = 1,
  msgNoLayerSelected,
  msgNotFeatureLayer,
  msgLayerWithoutPolygons,
  msgNoSelectionAccess,
  msgNoFeatureSelected,
  msgNoDatasetAccess,
  msgDatasourceMissing,
  msgDone,
  msgLibraryError,
  msgWriteProtected,
  msgHostProcessingTitle,
  msgHostBusy,
  msgAddingFields,
  msgMerging,
  msgDissolving,
  msgIntersecting,
  msgUpdatingParcels,
  msgCleaningUp,
  msgPleaseWait,
  msgGeoprocessorError,
  msgMerge,
  msgDissolve,
  msgIntersect,
  msgInvalidShape,
  msgCalculationTitle,
  msgLblMinTreeHeight,  // 27
  msgLblTreeRadiusParams,
  msgLblNumCirclePoints,
  msgLblMinClearingArea,
  msgLblMinWoodedArea,
  msgLblNhmFiletype,
  msgFiletypeAscii,
  msgFiletypeBinary,
  msgLblNhmDir,
  msgLblNhmNomenclature,
  msgLblNhmPrefix,
  msgLblMapNumber,
  msgLblTileNumber,
  msgLblNhmSuffix,
  msgBtnResetDefaults,
  msgBtnCalculate,
  msgBtnCancel,
  msgTopLeftTile,
  msgTiles,
  msgInvalidNumber,
  msgSettingsWriteError,
  msgErrorMessage,
  msgExample,
  msgWindowTitle,  // 50
  msgHeightModelErrors,
  msgNoPolygons,
  msgFileNotFound,
  msgShapefileWriteError,
  msgWritingShapefiles,
  msgHeightModelDone,
  msgTileProcessingError,
  msgTileProgress,
  msgCannotCreateDir,
  msgReadError,
  msgGridResolution,
  msgFltByteOrder,
  msgMissingFilesTitle,
  msgMissingFilesPrompt,
  msgYes,
  msgNo,  // 66
  // Texts of this library beyond the original 66 follow from 67 on.
  msgNoFiletype,  // Calculate with no NHM file type chosen
  msgUnknownFiletype,      // a file type index that is neither ASCII nor binary
  msgUnexpectedEndOfData,  // a float grid ends inside rows that must be skipped
  msgOutOfMemory,          // the run cannot hold its polygons
  msgLayerIncomplete,      // broken polygons left out of a layer
  // Where no window shows the focus or the tile layout (the batch view, the host program).
  msgRadiusSlope,        // caption of the crown radius's slope field
  msgRadiusIntercept,    // caption of the crown radius's intercept field
  msgRangeFromTo,        // an accepted range with both limits
  msgRangeAtLeast,       // an accepted range from a limit on, the limit included
  msgRangeAbove,         // an accepted range above a limit
  msgExtentOutsideGrid,  // no tile layout: the upper left corner lies outside the sheets
  msgExtentInverted,     // no tile layout: a minimum above its maximum
  msgExtentTooLarge,     // no tile layout: too many tiles
  msgLayerTooLarge,        // a layer would pass the shapefile format's size limit
  msgExtentMixedFrames,    // no tile layout: the extent's coordinates are partly LV03, partly LV95
  msgTileInOtherFrame,     // a tile's header in LV03 for an LV95 extent, or the other way round
  msgCount_
};

using TLanguageCode = std::uint8_t;
inline constexpr TLanguageCode LanguageGerman = 1;
inline constexpr TLanguageCode LanguageFrench = 2;
inline constexpr TLanguageCode LanguageEnglish = 4;

// 2 (French) when the primary language of the locale recorded at library load is French,
// 1 (German) for every other locale. English is never chosen.
TLanguageCode ChooseLanguage();

// Assigns all texts for the language: 2 French, 4 English, anything else German.
void SetLanguage(TLanguageCode code);

// The current text of an entry (empty before the first SetLanguage).
const std::string& Msg(TMsg id);

}  // namespace qv

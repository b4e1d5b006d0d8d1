// The identifiers of the catalogue as the source names them, for programs that read a run.
//
// A name is part of the host program's event stream and of its catalogue listing: programs
// recognise a message by it in any language, so a name never changes once given.
#include <iterator>

#include "catalogue/Message.h"

namespace qv {

namespace {

struct TNamedEntry {
  TMsg Id;
  std::string_view Name;
};

#define QV_ENTRY(id) {id, #id}
constexpr TNamedEntry kNames[] = {
    {},
    QV_ENTRY(msgFileNotDeletable),
    QV_ENTRY(msgNoLayerSelected),
    QV_ENTRY(msgNotFeatureLayer),
    QV_ENTRY(msgLayerWithoutPolygons),
    QV_ENTRY(msgNoSelectionAccess),
    QV_ENTRY(msgNoFeatureSelected),
    QV_ENTRY(msgNoDatasetAccess),
    QV_ENTRY(msgDatasourceMissing),
    QV_ENTRY(msgDone),
    QV_ENTRY(msgLibraryError),
    QV_ENTRY(msgWriteProtected),
    QV_ENTRY(msgHostProcessingTitle),
    QV_ENTRY(msgHostBusy),
    QV_ENTRY(msgAddingFields),
    QV_ENTRY(msgMerging),
    QV_ENTRY(msgDissolving),
    QV_ENTRY(msgIntersecting),
    QV_ENTRY(msgUpdatingParcels),
    QV_ENTRY(msgCleaningUp),
    QV_ENTRY(msgPleaseWait),
    QV_ENTRY(msgGeoprocessorError),
    QV_ENTRY(msgMerge),
    QV_ENTRY(msgDissolve),
    QV_ENTRY(msgIntersect),
    QV_ENTRY(msgInvalidShape),
    QV_ENTRY(msgCalculationTitle),
    QV_ENTRY(msgLblMinTreeHeight),
    QV_ENTRY(msgLblTreeRadiusParams),
    QV_ENTRY(msgLblNumCirclePoints),
    QV_ENTRY(msgLblMinClearingArea),
    QV_ENTRY(msgLblMinWoodedArea),
    QV_ENTRY(msgLblNhmFiletype),
    QV_ENTRY(msgFiletypeAscii),
    QV_ENTRY(msgFiletypeBinary),
    QV_ENTRY(msgLblNhmDir),
    QV_ENTRY(msgLblNhmNomenclature),
    QV_ENTRY(msgLblNhmPrefix),
    QV_ENTRY(msgLblMapNumber),
    QV_ENTRY(msgLblTileNumber),
    QV_ENTRY(msgLblNhmSuffix),
    QV_ENTRY(msgBtnResetDefaults),
    QV_ENTRY(msgBtnCalculate),
    QV_ENTRY(msgBtnCancel),
    QV_ENTRY(msgTopLeftTile),
    QV_ENTRY(msgTiles),
    QV_ENTRY(msgInvalidNumber),
    QV_ENTRY(msgSettingsWriteError),
    QV_ENTRY(msgErrorMessage),
    QV_ENTRY(msgExample),
    QV_ENTRY(msgWindowTitle),
    QV_ENTRY(msgHeightModelErrors),
    QV_ENTRY(msgNoPolygons),
    QV_ENTRY(msgFileNotFound),
    QV_ENTRY(msgShapefileWriteError),
    QV_ENTRY(msgWritingShapefiles),
    QV_ENTRY(msgHeightModelDone),
    QV_ENTRY(msgTileProcessingError),
    QV_ENTRY(msgTileProgress),
    QV_ENTRY(msgCannotCreateDir),
    QV_ENTRY(msgReadError),
    QV_ENTRY(msgGridResolution),
    QV_ENTRY(msgFltByteOrder),
    QV_ENTRY(msgMissingFilesTitle),
    QV_ENTRY(msgMissingFilesPrompt),
    QV_ENTRY(msgYes),
    QV_ENTRY(msgNo),
    QV_ENTRY(msgNoFiletype),
    QV_ENTRY(msgUnknownFiletype),
    QV_ENTRY(msgUnexpectedEndOfData),
    QV_ENTRY(msgOutOfMemory),
    QV_ENTRY(msgLayerIncomplete),
    QV_ENTRY(msgRadiusSlope),
    QV_ENTRY(msgRadiusIntercept),
    QV_ENTRY(msgRangeFromTo),
    QV_ENTRY(msgRangeAtLeast),
    QV_ENTRY(msgRangeAbove),
    QV_ENTRY(msgExtentOutsideGrid),
    QV_ENTRY(msgExtentInverted),
    QV_ENTRY(msgExtentTooLarge),
    QV_ENTRY(msgLayerTooLarge),
    QV_ENTRY(msgExtentMixedFrames),
    QV_ENTRY(msgTileInOtherFrame),
};
#undef QV_ENTRY

// Each name at its identifier's place: a forgotten or swapped line does not compile.
constexpr bool InCatalogueOrder() {
  for (int id = 1; id < msgCount_; ++id) {
    if (kNames[id].Id != id) return false;
  }
  return std::size(kNames) == msgCount_;
}
static_assert(InCatalogueOrder());

}  // namespace

std::string_view MsgName(TMsg id) {
  if (id <= 0 || id >= msgCount_) return {};
  return kNames[id].Name;
}

}  // namespace qv

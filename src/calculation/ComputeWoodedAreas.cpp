// One whole run: file check, the missing-tiles prompt, the tile pass, elimination, writing.
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "dialog/prompt/IncompleteFilesDialog.h"

namespace qv {

namespace {

void ShowStatus(IStatusSink* statusBar, TMsg id) {
  if (statusBar != nullptr) statusBar->SetText(Msg(id));
}

}  // namespace

bool TWoodedAreaCalculation::ComputeWoodedAreas() {
  std::int32_t found = 0;
  if (!CheckTileFiles(found)) return false;
  const std::int32_t total = Tiles.RowCount() * Tiles.ColumnCount();
  if (found >= 1 && found < total && !ConfirmMissingTiles(found, total)) return false;

  const bool error = !RunTilePass();

  ShowStatus(StatusBar, msgWritingShapefiles);
  ShowStatus(StatusBar, msgHeightModelDone);
  if (error) ShowStatus(StatusBar, msgTileProcessingError);
  ResultStatus = error ? 0 : 4;
  return !error;
}

}  // namespace qv

// One whole run: file check, the missing-tiles prompt, the tile pass, the final packs,
// elimination of small areas, the polygon filter, both layers written, the result code.
//
// The mesh and the crown circles exist only while a run is in here: they are freed on every
// way out, an exception from a reader or the row pass included, which then passes on to the
// dialog. Running out of memory is the one exception turned into a result: the user is told
// that the extent is too large and the run fails. Freeing itself cannot fail (destructors do not
// throw), so there is no message for a failed release.
#include <new>

#include "calculation/SmallAreaElimination.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Message.h"
#include "prompt/IncompleteFilesDialog.h"
#include "platform/Format.h"
#include "shapefile/CrownRecords.h"
#include "shapefile/LayerSet.h"
#include "shapefile/MeshRecords.h"

namespace qv {

namespace {

void ShowStatus(IStatusSink* statusBar, TMsg id) {
  if (statusBar != nullptr) statusBar->SetText(Msg(id));
}

// A layer that has polygons must be written whole; anything less fails the run, so the host
// never merges a stale or partial layer believing the run succeeded.
bool LayerComplete(const TShapeWriteResult& result, std::int64_t polygons,
                   const std::string& path) {
  if (result.LeftOut > 0) {
    Platform().Beep();
    ShowErrorMsg(msgLayerIncomplete, {std::int64_t{result.LeftOut}, std::string_view(path)});
    return false;
  }
  return polygons == 0 || result.Written;
}

// Frees the run's containers however the run ends.
struct TReleaseAtEnd {
  TRunState& state;
  ~TReleaseAtEnd() { state.Release(); }
};

}  // namespace

bool TWoodedAreaCalculation::ComputeWoodedAreas(const TTilePassOptions& options) {
  const TReleaseAtEnd releaseAtEnd{State};
  try {
    State.Begin();
    if (!TilesReady()) return false;
    const bool tilesDone = TilePass().Run(State, options);
    const bool layersWritten = WriteLayers();
    return Conclude(tilesDone, layersWritten);
  } catch (const std::bad_alloc&) {
    FailOutOfMemory();
    return false;
  }
}

bool TWoodedAreaCalculation::TilesReady() {
  std::int32_t found = 0;
  if (!TilePass().CheckTileFiles(found)) return false;
  const std::int32_t total = Tiles.RowCount() * Tiles.ColumnCount();
  return found < 1 || found >= total || ConfirmMissingTiles(found, total);
}

bool TWoodedAreaCalculation::WriteLayers() {
  // The crown circles are final now: their layer is written on a second thread while the
  // woods are finished. Both layers go in place together, or neither changes: never new woods
  // beside old crowns.
  TLayerSetWrite layerSet({Paths.WoodedShapePath, Paths.CrownShapePath});
  TCrownRecords crownRecords(*State.CrownCircles);
  crownRecords.ProjectionWkt = ProjectionWktOf(Tiles.Frame);
  layerSet.Start(1, crownRecords);
  FinishWoods();
  TMeshRecords woodedRecords(*State.FinishedPolygons);
  woodedRecords.ProjectionWkt = crownRecords.ProjectionWkt;
  const TLayerToSave layers[] = {{woodedRecords, Paths.WoodedShapePath},
                                 {crownRecords, Paths.CrownShapePath}};
  const auto written = layerSet.Finish(layers);
  // Both are judged, so that each incomplete layer is named.
  const bool woods =
      LayerComplete(written[0], State.FinishedPolygons->Count(), Paths.WoodedShapePath);
  const bool crowns =
      LayerComplete(written[1], State.CrownCircles->Count(), Paths.CrownShapePath);
  return woods && crowns;
}

void TWoodedAreaCalculation::FinishWoods() {
  T2DPolygonMesh& mesh = *State.PolygonMesh;
  mesh.Pack(0);
  CheckSmallNonWoodedAreas(mesh, Settings.Limits);
  RemoveSmallAndOpenPolygons(mesh, Settings.Limits);
  ShowStatus(StatusBar, msgWritingShapefiles);
  // The polygons still in the mesh join those that left it early; the mesh is not needed
  // any more and goes before the files are written.
  State.PolygonsFinishedEarly = State.FinishedPolygons->Count();
  State.FinishedPolygons->CaptureAll(mesh);
  State.PolygonMesh.reset();
}

bool TWoodedAreaCalculation::Conclude(bool tilesDone, bool layersWritten) {
  const bool error = !tilesDone || !layersWritten;
  ShowStatus(StatusBar, msgHeightModelDone);
  if (error) {
    ShowStatus(StatusBar, msgTileProcessingError);
    ResultStatus = 0;
    return false;
  }
  const bool noWoods = State.FinishedPolygons->Count() == 0;
  const bool noCrowns = State.CrownCircles->Count() == 0;
  ResultStatus = 1 + (noWoods ? 1 : 0) + (noCrowns ? 2 : 0);
  return true;
}

void TWoodedAreaCalculation::FailOutOfMemory() {
  // Free the run's objects first: the message box itself needs memory.
  State.Release();
  Platform().Beep();
  ShowErrorMsg(msgOutOfMemory);
  ShowStatus(StatusBar, msgTileProcessingError);
  ResultStatus = 0;
}

}  // namespace qv

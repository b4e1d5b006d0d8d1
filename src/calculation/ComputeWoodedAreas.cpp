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
#include "catalogue/Languages.h"
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
    Platform().ShowError(
        Format(Msg(msgLayerIncomplete), {std::int64_t{result.LeftOut}, std::string_view(path)}));
    return false;
  }
  return polygons == 0 || result.Written;
}

}  // namespace

bool TWoodedAreaCalculation::ComputeWoodedAreas() {
  // Frees the run's containers however the run ends.
  struct TRunContainers {
    TWoodedAreaCalculation& calculation;
    ~TRunContainers() {
      calculation.PolygonMesh.reset();
      calculation.CrownCircles.reset();
      calculation.FinishedPolygons.reset();
    }
  } runContainers{*this};

  try {
    BeginRun();
    PolygonsFinishedEarly = 0;
    std::int32_t found = 0;
    if (!CheckTileFiles(found)) return false;
    const std::int32_t total = Tiles.RowCount() * Tiles.ColumnCount();
    if (found >= 1 && found < total && !ConfirmMissingTiles(found, total)) return false;

    bool error = !RunTilePass(true);

    // The crown circles are final now: their layer is written on a second thread while the
    // woods are finished. Both layers go in place together, or neither changes: never new woods
    // beside old crowns.
    TLayerSetWrite layerSet({WoodedShapePath, CrownShapePath});
    TCrownRecords crownRecords(*CrownCircles);
    crownRecords.ProjectionWkt = ProjectionWktOf(Tiles.Frame);
    layerSet.Start(1, crownRecords);

    T2DPolygonMesh& mesh = *PolygonMesh;
    mesh.Pack(0);
    const TAreaLimits limits{MinClearingArea, MinWoodedArea};
    CheckSmallNonWoodedAreas(mesh, limits);
    RemoveSmallAndOpenPolygons(mesh, limits);

    ShowStatus(StatusBar, msgWritingShapefiles);
    // The polygons still in the mesh join those that left it early; the mesh is not needed
    // any more and goes before the files are written.
    PolygonsFinishedEarly = FinishedPolygons->Count();
    FinishedPolygons->CaptureAll(mesh);
    PolygonMesh.reset();
    const std::int64_t woods = FinishedPolygons->Count();
    TMeshRecords woodedRecords(*FinishedPolygons);
    woodedRecords.ProjectionWkt = crownRecords.ProjectionWkt;
    const TLayerToSave layers[] = {{woodedRecords, WoodedShapePath},
                                   {crownRecords, CrownShapePath}};
    const auto written = layerSet.Finish(layers);
    if (!LayerComplete(written[0], woods, WoodedShapePath)) error = true;
    if (!LayerComplete(written[1], CrownCircles->Count(), CrownShapePath)) error = true;
    ShowStatus(StatusBar, msgHeightModelDone);
    if (error) ShowStatus(StatusBar, msgTileProcessingError);

    if (error) {
      ResultStatus = 0;
    } else {
      ResultStatus = 1 + (woods == 0 ? 1 : 0) + (CrownCircles->Count() == 0 ? 2 : 0);
    }
    return !error;
  } catch (const std::bad_alloc&) {
    // Free the run's objects first: the message box itself needs memory.
    PolygonMesh.reset();
    CrownCircles.reset();
    FinishedPolygons.reset();
    Platform().Beep();
    Platform().ShowError(Msg(msgOutOfMemory));
    ShowStatus(StatusBar, msgTileProcessingError);
    ResultStatus = 0;
    return false;
  }
}

}  // namespace qv

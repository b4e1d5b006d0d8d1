// The layers of a run written as one: both in place, or neither changed.
//
// Every layer is checked first (no polygons, nothing that can be written, too large for the
// format). Then all are written under temporary names and swapped in together
// (TFileSetReplacement). A layer without polygons is not written at all: files of its name from
// an earlier run stay. A layer that cannot be written is refused before any file is created,
// unless another layer was started early (TLayerSetWrite::Start): then what that one wrote is
// removed again, and no layer file is changed either way.
//
// The user is told "There are no polygons" for an empty layer, the write error with the path of
// the layer that failed, and for a layer that cannot fit the format why, and what to change.
// Messages are shown on the calling thread, in layer order.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "shapefile/ShapeFile.h"

namespace qv {

class TFileSetReplacement;
class TWorkerThread;

struct TLayerToSave {
  const TRecordSource& Source;
  std::string Path;  // ends in ".shp"
};

// One result per layer, in order. Written is true for every layer with polygons when the swap
// succeeded, and false for all of them otherwise.
std::vector<TShapeWriteResult> SaveLayers(std::span<const TLayerToSave> layers);

// The same write, with one layer made while the others are still being made. A run's crown
// circles are final when the tile pass ends, its wooded polygons only after the elimination:
// the crown layer (70 MB a tile, and the wait for the disk) is written on a second thread
// meanwhile. The thread is joined in Finish, or by the destructor.
class TLayerSetWrite {
 public:
  explicit TLayerSetWrite(std::vector<std::string> layerPaths);
  ~TLayerSetWrite();
  TLayerSetWrite(const TLayerSetWrite&) = delete;
  TLayerSetWrite& operator=(const TLayerSetWrite&) = delete;

  // Layer i's records are final: it is measured and written under temporary names on a second
  // thread from now on. The source must not change until Finish. Where no thread can be had
  // (or the run's files cannot be claimed), the layer is done in Finish as any other.
  void Start(std::size_t i, const TRecordSource& source);
  // Measures and writes the layers not started, waits for the started one, tells the user what
  // could not be written and swaps all in, or none. layers holds every layer, in the order of
  // the paths, a started one with the source it was started with.
  std::vector<TShapeWriteResult> Finish(std::span<const TLayerToSave> layers);

 private:
  struct TLayer {
    std::unique_ptr<TShapeFile> Writer = std::make_unique<TShapeFile>();
    TShapeCheck Check = TShapeCheck::Empty;
    bool Measured = false;  // Check holds the measure's outcome
    bool Threw = false;     // measuring or writing ran out of memory
    bool Written = false;   // the temporaries are complete, synced and closed
    bool Started = false;   // on the second thread
    std::vector<std::string> Names;
  };

  // What the measures came to, as told to the user: the layers with polygons, whether one was
  // refused, and the layer that ran out of memory before its measure was done.
  struct TMeasures {
    std::vector<std::size_t> Ready;
    bool Refused = false;
    std::optional<std::size_t> Threw;
  };

  // Finish's steps, in order: the layers not started measured and, when all can be, written
  // (MeasureRest, WriteRest); the second thread joined and what it wrote adopted; the measures
  // told; the first layer not written complete, or the swap.
  std::vector<TShapeWriteResult> FinishLayers(std::span<const TLayerToSave> layers);
  bool MeasureRest(std::span<const TLayerToSave> sources);
  void WriteRest(std::span<const TLayerToSave> sources);
  void JoinStarted(std::size_t n);
  TMeasures TellMeasures(std::size_t n, std::vector<TShapeWriteResult>& results);
  std::optional<std::size_t> FirstUnwritten(const std::vector<std::size_t>& ready) const;
  std::vector<TShapeWriteResult> NoneWritten(std::size_t failed,
                                             const std::vector<std::size_t>& ready,
                                             std::vector<TShapeWriteResult>& results);
  void Measure(TLayer& layer, const TRecordSource& source) const;
  void WriteTemporaries(TLayer& layer, const TRecordSource& source) const;
  bool Claim();  // the run's marker and lock, once

  std::vector<std::string> paths_;
  std::vector<TLayer> layers_;
  TLocalDate date_;
  std::unique_ptr<TFileSetReplacement> files_;
  bool claimed_ = false;
  bool claimFailed_ = false;
  std::unique_ptr<TWorkerThread> worker_;  // last: joined before the rest goes
};

// What every entry that touches a project does first (a run's write, the dialog's start, the
// clean-up of temporary layers): what killed runs left beside these layers is put right, under
// the lock (their swaps undone, their files removed). False when that failed.
bool RecoverLayers(std::span<const std::string> layerPaths);

}  // namespace qv

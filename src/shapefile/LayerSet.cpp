#include "shapefile/LayerSet.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>

#include "catalogue/Message.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "platform/WorkerThread.h"
#include "shapefile/FileSetReplacement.h"

namespace qv {

namespace {

// The files of a layer that a swap may replace or remove.
constexpr const char* kLayerFiles[] = {".shp", ".shx", ".dbf", ".prj", ".sbn", ".sbx"};

void ReportWriteError(const std::string& path) {
  Platform().Beep();
  TMessage(TMessageKind::Error, msgShapefileWriteError, {path}).After(path).Show();
}

void ReportTooLarge(const std::string& path) {
  Platform().Beep();
  ShowErrorMsg(msgLayerTooLarge, {std::string_view(path)});
}

std::vector<std::string> FilesOf(std::span<const std::string> layerPaths) {
  std::vector<std::string> files;
  for (const std::string& path : layerPaths)
    for (const char* ext : kLayerFiles) files.push_back(ReplaceExtension(path, ext));
  return files;
}

// The index of the layer that a failed file belongs to, else the fallback.
std::size_t LayerOf(const std::string& file, const std::vector<std::string>& layers,
                    std::size_t fallback) {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    for (const char* ext : kLayerFiles)
      if (ReplaceExtension(layers[i], ext) == file) return i;
  }
  return fallback;
}

// A layer that is not written, and keeps every other from being written: one the format cannot
// hold, or one whose polygons are broken.
bool Refused(TShapeCheck check) {
  return check == TShapeCheck::Broken || check == TShapeCheck::TooLarge;
}

}  // namespace

std::vector<TShapeWriteResult> SaveLayers(std::span<const TLayerToSave> layers) {
  std::vector<std::string> paths;
  for (const TLayerToSave& layer : layers) paths.push_back(layer.Path);
  TLayerSetWrite write(std::move(paths));
  return write.Finish(layers);
}

TLayerSetWrite::TLayerSetWrite(std::vector<std::string> layerPaths)
    : paths_(std::move(layerPaths)),
      layers_(paths_.size()),
      date_(Platform().LocalDate()),
      files_(std::make_unique<TFileSetReplacement>(FilesOf(paths_))) {}

TLayerSetWrite::~TLayerSetWrite() {
  worker_.reset();  // joins: the thread uses the layers and the file names
}

bool TLayerSetWrite::Claim() {
  if (!claimed_ && !claimFailed_) {
    claimed_ = files_->Begin();
    claimFailed_ = !claimed_;
  }
  return claimed_;
}

void TLayerSetWrite::Measure(TLayer& layer, const TRecordSource& source) const {
  try {
    layer.Check = layer.Writer->Prepare(source, date_);
    layer.Measured = true;
  } catch (...) {
    layer.Threw = true;  // out of memory: told as a write error
  }
}

void TLayerSetWrite::WriteTemporaries(TLayer& layer, const TRecordSource& source) const {
  try {
    layer.Written = layer.Writer->WriteFiles(source, layer.Names);
  } catch (...) {
    layer.Threw = true;
  }
}

void TLayerSetWrite::Start(std::size_t i, const TRecordSource& source) {
  if (i >= layers_.size() || worker_) return;
  TLayer& layer = layers_[i];
  try {
    if (!Claim()) return;  // Finish tells
    // The names are fixed by the run; they are registered in Finish, once the thread is done.
    layer.Names = TShapeFile::TemporaryNames(paths_[i], *files_);
    layer.Started = true;
    worker_ = std::make_unique<TWorkerThread>([this, &layer, &source] {
      Measure(layer, source);
      if (layer.Measured && layer.Check == TShapeCheck::Ready) WriteTemporaries(layer, source);
    });
  } catch (const std::exception&) {
    // Out of memory before the thread ran: the layer is done in Finish.
  }
  if (!worker_ || !worker_->Started()) {
    worker_.reset();
    layer.Started = false;
  }
}

std::vector<TShapeWriteResult> TLayerSetWrite::Finish(std::span<const TLayerToSave> sources) {
  try {
    return FinishLayers(sources);
  } catch (const std::exception&) {
    // Out of memory while claiming or swapping: nothing has been swapped in.
    worker_.reset();
    files_->Discard();
    for (const std::string& path : paths_) ReportWriteError(path);
    return std::vector<TShapeWriteResult>(layers_.size());
  }
}

std::vector<TShapeWriteResult> TLayerSetWrite::FinishLayers(
    std::span<const TLayerToSave> sources) {
  sources = sources.first(std::min(sources.size(), layers_.size()));
  if (MeasureRest(sources)) WriteRest(sources);
  JoinStarted(sources.size());
  std::vector<TShapeWriteResult> results(layers_.size());
  const TMeasures measures = TellMeasures(sources.size(), results);
  if (measures.Threw) return NoneWritten(*measures.Threw, measures.Ready, results);
  if (measures.Refused || measures.Ready.empty()) {
    files_->Discard();
    return results;
  }
  if (const auto failed = FirstUnwritten(measures.Ready))
    return NoneWritten(*failed, measures.Ready, results);
  if (!files_->Commit()) {
    const std::size_t failed = LayerOf(files_->FailedFile(), paths_, measures.Ready.front());
    return NoneWritten(failed, measures.Ready, results);
  }
  for (const std::size_t i : measures.Ready) results[i].Written = true;
  return results;
}

bool TLayerSetWrite::MeasureRest(std::span<const TLayerToSave> sources) {
  bool refused = false;
  bool anyReady = false;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    TLayer& layer = layers_[i];
    if (layer.Started) continue;
    Measure(layer, sources[i].Source);
    refused = refused || layer.Threw || Refused(layer.Check);
    anyReady = anyReady || layer.Check == TShapeCheck::Ready;
    if (layer.Threw) break;  // out of memory: the rest is not measured either
  }
  return !refused && anyReady && Claim();
}

void TLayerSetWrite::WriteRest(std::span<const TLayerToSave> sources) {
  for (std::size_t i = 0; i < sources.size(); ++i) {
    TLayer& layer = layers_[i];
    if (layer.Started || layer.Check != TShapeCheck::Ready) continue;
    layer.Names = TShapeFile::TemporaryNames(paths_[i], *files_);
    TShapeFile::RegisterTemporaries(paths_[i], *files_);
    WriteTemporaries(layer, sources[i].Source);
    if (!layer.Written) return;  // nothing more is worth writing: none will be swapped in
  }
}

void TLayerSetWrite::JoinStarted(std::size_t n) {
  worker_.reset();
  for (std::size_t i = 0; i < n; ++i) {
    // What the second thread may have created is this run's from here on, kept or removed.
    const TLayer& layer = layers_[i];
    if (layer.Started && layer.Measured && layer.Check == TShapeCheck::Ready)
      TShapeFile::RegisterTemporaries(paths_[i], *files_);
  }
}

TLayerSetWrite::TMeasures TLayerSetWrite::TellMeasures(std::size_t n,
                                                       std::vector<TShapeWriteResult>& results) {
  TMeasures measures;
  for (std::size_t i = 0; i < n; ++i) {
    const TLayer& layer = layers_[i];
    if (layer.Threw && !layer.Measured) {
      measures.Threw = i;
      break;
    }
    if (!layer.Measured) break;  // not measured: an earlier layer ran out of memory
    results[i].LeftOut = layer.Writer->LeftOut();
    if (layer.Check == TShapeCheck::Ready) measures.Ready.push_back(i);
    if (layer.Check == TShapeCheck::Empty) {
      Platform().Beep();
      ShowMsg(msgNoPolygons);
    }
    if (layer.Check == TShapeCheck::Broken) ReportWriteError(paths_[i]);
    if (layer.Check == TShapeCheck::TooLarge) ReportTooLarge(paths_[i]);
    measures.Refused = measures.Refused || Refused(layer.Check);
  }
  return measures;
}

std::optional<std::size_t> TLayerSetWrite::FirstUnwritten(
    const std::vector<std::size_t>& ready) const {
  if (claimFailed_) return ready.front();
  for (const std::size_t i : ready)
    if (!layers_[i].Written) return i;
  return std::nullopt;
}

std::vector<TShapeWriteResult> TLayerSetWrite::NoneWritten(
    std::size_t failed, const std::vector<std::size_t>& ready,
    std::vector<TShapeWriteResult>& results) {
  // The layer that failed is named first, then every other one that had polygons, so no one
  // takes it for written. The run's files go.
  ReportWriteError(paths_[failed]);
  for (const std::size_t i : ready)
    if (paths_[i] != paths_[failed]) ReportWriteError(paths_[i]);
  files_->Discard();
  return results;
}

bool RecoverLayers(std::span<const std::string> layerPaths) {
  TFileSetReplacement files(FilesOf(layerPaths));
  return files.Recover();
}

}  // namespace qv

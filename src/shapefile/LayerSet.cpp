#include "shapefile/LayerSet.h"

#include <exception>
#include <memory>

#include "dialog/languages/Languages.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "shapefile/FileSetReplacement.h"

namespace qv {

namespace {

// The files of a layer that a swap may replace or remove.
constexpr const char* kLayerFiles[] = {".shp", ".shx", ".dbf", ".prj", ".sbn", ".sbx"};

void ReportWriteError(const std::string& path) {
  Platform().Beep();
  Platform().ShowError(Msg(msgShapefileWriteError) + path);
}

void ReportTooLarge(const std::string& path) {
  Platform().Beep();
  Platform().ShowError(Format(Msg(msgLayerTooLarge), {std::string_view(path)}));
}

std::vector<std::string> FilesOf(std::span<const std::string> layerPaths) {
  std::vector<std::string> files;
  for (const std::string& path : layerPaths)
    for (const char* ext : kLayerFiles) files.push_back(ReplaceExtension(path, ext));
  return files;
}

// The layer that a failed file belongs to, else the fallback.
const std::string& LayerOf(const std::string& file, std::span<const TLayerToSave> layers,
                           const std::string& fallback) {
  for (const TLayerToSave& layer : layers) {
    for (const char* ext : kLayerFiles)
      if (ReplaceExtension(layer.Path, ext) == file) return layer.Path;
  }
  return fallback;
}

}  // namespace

std::vector<TShapeWriteResult> SaveLayers(std::span<const TLayerToSave> layers) {
  std::vector<TShapeWriteResult> results(layers.size());
  std::vector<std::unique_ptr<TShapeFile>> writers;
  std::vector<std::size_t> ready;
  const std::string* failed = layers.empty() ? nullptr : &layers.front().Path;
  // Nothing of the run is in place: the layer that failed is named first, then every other one
  // that had polygons, so no one takes it for written.
  auto reportNoneWritten = [&] {
    ReportWriteError(*failed);
    for (const std::size_t i : ready)
      if (layers[i].Path != *failed) ReportWriteError(layers[i].Path);
    return results;
  };
  try {
    bool refused = false;
    for (std::size_t i = 0; i < layers.size(); ++i) {
      failed = &layers[i].Path;
      writers.push_back(std::make_unique<TShapeFile>());
      const TShapeCheck check = writers[i]->Prepare(layers[i].Source);
      results[i].LeftOut = writers[i]->LeftOut();
      if (check == TShapeCheck::Ready) ready.push_back(i);
      if (check == TShapeCheck::Empty) {
        Platform().Beep();
        Platform().ShowMessage(Msg(msgNoPolygons));
      }
      if (check == TShapeCheck::Broken) ReportWriteError(layers[i].Path);
      if (check == TShapeCheck::TooLarge) ReportTooLarge(layers[i].Path);
      refused = refused || check == TShapeCheck::Broken || check == TShapeCheck::TooLarge;
    }
    if (refused || ready.empty()) return results;

    failed = &layers[ready.front()].Path;
    std::vector<std::string> paths;
    for (const TLayerToSave& layer : layers) paths.push_back(layer.Path);
    TFileSetReplacement files(FilesOf(paths));
    if (!files.Begin()) return reportNoneWritten();
    for (const std::size_t i : ready) {
      failed = &layers[i].Path;
      if (!writers[i]->WriteTemporaries(layers[i].Source, layers[i].Path, files))
        return reportNoneWritten();
    }
    failed = &layers[ready.front()].Path;
    if (!files.Commit()) {
      failed = &LayerOf(files.FailedFile(), layers, *failed);
      return reportNoneWritten();
    }
  } catch (const std::exception&) {
    // Out of memory while measuring or writing: nothing has been swapped in.
    if (failed != nullptr) return reportNoneWritten();
  }
  for (const std::size_t i : ready) results[i].Written = true;
  return results;
}

bool RecoverLayers(std::span<const std::string> layerPaths) {
  TFileSetReplacement files(FilesOf(layerPaths));
  return files.Begin();
}

}  // namespace qv

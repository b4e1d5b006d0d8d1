// The run's directories and layer paths, kept on the computation object between runs.
#include "calculation/ResultPaths.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv {

void TWoodedAreaCalculation::PrepareDirectories(const std::string& path) {
  const auto dirs = DeriveRunDirectories(path, NhmDir, NhmFiletype, NhmFileExt, LayoutVersion);
  NhmFileExt = dirs.NhmFileExt;
  NhmDir = dirs.NhmDir;
  ShapefileDir = dirs.ShapefileDir;
  NhmPath = dirs.NhmPath;
  OutputDir = dirs.OutputDir;
  EnsureOutputDir(OutputDir);
}

void TWoodedAreaCalculation::SetShapePaths(const std::string& path) {
  const auto layers = DeriveLayerPaths(path, OutputDir);
  ShapefilePath = layers.ShapefilePath;
  WoodedShapePath = layers.WoodedShapePath;
  CrownShapePath = layers.CrownShapePath;
}

}  // namespace qv

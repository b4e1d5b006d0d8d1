// The run's directories and layer paths, kept on the computation object between runs.
#include "calculation/ResultPaths.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv {

void TWoodedAreaCalculation::PrepareDirectories(const std::string& path) {
  TNhmFileSettings& files = Settings.Files;
  const auto dirs = DeriveRunDirectories(path, files.NhmDir, files.NhmFiletype, files.NhmFileExt,
                                         Settings.LayoutVersion);
  files.NhmFileExt = dirs.NhmFileExt;
  files.NhmDir = dirs.NhmDir;
  Paths.ShapefileDir = dirs.ShapefileDir;
  Paths.NhmPath = dirs.NhmPath;
  Paths.OutputDir = dirs.OutputDir;
  EnsureOutputDir(Paths.OutputDir);
}

void TWoodedAreaCalculation::SetShapePaths(const std::string& path) {
  const auto layers = DeriveLayerPaths(path, Paths.OutputDir);
  Paths.ShapefilePath = layers.ShapefilePath;
  Paths.WoodedShapePath = layers.WoodedShapePath;
  Paths.CrownShapePath = layers.CrownShapePath;
}

}  // namespace qv

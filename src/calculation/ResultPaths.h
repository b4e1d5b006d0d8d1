// Where a run looks for its height-model tiles and where it writes its two result layers, all
// derived from the path of the host's shapefile.
//
// The height-model directory is entered relative to the parent of the shapefile's directory (it
// sits beside that directory, not inside it). The layers go into the shapefile's own directory,
// or into its "Output" subdirectory for host layouts above 9.0. Directory texts end in a
// separator.
#pragma once

#include <string>
#include <string_view>

#include "platform/Paths.h"

namespace qv {

struct TRunDirectories {
  std::string NhmFileExt;    // ".hdr" for float grids, otherwise as given
  std::string NhmDir;        // without a trailing separator
  std::string ShapefileDir;  // directory of the host's shapefile
  std::string NhmPath;       // where the tile files are looked for
  std::string OutputDir;     // where the two layers go
};

// The paths of a run, derived from the host's shapefile path before every run
// (TWoodedAreaCalculation::PrepareDirectories, SetShapePaths).
struct TRunPaths {
  std::string NhmPath;  // ends with a separator; prefixed to every tile file name
  std::string ShapefileDir;
  std::string OutputDir;
  std::string ShapefilePath;
  std::string WoodedShapePath;
  std::string CrownShapePath;
};

struct TLayerPaths {
  std::string ShapefilePath;
  std::string WoodedShapePath;  // "..._w1.shp"
  std::string CrownShapePath;   // "..._w2.shp"
};

// nhmFiletype: 0 ASCII grid, 1 float grid with header file.
TRunDirectories DeriveRunDirectories(std::string_view shapefilePath, std::string_view nhmDir,
                                     int nhmFiletype, std::string_view nhmFileExt,
                                     double layoutVersion, TPathRules rules = NativePathRules);

TLayerPaths DeriveLayerPaths(std::string_view shapefilePath, std::string_view outputDir,
                             TPathRules rules = NativePathRules);

// Creates outputDir when it does not exist (one level: missing parents are not created). On
// failure beeps and shows the directory with "Error: Cannot create directory"; the run goes on
// and the writers then report their own failures. Returns whether the directory exists now.
bool EnsureOutputDir(const std::string& outputDir, TPathRules rules = NativePathRules);

}  // namespace qv

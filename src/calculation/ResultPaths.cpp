#include "calculation/ResultPaths.h"

#include <algorithm>

#include "calculation/Tile.h"
#include "catalogue/Message.h"
#include "platform/Platform.h"

namespace qv {

namespace {

// The directory containing dir (given without its trailing separator), itself without one; dir
// unchanged when it has no separator, so that a shapefile in a drive root "C:\" gives "C:".
std::string ParentOf(std::string_view dir, TPathRules rules) {
  for (auto i = dir.size(); i-- > 0;) {
    if (dir[i] == SeparatorOf(rules) || dir[i] == '\\') return std::string(dir.substr(0, i));
  }
  return std::string(dir);
}

// Under POSIX rules a backslash delimits like a slash (a directory typed or stored on Windows,
// "MNA_Laser\MNH", still works); the paths a run composes and shows use the slash throughout.
std::string WithSeparators(std::string path, TPathRules rules) {
  if (rules == TPathRules::Posix) std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace

TRunDirectories DeriveRunDirectories(std::string_view shapefilePath, std::string_view nhmDir,
                                     int nhmFiletype, std::string_view nhmFileExt,
                                     double layoutVersion, TPathRules rules) {
  const char separator = SeparatorOf(rules);
  TRunDirectories d;
  d.NhmFileExt = nhmFiletype == NhmFloatGrid ? std::string(".hdr") : std::string(nhmFileExt);
  d.NhmDir = WithSeparators(ExcludeTrailingDelimiter(nhmDir, rules), rules);
  d.ShapefileDir =
      WithSeparators(IncludeTrailingDelimiter(DirectoryOf(shapefilePath, rules), rules), rules);
  const std::string parent = ParentOf(ExcludeTrailingDelimiter(d.ShapefileDir, rules), rules);
  d.NhmPath = parent + separator + d.NhmDir + separator;
  d.OutputDir = layoutVersion > 9.0 ? d.ShapefileDir + "Output" + separator : d.ShapefileDir;
  return d;
}

TLayerPaths DeriveLayerPaths(std::string_view shapefilePath, std::string_view outputDir,
                             TPathRules rules) {
  const std::string base = FileNameOf(shapefilePath, rules);
  TLayerPaths p;
  p.ShapefilePath = std::string(shapefilePath);
  p.WoodedShapePath = std::string(outputDir) + ReplaceExtension(base, "_w1.shp", rules);
  p.CrownShapePath = std::string(outputDir) + ReplaceExtension(base, "_w2.shp", rules);
  return p;
}

bool EnsureOutputDir(const std::string& outputDir, TPathRules rules) {
  if (Platform().DirectoryExists(outputDir)) return true;
  if (Platform().CreateDirectory(ExcludeTrailingDelimiter(outputDir, rules))) return true;
  Platform().Beep();
  TMessage(TMessageKind::Message, msgCannotCreateDir, {outputDir})
      .Before(outputDir + "\r")
      .Show();
  return false;
}

}  // namespace qv

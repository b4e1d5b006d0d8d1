// Writes one polygon layer as a shapefile set: main file (.shp), index file (.shx), attribute
// table (.dbf) and coordinate system (.prj).
//
// A TShapeFile serves one write, in two steps: Prepare walks every record and fills the headers
// without touching a file; WriteFiles writes the set under the temporary names of a
// TFileSetReplacement, which replaces an earlier set of the same name only as a whole, together
// with the other layer of the run (see SaveLayers in LayerSet.h). ".sbn" and ".sbx" spatial
// indexes beside it go with the swap, because they would no longer match.
//
// The writer does not trust the rings it is given: a record whose ring walk does not close as
// its edge count says, meets a missing link, has fewer than three edges, or a crown circle
// without points, is left out, and LeftOut counts it. The rest of the layer is still written,
// numbered without gaps. A caller that needs the whole result must treat LeftOut > 0 as a
// failure of the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shapefile/DBaseFile.h"
#include "shapefile/IndexFile.h"
#include "shapefile/MainFile.h"
#include "shapefile/Projection.h"
#include "shapefile/RecordShape.h"

namespace qv {

class T2DPolygons;
class T2DPolygonMesh;
class TFileSetReplacement;

// What Prepare found.
enum class TShapeCheck {
  Ready,     // records to write, and they fit the format
  Empty,     // no polygons: the layer is not written
  Broken,    // polygons, but not one that can be written
  TooLarge,  // the main file would pass the format's limit of 2^31 - 1 words (4 GiB)
};

struct TShapeWriteResult {
  bool Written = false;      // the set was written and is now in place
  std::int64_t LeftOut = 0;  // records not written because their geometry was broken
};

// The polygons of one layer as the writer sees them.
class TRecordSource {
 public:
  virtual ~TRecordSource() = default;
  virtual std::int64_t Count() const = 0;
  virtual bool HasHeights() const = 0;
  // Fills shape with the parts and box of record i; false when the record cannot be written.
  virtual bool Shape(std::int64_t i, TRecordShape& shape) const = 0;
  virtual TRecordAttributes Attributes(std::int64_t i) const = 0;

  // The layer's ".prj" text: the frame its coordinates are in.
  std::string_view ProjectionWkt = LayerProjectionWkt;
};

class TShapeFile {
 public:
  std::int64_t Count = 0;
  TMainFile MainFile;
  TIndexFile IndexFile;
  TdBaseFile DBaseFile;

  void SetCount(std::int64_t n);

  // The crown circles: one single-part record per item, with heights when the list has them.
  TShapeWriteResult WritePolygonList(const T2DPolygons& list, const std::string& path);
  // The polygons of a mesh: one record per polygon, its outer ring and then its holes.
  TShapeWriteResult WritePolygonMesh(const T2DPolygonMesh& mesh, const std::string& path);
  // Any source, as a layer of its own (SaveLayers with one layer).
  TShapeWriteResult Write(const TRecordSource& source, const std::string& path);

  // Measures the records and fills the headers (the attribute table dated `date`); no file is
  // touched and nothing is shown, so it may run on a thread of its own.
  TShapeCheck Prepare(const TRecordSource& source, const TLocalDate& date);
  std::int64_t LeftOut() const { return leftOut_; }
  // The temporary names of path's set in files, in the order .shp, .shx, .dbf, .prj, without
  // registering them.
  static std::vector<std::string> TemporaryNames(const std::string& path,
                                                 const TFileSetReplacement& files);
  // Registers the set with files: those names replace the set's files at Commit, and its
  // spatial indexes go.
  static void RegisterTemporaries(const std::string& path, TFileSetReplacement& files);
  // After a Ready Prepare: the set written under names, each file synced and closed. Touches
  // nothing but those files.
  bool WriteFiles(const TRecordSource& source, const std::vector<std::string>& names);

 private:
  // What a walk over the records finds: the records that can be written, their points and
  // parts, and the box around them all.
  struct TLayerMeasure {
    std::int64_t Records = 0;
    std::int64_t Points = 0;
    std::int64_t Parts = 0;
    T2DRect Box;

    void Add(const TRecordShape& shape);
    bool operator==(const TLayerMeasure& other) const;
  };

  // The shape of record i when it can be written.
  static bool TakeShape(const TRecordSource& source, std::int64_t i, TRecordShape& shape);
  bool MeasureRecords(const TRecordSource& source);
  bool FillHeaders(bool withHeights, const TLocalDate& date);
  static bool WriteProjection(const std::string& name, std::string_view wkt);
  bool WriteRecords(const TRecordSource& source);

  TLayerMeasure measured_;
  std::int64_t leftOut_ = 0;
};

}  // namespace qv

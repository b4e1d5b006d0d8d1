#include "shapefile/ShapeFile.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "platform/Paths.h"
#include "shapefile/FileSetReplacement.h"
#include "shapefile/Projection.h"
#include "shapefile/ShapeRecord.h"

namespace qv {

namespace {

// Lengths and offsets in .shp and .shx are signed 32-bit counts of 16-bit words.
constexpr std::int64_t MaxFileWords = std::numeric_limits<std::int32_t>::max();

T2DRect Union(const T2DRect& a, const T2DRect& b) {
  return T2DRect(std::min(a.Left, b.Left), std::max(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom));
}

}  // namespace

void TShapeFile::SetCount(std::int64_t n) {
  Count = n;
  MainFile.ResetTotals();
}

void TShapeFile::TLayerMeasure::Add(const TRecordShape& shape) {
  Box = Records == 0 ? shape.Box : Union(Box, shape.Box);
  ++Records;
  Points += static_cast<std::int64_t>(shape.Points.size());
  Parts += static_cast<std::int64_t>(shape.PartStarts.size());
}

bool TShapeFile::TLayerMeasure::operator==(const TLayerMeasure& other) const {
  return Records == other.Records && Points == other.Points && Parts == other.Parts &&
         Box.Left == other.Box.Left && Box.Top == other.Box.Top &&
         Box.Right == other.Box.Right && Box.Bottom == other.Box.Bottom;
}

bool TShapeFile::TakeShape(const TRecordSource& source, std::int64_t i, TRecordShape& shape) {
  shape.Clear();
  return source.Shape(i, shape) && !shape.PartStarts.empty() && !shape.Points.empty();
}

// Walks every record once before anything is written: the box and the lengths go into the
// headers, and broken records are known before the record numbers are given out.
bool TShapeFile::MeasureRecords(const TRecordSource& source) {
  measured_ = TLayerMeasure{};
  leftOut_ = 0;
  TRecordShape shape;
  for (std::int64_t i = 0; i < Count; ++i) {
    if (TakeShape(source, i, shape))
      measured_.Add(shape);
    else
      ++leftOut_;
  }
  MainFile.TotalPoints = measured_.Points;
  MainFile.TotalParts = measured_.Parts;
  return measured_.Records > 0;
}

// False when the set would pass the format's 32-bit word limit.
bool TShapeFile::FillHeaders(bool withHeights, const TLocalDate& date) {
  const std::int64_t n = measured_.Records;
  const std::int64_t mainWords = ShapeHeaderWords + n * (RecordHeaderWords + 22) +
                                 2 * MainFile.TotalParts + 8 * MainFile.TotalPoints;
  if (mainWords > MaxFileWords) return false;

  MainFile.Header = TShapeHeader{};
  MainFile.Header.FileLength = static_cast<std::int32_t>(mainWords);
  MainFile.Header.SetBox(measured_.Box);
  IndexFile.Header = TShapeHeader{};
  IndexFile.Header.FileLength = static_cast<std::int32_t>(ShapeHeaderWords + TIndexFile::EntryWords * n);
  IndexFile.Header.SetBox(measured_.Box);
  DBaseFile.Prepare(static_cast<std::int32_t>(n), withHeights, date);
  return true;
}

// The second walk gives the records their numbers. It must find what the first found: a source
// that changed in between would no longer match the headers, and the set is then not written.
bool TShapeFile::WriteRecords(const TRecordSource& source) {
  TRecordShape shape;
  TLayerMeasure written;
  std::int64_t offset = ShapeHeaderWords;
  for (std::int64_t i = 0; i < Count; ++i) {
    if (!TakeShape(source, i, shape)) continue;
    const std::int64_t j = written.Records;
    written.Add(shape);
    if (written.Records > measured_.Records || written.Points > measured_.Points ||
        written.Parts > measured_.Parts)
      return false;
    const std::int64_t length = MainFile.WriteRecord(j, shape);
    if (length == 0) return false;
    if (!IndexFile.WriteEntry(static_cast<std::int32_t>(offset),
                              static_cast<std::int32_t>(length - RecordHeaderWords)))
      return false;
    offset += length;
    const TRecordAttributes a = source.Attributes(i);
    if (!DBaseFile.WriteRecord(j + 1, a.Wooded, a.Area, a.HasHeight, a.Height)) return false;
  }
  return written == measured_;
}

bool TShapeFile::WriteProjection(const std::string& name, std::string_view wkt) {
  TOutputFile file;
  const auto* text = reinterpret_cast<const std::uint8_t*>(wkt.data());
  return file.Open(name) && file.Write({text, wkt.size()}) && file.Close();
}

bool TShapeFile::WriteFiles(const TRecordSource& source, const std::vector<std::string>& names) {
  MainFile.FileName = names[0];
  IndexFile.FileName = names[1];
  DBaseFile.FileName = names[2];
  bool ok = MainFile.Stream.Open(names[0]) && IndexFile.Stream.Open(names[1]) &&
            DBaseFile.OutFile.Open(names[2]);
  try {
    ok = ok && MainFile.WriteHeader() && IndexFile.WriteHeader() && DBaseFile.WriteHeader() &&
         WriteRecords(source) && DBaseFile.WriteEndOfFile();
  } catch (const std::exception&) {
    ok = false;  // out of memory for a record; the files are closed below all the same
  }
  // Every stream is closed here, on every path, before the temporaries are renamed or deleted.
  const bool mainClosed = MainFile.Stream.Close();
  const bool indexClosed = IndexFile.Stream.Close();
  const bool dbaseClosed = DBaseFile.OutFile.Close();
  return ok && mainClosed && indexClosed && dbaseClosed && WriteProjection(names[3], source.ProjectionWkt);
}

TShapeCheck TShapeFile::Prepare(const TRecordSource& source, const TLocalDate& date) {
  SetCount(source.Count());
  if (Count <= 0) return TShapeCheck::Empty;
  if (!MeasureRecords(source)) return TShapeCheck::Broken;
  return FillHeaders(source.HasHeights(), date) ? TShapeCheck::Ready : TShapeCheck::TooLarge;
}

namespace {

constexpr const char* kWrittenFiles[] = {".shp", ".shx", ".dbf", ".prj"};

}  // namespace

std::vector<std::string> TShapeFile::TemporaryNames(const std::string& path,
                                                    const TFileSetReplacement& files) {
  std::vector<std::string> names;
  for (const char* ext : kWrittenFiles)
    names.push_back(files.TemporaryFor(ReplaceExtension(path, ext)));
  return names;
}

void TShapeFile::RegisterTemporaries(const std::string& path, TFileSetReplacement& files) {
  for (const char* ext : kWrittenFiles) files.Replace(ReplaceExtension(path, ext));
  files.Remove(ReplaceExtension(path, ".sbn"));
  files.Remove(ReplaceExtension(path, ".sbx"));
}

}  // namespace qv

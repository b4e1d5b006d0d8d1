#include "shapefile/ShapeFile.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "dialog/languages/Languages.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "shapefile/FileSetReplacement.h"
#include "shapefile/ShapeRecord.h"

namespace qv {

namespace {

// Lengths and offsets in .shp and .shx are signed 32-bit counts of 16-bit words.
constexpr std::int64_t MaxFileWords = std::numeric_limits<std::int32_t>::max();

void ReportWriteError(const std::string& path) {
  Platform().Beep();
  Platform().ShowError(Msg(msgShapefileWriteError) + path);
}

void DeleteIfExists(const std::string& path) {
  if (Platform().FileExists(path)) Platform().DeleteFile(path);
}

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
bool TShapeFile::FillHeaders(bool withHeights) {
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
  DBaseFile.Prepare(static_cast<std::int32_t>(n), withHeights, Platform().LocalDate());
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
  return ok && mainClosed && indexClosed && dbaseClosed;
}

TShapeWriteResult TShapeFile::Write(const TRecordSource& source, const std::string& path) {
  TShapeWriteResult result;
  try {
    SetCount(source.Count());
    if (Count <= 0) {
      Platform().Beep();
      Platform().ShowMessage(Msg(msgNoPolygons));
      return result;
    }
    const bool measured = MeasureRecords(source);
    result.LeftOut = leftOut_;
    if (!measured || !FillHeaders(source.HasHeights())) {
      ReportWriteError(path);
      return result;
    }
    TFileSetReplacement files({ReplaceExtension(path, ".shp"), ReplaceExtension(path, ".shx"),
                               ReplaceExtension(path, ".dbf")});
    if (!WriteFiles(source, {files.TemporaryName(0), files.TemporaryName(1),
                             files.TemporaryName(2)}) ||
        !files.Commit()) {
      ReportWriteError(path);
      return result;
    }
  } catch (const std::exception&) {
    ReportWriteError(path);
    return result;
  }
  DeleteIfExists(ReplaceExtension(path, ".sbn"));
  DeleteIfExists(ReplaceExtension(path, ".sbx"));
  result.Written = true;
  return result;
}

}  // namespace qv

#include "calculation/Tile.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

#include "calculation/AsciiGridReader.h"
#include "calculation/FloatGridReader.h"
#include "calculation/GridHeader.h"
#include "calculation/RowReadAhead.h"
#include "calculation/TileBuffers.h"
#include "calculation/TileGrid.h"
#include "catalogue/Message.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace qv {

namespace {

bool ReportMissing(const std::string& name) {
  Platform().Beep();
  ShowMsg(msgFileNotFound, {std::string_view(name)});
  return false;
}

// Cells of a binary grid are floats: a no-data value that a float cannot hold exactly (9999.9,
// -3.40282e+38) is compared at float precision, or no cell would ever equal it.
double AtFloatPrecision(double value) {
  if (!(std::fabs(value) <= static_cast<double>(FLT_MAX))) return value;
  return static_cast<double>(static_cast<float>(value));
}

}  // namespace

TTile::TTile() = default;
TTile::~TTile() = default;

std::int64_t TTile::FirstFileColumn() const { return RoundHalfEven(WestX - XllCorner - 0.5); }

void TTile::AllocateBuffers() {
  buffers_ = std::make_unique<TBuffers>();
  for (auto& row : buffers_->Ring) row.fill(NoDataValue);
  for (auto& row : buffers_->Bottom) row.fill(NoDataValue);
  for (auto& row : buffers_->Right) row.fill(NoDataValue);
}

void TTile::ReleaseBuffers() { buffers_.reset(); }

TTile::TBuffers& TTile::Buffers() {
  if (!buffers_) throw std::logic_error("Tile buffers used before the tile was started");
  return *buffers_;
}

std::span<double, TTile::RingWidth> TTile::RowRing(int slot) { return Buffers().Ring.at(slot); }

std::span<const double, TTile::RingWidth> TTile::RowRing(int slot) const {
  if (!buffers_) throw std::logic_error("Tile buffers used before the tile was started");
  return buffers_->Ring.at(slot);
}

std::span<double, TTile::RingWidth> TTile::BottomRows(int index) {
  return Buffers().Bottom.at(index);
}

std::span<double, TTile::OverlapColumns> TTile::RightColumns(int row) {
  return Buffers().Right.at(row);
}

std::span<TNeighborPixel, TTile::RingWidth> TTile::ColumnLinks() { return Buffers().ColumnLinks; }

std::span<TNeighborPixel, TTile::TileRowCount> TTile::RowLinks() { return Buffers().RowLinks; }

void TTile::BuildFileNames(const TNhmNaming& naming) {
  FileName =
      Format("%s%s%d%s%d%s%s",
             {std::string_view(naming.Path), std::string_view(naming.Prefix),
              std::int64_t{MapNumber}, std::string_view(naming.Separator), std::int64_t{TileNumber},
              std::string_view(naming.Suffix), std::string_view(naming.FileExt)});
  if (NhmFiletype == NhmFloatGrid) {
    FltFileName = ReplaceExtension(FileName, ".flt");
    HdrFileName = ReplaceExtension(FileName, ".hdr");
  } else {
    FltFileName.clear();
    HdrFileName.clear();
  }
}

bool TTile::NhmFilesExist() const {
  if (NhmFiletype == NhmFloatGrid) {
    if (!Platform().FileExists(FltFileName)) return ReportMissing(FltFileName);
    if (!Platform().FileExists(HdrFileName)) return ReportMissing(HdrFileName);
    return true;
  }
  return Platform().FileExists(FileName) || ReportMissing(FileName);
}

void TTile::ResetHeader() {
  NCols = 0;
  NRows = 0;
  XllCorner = 0.0;
  YllCorner = 0.0;
  CellSize = 0.0;
  NoDataValue = 0.0;
  MsbFirst = 0;
  DataRect = T2DRect();
  RingIndex = -1;
  placement_ = TRowPlacement();
  rowErrorShown_ = false;
}

void TTile::SetDummyHeader() {
  NCols = OwnColumns;
  NRows = TileRowCount;
  CellSize = 1.0;
  NoDataValue = -9999.0;
  XllCorner = WestX - 0.5;
  YllCorner = NorthY - (TileRowCount - 1) - 0.5;
}

bool TTile::ReadHeader() {
  CloseFiles();
  ResetHeader();
  if (IsDummy) {
    SetDummyHeader();
  } else if (!OpenAndReadHeader()) {
    CloseFiles();
    return false;
  }
  DataRect.SetBounds(XllCorner, YllCorner + NRows * CellSize, XllCorner + NCols * CellSize,
                     YllCorner);
  placement_ = TRowPlacement::For(NCols, FirstFileColumn(), OwnColumns);
  RingIndex = -1;
  return true;
}

bool TTile::OpenAndReadHeader() {
  if (NhmFiletype != NhmAsciiGrid && NhmFiletype != NhmFloatGrid) return false;
  const bool binary = NhmFiletype == NhmFloatGrid;
  const std::string& headerName = binary ? HdrFileName : FileName;
  auto text = TBlockFile::Open(headerName);
  if (!text) return false;
  std::unique_ptr<TBlockFile> data;
  if (binary) {
    data = TBlockFile::Open(FltFileName);
    if (!data) return false;
  }
  const TGridHeader h = ReadGridHeader(*text, binary, headerName);
  NCols = h.NCols;
  NRows = h.NRows;
  XllCorner = h.XllCorner;
  YllCorner = h.YllCorner;
  CellSize = h.CellSize;
  NoDataValue = h.NoDataValue;
  MsbFirst = h.ByteOrder == TByteOrder::MsbFirst ? 1 : 0;
  if (NCols < 1 || NRows < 1 || CellSize <= 0.0) return false;
  // Without both coordinates the data cannot be placed at all.
  if (!h.HasX || !h.HasY || !std::isfinite(XllCorner) || !std::isfinite(YllCorner)) return false;
  if (binary && (h.ByteOrder == TByteOrder::MsbFirst || h.ByteOrder == TByteOrder::Unknown)) {
    Platform().Beep();
    ShowMsg(msgFltByteOrder);
    return false;
  }
  if (h.XIsCenter) XllCorner -= CellSize / 2;
  if (h.YIsCenter) YllCorner -= CellSize / 2;
  if (binary) {
    NoDataValue = AtFloatPrecision(NoDataValue);
    reader_ = std::make_unique<TFloatGridReader>(std::move(data), FltFileName);
  } else {
    reader_ = std::make_unique<TAsciiGridReader>(std::move(text));
  }
  return true;
}

void TTile::StartReadAhead(const TRowWindow& window) {
  readAhead_.reset();
  if (IsDummy || !reader_) return;
  const TRowReadAhead::TPlan plan{window, placement_, NCols, OwnColumns, NoDataValue,
                                  NhmFiletype != NhmFloatGrid};
  auto readAhead = std::make_unique<TRowReadAhead>(*reader_, plan);
  if (readAhead->Started()) readAhead_ = std::move(readAhead);
}

void TTile::CloseFiles() {
  readAhead_.reset();
  reader_.reset();
}

}  // namespace qv

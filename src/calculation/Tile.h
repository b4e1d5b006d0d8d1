// One height-model tile: identity, file names, header values, the five-row ring its rows are read
// into, and the borders its neighbours need.
//
// Ring rows are 4379 wide: positions 0..3 hold the left neighbour's own columns 4371..4374,
// positions 4..4378 the tile's own columns 0..4374. RingIndex is the slot of the latest row; the
// row two behind it (MiddleSlot) is the one the row pass builds. Each row read also saves its
// last four values in RightColumns (for the right neighbour) and, for rows 2996..2999, the whole
// ring row in BottomRows (for the tile below). ColumnLinks and RowLinks are seam links that
// polygon building fills: ColumnLinks go to the tile below, RowLinks to the right neighbour.
//
// These buffers exist only while some tile still needs them (AllocateBuffers when the tile
// starts, ReleaseBuffers once its right, lower and lower-right neighbours are done), so a run
// holds about two rows of tiles' worth of them whatever the size of the extent.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "calculation/GridRowReader.h"
#include "calculation/NeighborPixel.h"
#include "calculation/RowWindow.h"
#include "geometry/Rect.h"

namespace qv {

class TRowReadAhead;

inline constexpr std::uint8_t NhmAsciiGrid = 0;
inline constexpr std::uint8_t NhmFloatGrid = 1;

// The parts of a tile file name; Path ends with a separator.
struct TNhmNaming {
  std::string Path;
  std::string Prefix;
  std::string Separator;
  std::string Suffix;
  std::string FileExt;
};

class TTile {
 public:
  static constexpr int OwnColumns = 4375;
  static constexpr int OverlapColumns = 4;
  static constexpr int RingWidth = OverlapColumns + OwnColumns;  // 4379
  static constexpr int TileRowCount = 3000;
  static constexpr int RingRows = 5;
  static constexpr int SavedRows = 4;
  static constexpr int FirstSavedRow = TileRowCount - SavedRows;  // 2996

  TTile();
  ~TTile();
  TTile(const TTile&) = delete;
  TTile& operator=(const TTile&) = delete;

  // --- identity and position (set by the layout) ---
  std::int32_t MapNumber = 0;
  std::int32_t TileNumber = 0;
  double WestX = 0.0;  // centre of the north-west cell
  double NorthY = 0.0;
  TTile* TopNeighbor = nullptr;
  TTile* LeftNeighbor = nullptr;
  TTile* RightNeighbor = nullptr;
  T2DRect TileRect;  // nominal rectangle, set when the tile is processed

  // --- files ---
  std::uint8_t NhmFiletype = NhmAsciiGrid;
  bool IsDummy = false;  // no file: reads as no-data
  std::string FileName;  // the ASCII grid, or the .hdr of a binary grid
  std::string FltFileName;
  std::string HdrFileName;

  // --- header ---
  std::int32_t NCols = 0;
  std::int32_t NRows = 0;
  double XllCorner = 0.0;
  double YllCorner = 0.0;
  double CellSize = 0.0;
  double NoDataValue = 0.0;
  std::uint8_t MsbFirst = 0;
  T2DRect DataRect;
  int RingIndex = -1;

  // --- derived ---
  // Own column offset of the file: the file's first value of a row goes to ring position
  // 4 - FirstFileColumn (0 for an aligned file).
  std::int64_t FirstFileColumn() const;
  // x of the centre of the column at a ring position.
  double ColumnX(int position) const { return WestX + (position - OverlapColumns) * CellSize; }
  // Slot of the row `back` rows before the latest one.
  int RingSlotBack(int back) const { return ((RingIndex - back) % RingRows + RingRows) % RingRows; }
  // Slot of the row that the row pass builds: two behind the latest.
  int MiddleSlot() const { return RingSlotBack(2); }

  // --- buffers ---
  bool HasBuffers() const { return buffers_ != nullptr; }
  // Creates the buffers with rings, bottom rows and right columns at no-data and links nil.
  void AllocateBuffers();
  void ReleaseBuffers();
  std::span<double, RingWidth> RowRing(int slot);
  std::span<const double, RingWidth> RowRing(int slot) const;
  std::span<double, RingWidth> BottomRows(int index);
  std::span<double, OverlapColumns> RightColumns(int row);
  std::span<TNeighborPixel, RingWidth> ColumnLinks();
  std::span<TNeighborPixel, TileRowCount> RowLinks();

  // --- files and header ---
  void BuildFileNames(const TNhmNaming& naming);
  // Whether the tile's files exist; beeps and shows one message per missing file.
  bool NhmFilesExist() const;
  // Resets the header, opens the files and reads the header; the files stay open for the rows.
  // Throws ENhmError when a header value is not a number.
  bool ReadHeader();
  void CloseFiles();

  // From here on the file's rows are read on a second thread, ahead of the row pass, in the
  // order the window gives (TRowReadAhead); the row operations below then take their outcomes.
  // Nothing changes for a dummy tile or when no thread can be had.
  void StartReadAhead(const TRowWindow& window);

  // --- rows (r is the tile's nominal row 0..2999) ---
  // Seeds ring slots 0..3 and the column links from the tile above.
  void TakeTopNeighborRows();
  int ReadRow(int r);
  int FillNoDataRow(int r);
  // Reads past one file row (nothing for a dummy tile). For a binary grid, past the end of the
  // data this throws ENhmError.
  void SkipRow();
  // Skips `count` file rows; an ASCII grid stops early at its end, a binary grid throws there.
  void SkipRows(std::int64_t count);
  // No more file data (always true for a dummy tile or before the header). Not while the rows
  // are read ahead.
  bool AtEndOfData();

 private:
  struct TBuffers;

  void ResetHeader();
  void SetDummyHeader();
  bool OpenAndReadHeader();
  TBuffers& Buffers();
  // The start of every row operation: the next slot, the left neighbour's columns.
  int BeginRow(int r);
  // The end of every row operation: what the right and the lower neighbour will take.
  void EndRow(int r, int slot);
  void ReportRowError(int r, std::int64_t fileColumn);

  std::unique_ptr<TBuffers> buffers_;
  std::unique_ptr<TGridRowReader> reader_;
  std::unique_ptr<TRowReadAhead> readAhead_;  // after reader_: stops before the reader goes
  TRowPlacement placement_;
  bool rowErrorShown_ = false;
};

}  // namespace qv

// The tile pass: every tile in row-major order, every row of a tile into its ring, and the row
// pass two rows behind the row just read.
//
// A tile's left and top neighbours are always done before it, so their border columns, bottom
// rows and seam links are ready when it needs them. A tile's buffers are created when it starts
// and released after the last tile that reads them (its right, lower and lower-right
// neighbours); the lower-right one reads its seam link of row 2999 when it starts.
#pragma once

#include <cstdint>
#include <string>

#include "calculation/RowPassContext.h"
#include "calculation/RunSettings.h"
#include "calculation/RunState.h"
#include "calculation/Tiles.h"
#include "geometry/Rect.h"
#include "platform/Platform.h"

namespace qv {

struct TTilePassOptions {
  // Polygons that can no longer change leave the mesh after every tile but the last
  // (MeshCompaction.h): what a run does. Without, the mesh keeps every polygon to the end.
  bool CompactFinished = true;
  // Empty: VectorizeRow (RowPass.h), what a run does.
  TRowFunction RowPass = {};
};

class TTilePass {
 public:
  // Everything is read where it lies when a step runs, not copied: the parts outlive the pass.
  TTilePass(TTiles& tiles, const T2DRect& extent, const TRunSettings& settings,
            const std::string& nhmPath, IStatusSink* status)
      : tiles_(tiles), extent_(extent), settings_(settings), nhmPath_(nhmPath), status_(status) {}

  // Copies the file type into every tile, builds the names and tests the files (one message per
  // missing file); tiles without files become dummies, `found` counts the others. False, with a
  // message and before any file is looked at, when the file type is neither ASCII nor binary.
  bool CheckTileFiles(std::int32_t& found);
  // Every tile in row-major order into the run's containers, from a clean state; stops at the
  // first tile that fails. Tile buffers are released when the pass ends, whichever way it ends.
  bool Run(TRunState& state, const TTilePassOptions& options = {});

 private:
  // One tile: the 1 m check, the row window, the rows through the ring and the row pass.
  bool ProcessTile(TTile& tile, std::int32_t tileNumber, TRowPassContext& ctx,
                   const TRowFunction& rowPass);
  // The tile's rectangle, file names and header; false, with the message, when its file cannot
  // be read as a grid of 1 m cells.
  bool OpenTile(TTile& tile);
  bool RefuseUnknownFiletype() const;
  void ReportProgress(std::int32_t tileNumber, int row, int lastRow);
  // Releases the buffers of tiles that no tile after (row, column) will read.
  void ReleaseFinishedBuffers(std::int32_t row, std::int32_t column);
  void ReleaseAllBuffers();

  TTiles& tiles_;
  const T2DRect& extent_;
  const TRunSettings& settings_;
  const std::string& nhmPath_;
  IStatusSink* status_;  // not owned; may be null
};

}  // namespace qv

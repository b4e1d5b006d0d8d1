// The file operations of a tile, done on a second thread ahead of the row pass.
//
// The tile pass asks its file for rows strictly in order: the rows above the tile skipped, then
// for each tile row a skip, a read or nothing (TRowWindow). All of that is known once the header
// and the row window are, so a worker thread does the same operations in the same order while
// the row pass builds the rows already read, and hands each outcome over through a ring of
// slots: the parsed values and the row's result, or the exception the operation raised. The tile
// pass takes the outcomes in the order it would have performed the operations, so what it
// shows and throws, and when, is what it would have without the worker.
//
// The worker only parses: it touches the reader and the slots and nothing else (no platform, no
// messages). It stops after an exception, at the end of the plan, or when the owner goes; the
// destructor joins it. Reading a row of a height-model tile costs about as much as building it,
// so the two cores share a tile's work.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <vector>

#include "calculation/GridRowReader.h"
#include "calculation/RowWindow.h"
#include "platform/WorkerThread.h"

namespace qv {

class TRowReadAhead {
 public:
  struct TPlan {
    TRowWindow Window;
    TRowPlacement Placement;
    std::int64_t NCols = 0;
    int OwnColumns = 0;
    double NoData = 0.0;
    bool SkipStopsAtEnd = false;  // an ASCII grid's rows above end quietly with the file
  };

  // Starts the worker on the reader, which must outlive this object. Started() is false when
  // no thread could be had; the caller then reads itself.
  TRowReadAhead(TGridRowReader& reader, const TPlan& plan);
  ~TRowReadAhead();
  TRowReadAhead(const TRowReadAhead&) = delete;
  TRowReadAhead& operator=(const TRowReadAhead&) = delete;

  bool Started() const { return worker_ && worker_->Started(); }

  // The outcomes, in the order of the plan. Each rethrows the exception of its operation.
  void SkipRowsAbove(std::int64_t count);  // count must be the plan's
  void SkipRow();
  TRowReadResult ReadRow(std::span<double> own);

 private:
  enum class TOperation { SkipAbove, Skip, Read };
  struct TSlot {
    TOperation Operation = TOperation::Skip;
    TRowReadResult Result;
    std::exception_ptr Error;
    std::vector<double> Values;
  };
  static constexpr std::size_t SlotCount = 16;

  void Produce();
  // Performs one operation into the next free slot; false when the worker is to stop.
  bool Perform(TOperation operation);
  void SkipAbove();
  // Waits for the next outcome, which must be of the given operation.
  TSlot& Next(TOperation operation);
  void Done();

  TGridRowReader& reader_;
  TPlan plan_;
  TMonitor monitor_;
  std::vector<TSlot> slots_;
  std::uint64_t produced_ = 0;  // under the monitor
  std::uint64_t consumed_ = 0;  // under the monitor
  bool finished_ = false;       // under the monitor: the worker has stopped producing
  bool producerWaits_ = false;  // under the monitor: the worker sleeps for a free slot
  bool consumerWaits_ = false;  // under the monitor: the tile pass sleeps for a row
  std::atomic<bool> stop_{false};
  std::unique_ptr<TWorkerThread> worker_;  // last: started when everything else is ready
};

}  // namespace qv

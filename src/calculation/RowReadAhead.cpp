#include "calculation/RowReadAhead.h"

#include <algorithm>
#include <stdexcept>

namespace qv {

TRowReadAhead::TRowReadAhead(TGridRowReader& reader, const TPlan& plan)
    : reader_(reader), plan_(plan), slots_(SlotCount) {
  for (TSlot& slot : slots_) slot.Values.resize(static_cast<std::size_t>(plan.OwnColumns));
  worker_ = std::make_unique<TWorkerThread>([this] { Produce(); });
}

TRowReadAhead::~TRowReadAhead() {
  stop_ = true;
  {
    TMonitorLock lock(monitor_);
    monitor_.NotifyAll();
  }
  worker_.reset();
}

void TRowReadAhead::Produce() {
  try {
    if (Perform(TOperation::SkipAbove)) {
      for (int r = 0; r <= plan_.Window.LastRow; ++r) {
        const TRowAction action = plan_.Window.ActionFor(r);
        if (action == TRowAction::Skip && !Perform(TOperation::Skip)) break;
        if (action == TRowAction::Read && !Perform(TOperation::Read)) break;
      }
    }
  } catch (...) {
    // Only the monitor could throw here; the tile pass then finds the worker finished.
  }
  TMonitorLock lock(monitor_);
  finished_ = true;
  monitor_.NotifyAll();
}

bool TRowReadAhead::Perform(TOperation operation) {
  {
    TMonitorLock lock(monitor_);
    while (produced_ - consumed_ == SlotCount && !stop_) {
      producerWaits_ = true;
      monitor_.Wait();
      producerWaits_ = false;
    }
    if (stop_) return false;
  }
  // Only this thread advances produced_, and the slot is free until it does.
  TSlot& slot = slots_[produced_ % SlotCount];
  slot.Operation = operation;
  slot.Result = {};
  slot.Error = nullptr;
  try {
    switch (operation) {
      case TOperation::SkipAbove:
        SkipAbove();
        break;
      case TOperation::Skip:
        reader_.SkipRow(plan_.NCols);
        break;
      case TOperation::Read:
        slot.Result = reader_.ReadRow(slot.Values, plan_.Placement, plan_.NoData);
        break;
    }
  } catch (...) {
    slot.Error = std::current_exception();
  }
  const bool failed = slot.Error != nullptr;
  TMonitorLock lock(monitor_);
  ++produced_;
  // Waking a thread is a system call: only when the other side sleeps.
  if (consumerWaits_) monitor_.NotifyAll();
  return !failed;
}

void TRowReadAhead::SkipAbove() {
  for (std::int64_t i = 0; i < plan_.Window.FileRowsAbove && !stop_; ++i) {
    // However many rows a corrupt header claims, an ASCII skip ends with the file.
    if (plan_.SkipStopsAtEnd && reader_.AtEnd()) return;
    reader_.SkipRow(plan_.NCols);
  }
}

TRowReadAhead::TSlot& TRowReadAhead::Next(TOperation operation) {
  TMonitorLock lock(monitor_);
  while (consumed_ == produced_ && !finished_) {
    consumerWaits_ = true;
    monitor_.Wait();
    consumerWaits_ = false;
  }
  if (consumed_ == produced_) throw std::logic_error("Row read-ahead: more rows asked than planned");
  TSlot& slot = slots_[consumed_ % SlotCount];
  if (slot.Operation != operation) throw std::logic_error("Row read-ahead: rows asked out of plan");
  return slot;
}

void TRowReadAhead::Done() {
  TMonitorLock lock(monitor_);
  ++consumed_;
  if (producerWaits_) monitor_.NotifyAll();
}

void TRowReadAhead::SkipRowsAbove(std::int64_t count) {
  if (count != plan_.Window.FileRowsAbove)
    throw std::logic_error("Row read-ahead: rows above the tile differ from the plan");
  const std::exception_ptr error = Next(TOperation::SkipAbove).Error;
  Done();
  if (error) std::rethrow_exception(error);
}

void TRowReadAhead::SkipRow() {
  const std::exception_ptr error = Next(TOperation::Skip).Error;
  Done();
  if (error) std::rethrow_exception(error);
}

TRowReadResult TRowReadAhead::ReadRow(std::span<double> own) {
  TSlot& slot = Next(TOperation::Read);
  const std::exception_ptr error = slot.Error;
  const TRowReadResult result = slot.Result;
  if (!error) {
    const std::size_t n = std::min(own.size(), slot.Values.size());
    std::copy_n(slot.Values.begin(), n, own.begin());
  }
  Done();
  if (error) std::rethrow_exception(error);
  return result;
}

}  // namespace qv

#include "shapefile/FileSetReplacement.h"

#include <chrono>
#include <set>
#include <span>

#include "platform/Paths.h"

namespace qv {

namespace {

// A swap takes milliseconds; this much waiting means a run that hangs while holding the lock.
constexpr std::chrono::seconds kLockTimeout{60};

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

TFileSetReplacement::TFileSetReplacement(std::vector<std::string> files)
    : id_(UniqueRunId()), failed_(files.empty() ? std::string() : files.front()) {
  for (const std::string& f : files) names_.push_back(FileNameOf(f));
  if (!files.empty()) {
    prefix_ = files.front().substr(0, files.front().size() - names_.front().size());
    marker_ = RunFileName(files.front(), id_, TRunFileKind::Marker);
    lockFile_ = files.front() + ".qvlock";
  }
}

TFileSetReplacement::~TFileSetReplacement() { Discard(); }

bool TFileSetReplacement::Fail(const std::string& file) {
  failed_ = file;
  return false;
}

bool TFileSetReplacement::Begin() {
  if (names_.empty()) return false;
  TFileLock lock;
  return lock.Acquire(lockFile_, kLockTimeout) && RecoverLeftovers() &&
         markerFile_.Create(marker_) && markerFile_.LockExclusive();
}

bool TFileSetReplacement::Recover() {
  if (names_.empty()) return false;
  if (!HasLeftovers()) return true;
  TFileLock lock;
  return lock.Acquire(lockFile_, kLockTimeout) && RecoverLeftovers();
}

// Whether any run left files here, dead or alive: seen without the lock, so that an entry which
// finds nothing to put right creates nothing either (not even the lock file).
bool TFileSetReplacement::HasLeftovers() const {
  const auto entries = DirectoryEntries(prefix_);
  if (!entries) return false;
  for (const std::string& entry : *entries) {
    const auto file = ParseRunFileName(entry, names_, names_.front());
    if (file && file->Id != id_) return true;
  }
  return false;
}

std::string TFileSetReplacement::Replace(const std::string& target) {
  items_.push_back({target, TemporaryFor(target), std::nullopt});
  return items_.back().Temporary;
}

std::string TFileSetReplacement::TemporaryFor(const std::string& target) const {
  return RunFileName(target, id_, TRunFileKind::Temporary);
}

void TFileSetReplacement::Remove(const std::string& target) {
  items_.push_back({target, {}, std::nullopt});
}

// Under the lock: every other run whose marker nobody holds is dead. A dead run that had written
// its swap record is undone; then its files go, the marker last.
bool TFileSetReplacement::RecoverLeftovers() {
  const auto entries = DirectoryEntries(prefix_);
  if (!entries) return false;
  std::set<std::string> others;
  for (const std::string& entry : *entries) {
    const auto file = ParseRunFileName(entry, names_, names_.front());
    if (file && file->Id != id_) others.insert(file->Id);
  }
  if (others.empty()) return true;
  bool recovered = true;
  for (const std::string& id : others) {
    const std::string marker = PathOf(RunFileName(names_.front(), id, TRunFileKind::Marker));
    if (IsLockedByOther(marker)) continue;
    std::string reason;
    const auto text = ReadRegularFile(marker, reason);
    const auto record = text ? ParseSwapRecord(*text) : std::nullopt;
    if (record && !UndoSwap(prefix_, *record, id)) {
      recovered = false;  // its files stay, so the undo can be tried again
      continue;
    }
    RemoveRunFiles(*entries, id);
  }
  return SyncDirectory(prefix_) && recovered;
}

void TFileSetReplacement::RemoveRunFiles(const std::vector<std::string>& entries,
                                         const std::string& id) {
  for (const std::string& entry : entries) {
    const auto file = ParseRunFileName(entry, names_, names_.front());
    if (file && file->Id == id && file->Kind != TRunFileKind::Marker) RemoveFile(PathOf(entry));
  }
  RemoveFile(PathOf(RunFileName(names_.front(), id, TRunFileKind::Marker)));
}

// What the swap will do to each file, and which file this run wrote under each temporary name.
// A directory or device in a file's place is never touched: the swap is refused.
std::optional<std::vector<TSwapEntry>> TFileSetReplacement::PlanSwap() {
  std::vector<TSwapEntry> plan;
  for (TItem& item : items_) {
    const TPathKind kind = KindOf(item.Target);
    if (kind == TPathKind::Other) {
      Fail(item.Target);
      return std::nullopt;
    }
    const bool exists = kind == TPathKind::File;
    if (item.Temporary.empty()) {
      if (exists) plan.push_back({TSwapOp::Remove, FileNameOf(item.Target)});
      continue;
    }
    item.Written = IdentityOf(item.Temporary);
    if (!item.Written) {
      Fail(item.Target);
      return std::nullopt;
    }
    plan.push_back({exists ? TSwapOp::Replace : TSwapOp::Create, FileNameOf(item.Target)});
  }
  return plan;
}

bool TFileSetReplacement::Swap(const std::vector<TSwapEntry>& plan) {
  for (const TSwapEntry& e : plan) {
    const std::string target = PathOf(e.Name);
    const std::string temporary = RunFileName(target, id_, TRunFileKind::Temporary);
    if (e.Op != TSwapOp::Create &&
        !KeepAside(target, RunFileName(target, id_, TRunFileKind::Backup)))
      return Fail(target);
    const bool done = e.Op == TSwapOp::Remove ? RemoveFile(target) : ReplaceFile(temporary, target);
    if (!done) return Fail(target);
  }
  return true;
}

// Another program may have renamed or replaced a file between our rename and now.
bool TFileSetReplacement::WrittenFilesInPlace() {
  for (const TItem& item : items_) {
    if (!item.Temporary.empty() && IdentityOf(item.Target) != item.Written)
      return Fail(item.Target);
  }
  return true;
}

bool TFileSetReplacement::Commit() {
  if (committed_) return true;
  if (!markerFile_.IsOpen()) return false;
  TFileLock lock;
  if (!lock.Acquire(lockFile_, kLockTimeout) || !RecoverLeftovers()) return false;
  const auto plan = PlanSwap();
  if (!plan) return false;
  // A torn record (a kill while writing it) does not parse: nothing has been renamed yet.
  if (!markerFile_.Write(Bytes(FormatSwapRecord(*plan))) || !markerFile_.Sync() ||
      !SyncDirectory(prefix_))
    return Fail(failed_);
  undoPending_ = true;
  // The marker's removal is the commit point: before it, the next run would undo the swap.
  if (!Swap(*plan) || !WrittenFilesInPlace() || !SyncDirectory(prefix_) || !RemoveFile(marker_)) {
    if (UndoSwap(prefix_, *plan, id_) && SyncDirectory(prefix_)) undoPending_ = false;
    return false;
  }
  undoPending_ = false;
  FinishCommit(*plan);
  return true;
}

void TFileSetReplacement::FinishCommit(const std::vector<TSwapEntry>& plan) {
  committed_ = true;
  SyncDirectory(prefix_);
  markerFile_.Close();
  // What is left here after a kill carries no marker any more: the next run removes it.
  for (const TSwapEntry& e : plan)
    RemoveFile(RunFileName(PathOf(e.Name), id_, TRunFileKind::Backup));
}

void TFileSetReplacement::Discard() {
  if (committed_ || names_.empty()) return;
  if (!undoPending_) {
    for (const TItem& item : items_) {
      if (!item.Temporary.empty()) RemoveFile(item.Temporary);
      RemoveFile(RunFileName(item.Target, id_, TRunFileKind::Backup));
    }
    if (markerFile_.IsOpen()) RemoveFile(marker_);
  }
  // Closing lets go of the marker's lock: a swap that could not be undone is the next run's.
  markerFile_.Close();
  items_.clear();
}

}  // namespace qv

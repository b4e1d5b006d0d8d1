// Replaces a run's files (the .shp, .shx, .dbf and .prj of both layers) as one transaction.
//
// The new files are written under names unique to the run, beside their targets (see
// SwapRecord.h), while other runs may be writing theirs. Only the swap is serialised, by the
// lock file "ANCHOR.qvlock" beside the files:
//
//   Begin   lock; put right what dead runs left; create and lock the run's marker; unlock
//   (the caller writes every temporary, syncs and closes it)
//   Commit  lock; put right what runs that died meanwhile left; write the swap record into the
//           marker and sync it (from here a kill is undone by the next run); for each file keep
//           the old one aside and rename the new one over it (one rename, after fsync); check
//           that every target is the file this run wrote; remove the marker (the commit point);
//           remove the kept files; unlock
//
// A failure at any step before the commit point puts every old file back; a run killed before
// it is undone by the next run, under the lock, before that run writes or swaps anything: old
// files return, new files placed where there were none go, temporaries go. A killed run's
// files are never taken for another's: they carry its id, and it is known to be dead when no
// one holds the lock of its marker. So after any failure or kill the files on disk are, once
// the next run has begun, the complete old set or the complete new one, and a run reports
// success only when the files in place are the ones it wrote.
//
// Between the first and the last rename of a swap the set on disk is mixed; a kill there is
// put right by the next run. Where the file system keeps no locks, runs are not serialised and
// leftovers of dead runs are left alone (a live run cannot be told from a dead one there).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "shapefile/SwapRecord.h"

namespace qv {

class TFileSetReplacement {
 public:
  // Files: every file the run may replace or remove, also those it leaves alone this time (the
  // leftovers of dead runs are put right for all of them). The first is the anchor that names
  // the lock and the markers. All lie in one directory.
  explicit TFileSetReplacement(std::vector<std::string> files);
  // Discards unless committed.
  ~TFileSetReplacement();
  TFileSetReplacement(const TFileSetReplacement&) = delete;
  TFileSetReplacement& operator=(const TFileSetReplacement&) = delete;

  bool Begin();
  // What dead runs left is put right under the lock, as Begin does, but nothing is claimed: for
  // the entries that touch a project without replacing its files. True when nothing is left to
  // put right (also when the directory holds no run's files at all).
  bool Recover();
  // The name to write the new content of target under; the target is replaced at Commit.
  std::string Replace(const std::string& target);
  // The name Replace gives target, without registering it (files may be written under it
  // before; they are this run's, and go with a Discard once registered).
  std::string TemporaryFor(const std::string& target) const;
  // The target is removed at Commit, when it exists.
  void Remove(const std::string& target);
  // Call when every temporary file is complete, synced and closed.
  bool Commit();
  // Removes this run's temporaries and marker (nothing is left to undo after a failed Commit,
  // unless the undo itself failed: then its files stay for the next run).
  void Discard();
  // The file whose step failed, or the anchor.
  const std::string& FailedFile() const { return failed_; }

 private:
  struct TItem {
    std::string Target;
    std::string Temporary;  // empty: the target is only removed
    std::optional<TFileIdentity> Written;
  };

  bool Fail(const std::string& file);
  std::string PathOf(const std::string& name) const { return prefix_ + name; }
  bool HasLeftovers() const;
  bool RecoverLeftovers();
  void RemoveRunFiles(const std::vector<std::string>& entries, const std::string& id);
  std::optional<std::vector<TSwapEntry>> PlanSwap();
  bool Swap(const std::vector<TSwapEntry>& plan);
  bool WrittenFilesInPlace();
  void FinishCommit(const std::vector<TSwapEntry>& plan);

  std::vector<std::string> names_;  // file names of files_, without directory
  std::string prefix_;              // the directory with its separator, or empty
  std::string id_;
  std::string marker_;
  std::string lockFile_;
  std::vector<TItem> items_;
  TNewFile markerFile_;
  bool undoPending_ = false;  // a swap record is written and the swap is not undone
  bool committed_ = false;
  std::string failed_;
};

}  // namespace qv

// The files that one run keeps beside the files it replaces, and the record of its swap.
//
// A run is known by its id (UniqueRunId). Beside a file NAME it writes the new content as
// "NAME.qv<id>.tmp" and keeps the old file aside as "NAME.qv<id>.old" while it swaps. Its marker
// "ANCHOR.qv<id>.run" (ANCHOR: the first file of its set) exists for the run's whole life and is
// locked by it (IsLockedByOther tells a live run from a dead one). Just before the first rename
// the run writes the swap record into its marker: one line per file, what the swap does to it,
// then "end". A record without "end" was torn by a kill before any file was touched.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class TSwapOp : char {
  Replace = 'R',  // an old file is replaced by the new one
  Create = 'N',   // the new file takes a name where there was none
  Remove = 'D',   // an old file goes (a spatial index that no longer matches)
};

struct TSwapEntry {
  TSwapOp Op = TSwapOp::Replace;
  std::string Name;  // file name, without directory
};

enum class TRunFileKind { Temporary, Backup, Marker };

// NAME.qv<id>.tmp, .old or .run (NAME may be a whole path).
std::string RunFileName(std::string_view name, std::string_view runId, TRunFileKind kind);

// The run id and kind of a run's file beside one of the given file names; nothing for any other
// name. Markers count only beside the anchor.
struct TRunFile {
  std::string Id;
  TRunFileKind Kind = TRunFileKind::Temporary;
};
std::optional<TRunFile> ParseRunFileName(std::string_view entry,
                                         const std::vector<std::string>& names,
                                         std::string_view anchor);

std::string FormatSwapRecord(const std::vector<TSwapEntry>& entries);
// Nothing for a torn or foreign record.
std::optional<std::vector<TSwapEntry>> ParseSwapRecord(std::string_view text);

// Puts back what the swap of run runId did to the files in front of prefix (a directory with
// its separator, or empty): old files kept aside return, new files placed where there was none
// go. Files the swap had not reached yet are left as they are. True when every step succeeded.
bool UndoSwap(const std::string& prefix, const std::vector<TSwapEntry>& entries,
              std::string_view runId);

}  // namespace qv

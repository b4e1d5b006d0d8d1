#include "shapefile/SwapRecord.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace qv {

namespace {

constexpr std::string_view kRecordHeader = "quelvaris swap\n";
constexpr std::string_view kRecordEnd = "end\n";

std::string_view Suffix(TRunFileKind kind) {
  switch (kind) {
    case TRunFileKind::Backup:
      return ".old";
    case TRunFileKind::Marker:
      return ".run";
    case TRunFileKind::Temporary:
      break;
  }
  return ".tmp";
}

// Ids are what UniqueRunId makes: digits, hexadecimal letters and a dash.
bool IsRunId(std::string_view id) {
  return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '-';
  });
}

bool IsOp(char c) {
  return c == static_cast<char>(TSwapOp::Replace) || c == static_cast<char>(TSwapOp::Create) ||
         c == static_cast<char>(TSwapOp::Remove);
}

}  // namespace

std::string RunFileName(std::string_view name, std::string_view runId, TRunFileKind kind) {
  std::string result(name);
  result += ".qv";
  result += runId;
  result += Suffix(kind);
  return result;
}

std::optional<TRunFile> ParseRunFileName(std::string_view entry,
                                         const std::vector<std::string>& names,
                                         std::string_view anchor) {
  for (const TRunFileKind kind :
       {TRunFileKind::Temporary, TRunFileKind::Backup, TRunFileKind::Marker}) {
    const std::string_view suffix = Suffix(kind);
    if (!entry.ends_with(suffix)) continue;
    for (const std::string& name : names) {
      if (kind == TRunFileKind::Marker && name != anchor) continue;
      const std::string start = name + ".qv";
      if (entry.size() <= start.size() + suffix.size() || !entry.starts_with(start)) continue;
      const auto id = entry.substr(start.size(), entry.size() - start.size() - suffix.size());
      if (IsRunId(id)) return TRunFile{std::string(id), kind};
    }
  }
  return std::nullopt;
}

std::string FormatSwapRecord(const std::vector<TSwapEntry>& entries) {
  std::string text(kRecordHeader);
  for (const TSwapEntry& e : entries) {
    text += static_cast<char>(e.Op);
    text += ' ';
    text += e.Name;
    text += '\n';
  }
  text += kRecordEnd;
  return text;
}

std::optional<std::vector<TSwapEntry>> ParseSwapRecord(std::string_view text) {
  if (!text.starts_with(kRecordHeader) || !text.ends_with(kRecordEnd)) return std::nullopt;
  text = text.substr(kRecordHeader.size(), text.size() - kRecordHeader.size() - kRecordEnd.size());
  std::vector<TSwapEntry> entries;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos || end < 3 || !IsOp(text[0]) || text[1] != ' ')
      return std::nullopt;
    entries.push_back({static_cast<TSwapOp>(text[0]), std::string(text.substr(2, end - 2))});
    text.remove_prefix(end + 1);
  }
  return entries;
}

bool UndoSwap(const std::string& prefix, const std::vector<TSwapEntry>& entries,
              std::string_view runId) {
  bool undone = true;
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    const std::string target = prefix + e->Name;
    const std::string backup = RunFileName(target, runId, TRunFileKind::Backup);
    if (KindOf(backup) == TPathKind::File) {
      undone = ReplaceFile(backup, target) && undone;
    } else if (e->Op == TSwapOp::Create &&
               KindOf(RunFileName(target, runId, TRunFileKind::Temporary)) ==
                   TPathKind::Missing) {
      // The new file was renamed into place; there was nothing before it.
      undone = RemoveFile(target) && undone;
    }
  }
  return undone;
}

}  // namespace qv

// The settings file on POSIX: see IniStore.h.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/IniStore.h"

namespace qv {

namespace {

// Saves of one settings file follow each other within moments; a longer wait is a hung writer.
constexpr std::chrono::seconds kLockTimeout{10};
constexpr int kMaxLinks = 40;  // as the system's own limit on symbolic links in a path

std::string DirectoryPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a chain of symbolic links ends at (the path itself when it is no link). Nothing for
// a loop.
std::optional<std::string> LinkTarget(std::string path) {
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0) return path;
    const std::string link(buffer, static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : DirectoryPart(path) + link;
  }
  return std::nullopt;
}

std::string SystemReason() { return std::generic_category().message(errno); }

// The text of an existing settings file that may be replaced, or the reason it may not. A
// missing file gives an empty text.
std::optional<std::string> ReplaceableText(const std::string& target, std::string& reason) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::string();
    reason = "it cannot be read (" + SystemReason() + ")";
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = "it is not a regular file";
    return std::nullopt;
  }
  // Root may write anything; a file that grants writing to no one is read-only all the same.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    reason = "it is read-only";
    return std::nullopt;
  }
  std::string readReason;
  auto text = ReadRegularFile(target, readReason);
  if (!text) reason = "it cannot be read (" + readReason + ")";
  return text;
}

// Under the lock no other writer is alive: every temporary of this file is a killed writer's,
// also those that earlier versions named "NAME.tmp<pid>".
void RemoveKilledWritersFiles(const std::string& target) {
  const std::string dir = DirectoryPart(target);
  const std::string name = target.substr(dir.size());
  const auto entries = DirectoryEntries(dir);
  if (!entries) return;
  for (const std::string& e : *entries) {
    const bool ours = e.starts_with(name + ".qv") && e.ends_with(".tmp");
    const bool older = e.starts_with(name + ".tmp") && e.size() > name.size() + 4 &&
                       e.find_first_not_of("0123456789", name.size() + 4) == std::string::npos;
    if (ours || older) RemoveFile(dir + e);
  }
}

bool Replace(const std::string& target, const std::string& text, bool existed,
             std::string& reason) {
  const std::string temporary = target + ".qv" + UniqueRunId() + ".tmp";
  TNewFile file;
  bool ok = file.Create(temporary);
  if (ok && existed) file.TakeAccessOf(target);
  ok = ok && file.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) &&
       file.Sync();
  ok = file.Close() && ok && ReplaceFile(temporary, target) &&
       SyncDirectory(DirectoryPart(target));
  if (!ok) {
    reason = SystemReason();
    RemoveFile(temporary);
  }
  return ok;
}

}  // namespace

void ReadIniFile(const std::string& path, std::span<TIniEntry> entries) {
  std::string reason;
  const auto text = ReadRegularFile(path, reason);
  IniLookup(text ? *text : std::string(), entries);
}

bool WriteIniFile(const std::string& path, std::span<const TIniEntry> entries,
                  std::string& error) {
  std::string reason;
  const auto target = LinkTarget(path);
  if (!target) {
    error = "Unable to write to " + path + ": too many symbolic links";
    return false;
  }
  TFileLock lock;
  if (!lock.Acquire(*target + ".qvlock", kLockTimeout)) {
    error = "Unable to write to " + path + ": " + SystemReason();
    return false;
  }
  RemoveKilledWritersFiles(*target);
  const bool existed = KindOf(*target) != TPathKind::Missing;
  const auto text = ReplaceableText(*target, reason);
  if (!text || !Replace(*target, IniAssign(*text, entries), existed, reason)) {
    error = "Unable to write to " + path + ": " + reason;
    return false;
  }
  return true;
}

}  // namespace qv

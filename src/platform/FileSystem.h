// The file operations by which the library puts files in place safely, on POSIX and on Windows.
//
// Files are created new (never opened over an existing name, which may be another run's file or
// a link planted there), written straight to the system in the caller's blocks, and flushed to
// the disk before they are renamed over their targets. An old file is kept aside under a second
// name (a hard link where the file system has them, else a move) until the new one is in place.
// Locks are advisory and held by open handles, so the system lets go of them when a process dies:
// a lock file serialises the runs that replace the same files, and a lock on a run's own marker
// file tells other runs that this one is still alive.
//
// Every step asks the fault seam (FileFaults.h) first. A refused step fails like an I/O error.
// Paths may use either separator; they are made native here.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv {

// A file's identity on its volume: two names with the same identity name the same file.
struct TFileIdentity {
  std::uint64_t Volume = 0;
  std::uint64_t Index = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// What a name stands for, seen without following a final symbolic link.
enum class TPathKind { Missing, File, Other };  // File: a regular file or a link; Other: a
                                                // directory, FIFO, device, or unreadable entry

// A file created by this process and written by it alone.
class TNewFile {
 public:
  TNewFile() = default;
  ~TNewFile();  // closes without syncing
  TNewFile(const TNewFile&) = delete;
  TNewFile& operator=(const TNewFile&) = delete;

  // Creates the file; false when the name exists in any form (file, directory, link).
  bool Create(const std::string& path);
  // Writes the whole block or returns false.
  bool Write(std::span<const std::uint8_t> bytes);
  // Puts the data written so far on the disk.
  bool Sync();
  // Takes the advisory lock that marks its owner as alive (see IsLockedByOther). True as well
  // where the file system has no locks.
  bool LockExclusive();
  std::optional<TFileIdentity> Identity() const;
  // Gives the file the permissions, owner and group of the file at original, as far as this
  // process may (POSIX; on Windows a new file takes the directory's, as a replaced one did).
  void TakeAccessOf(const std::string& original);
  bool Close();
  bool IsOpen() const { return handle_ != Invalid; }

 private:
  static constexpr std::intptr_t Invalid = -1;
  std::intptr_t handle_ = Invalid;  // a descriptor on POSIX, a HANDLE on Windows
};

// An exclusive lock on a lock file, which exists only while it is held.
class TFileLock {
 public:
  TFileLock() = default;
  ~TFileLock() { Release(); }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // Waits up to timeout for the lock; the file is created when missing. True as well where
  // the file system has no locks (nothing can be serialised there).
  bool Acquire(const std::string& path, std::chrono::milliseconds timeout);
  // Removes the lock file, then lets go of it: a waiter that then gets the lock of the removed
  // file sees that and tries again on a new one.
  void Release();

 private:
  std::intptr_t handle_ = -1;
  std::string path_;
};

// True when another process holds the LockExclusive of the file at path. A missing file is not
// held; a file that cannot be checked counts as held, so nothing of a live run is ever touched.
bool IsLockedByOther(const std::string& path);

// Renames from over to, replacing a file there in one step.
bool ReplaceFile(const std::string& from, const std::string& to);
// Gives the file at path the second name aside, keeping it at path where hard links exist.
bool KeepAside(const std::string& path, const std::string& aside);
// True when nothing is left under the name (a missing file included).
bool RemoveFile(const std::string& path);
// Makes renames and removals within the directory durable (no-op on Windows).
bool SyncDirectory(const std::string& directory);

TPathKind KindOf(const std::string& path);
std::optional<TFileIdentity> IdentityOf(const std::string& path);
// The names in a directory ("." and ".." left out); nothing when it cannot be listed.
std::optional<std::vector<std::string>> DirectoryEntries(const std::string& directory);

// The whole content of a regular file. Anything else (a FIFO, a device, a directory) is not
// opened in a way that could wait; an error gives nothing and the system's reason in `reason`.
std::optional<std::string> ReadRegularFile(const std::string& path, std::string& reason);

// A name part unique to one run: the process id and a random number ("4711-9f3a0c1d").
std::string UniqueRunId();

}  // namespace qv

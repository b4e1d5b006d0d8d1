// The safe file operations on POSIX: descriptors, fsync, rename(2), link(2) and flock(2).
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <system_error>

#include "platform/FileFaults.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace qv {

namespace {

// Writes of at least this size (the output buffer's flushes) start the disk write at once.
constexpr std::size_t kWritebackBlock = 64 * 1024;

// The step is refused by the fault seam: it fails as an I/O error would.
bool Refused(TFileStep step, const std::string& path) {
  if (FileStepAllowed(step, path)) return false;
  errno = EIO;
  return true;
}

// flock fails with these where the file system keeps no locks (some network shares).
bool LocksUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL; }

TFileIdentity IdentityFrom(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

void SleepMilliseconds(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

TNewFile::~TNewFile() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

bool TNewFile::Create(const std::string& path) {
  const std::string native = NativePath(path);
  if (IsOpen() || Refused(TFileStep::Create, native)) return false;
  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool TNewFile::Write(std::span<const std::uint8_t> bytes) {
  if (!IsOpen() || Refused(TFileStep::Write, {})) return false;
  const bool large = bytes.size() >= kWritebackBlock;
  while (!bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
#ifdef SYNC_FILE_RANGE_WRITE
  // Start putting what is written on the disk now, while the rest is being made, so that the
  // sync at the end waits for the last block and not for the whole layer (a crown layer of one
  // tile is 70 MB). Only a start: failures show in the sync, which is what counts.
  if (large) ::sync_file_range(static_cast<int>(handle_), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)large;
#endif
  return true;
}

bool TNewFile::Sync() {
  return IsOpen() && !Refused(TFileStep::Sync, {}) && ::fsync(static_cast<int>(handle_)) == 0;
}

bool TNewFile::LockExclusive() {
  if (!IsOpen() || Refused(TFileStep::Lock, {})) return false;
  return ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0 || LocksUnsupported(errno);
}

std::optional<TFileIdentity> TNewFile::Identity() const {
  struct stat st {};
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &st) != 0) return std::nullopt;
  return IdentityFrom(st);
}

void TNewFile::TakeAccessOf(const std::string& original) {
  struct stat st {};
  if (!IsOpen() || ::stat(NativePath(original).c_str(), &st) != 0) return;
  const int fd = static_cast<int>(handle_);
  // The owner can be kept only by root; the group by a member of it. What cannot be kept stays
  // as the system made it.
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
    [[maybe_unused]] const int groupKept = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  }
  [[maybe_unused]] const int modeKept = ::fchmod(fd, st.st_mode & 07777);
}

bool TNewFile::Close() {
  if (!IsOpen()) return false;
  const int fd = static_cast<int>(handle_);
  handle_ = Invalid;
  return ::close(fd) == 0;
}

bool TFileLock::Acquire(const std::string& path, std::chrono::milliseconds timeout) {
  Release();
  const std::string native = NativePath(path);
  if (Refused(TFileStep::Lock, native)) return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    // O_NOFOLLOW: a link planted under the lock's name must not make us create files elsewhere.
    const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || LocksUnsupported(errno)) {
      // The holder before us may have removed the file we locked: only the file that the name
      // still stands for serialises anything.
      struct stat held {};
      struct stat named {};
      if (::fstat(fd, &held) == 0 && ::lstat(native.c_str(), &named) == 0 &&
          IdentityFrom(held) == IdentityFrom(named)) {
        handle_ = fd;
        path_ = native;
        return true;
      }
      ::close(fd);
      continue;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return false;
    SleepMilliseconds(10);
  }
}

void TFileLock::Release() {
  if (handle_ < 0) return;
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
  handle_ = -1;
}

bool IsLockedByOther(const std::string& path) {
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno != ENOENT;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  const std::string target = NativePath(to);
  return !Refused(TFileStep::Rename, target) &&
         std::rename(NativePath(from).c_str(), target.c_str()) == 0;
}

bool KeepAside(const std::string& path, const std::string& aside) {
  const std::string from = NativePath(path);
  const std::string to = NativePath(aside);
  if (Refused(TFileStep::Link, to)) return false;
  if (::link(from.c_str(), to.c_str()) == 0) return true;
  // File systems without hard links (FAT, some shares): the old file is moved instead.
  if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS) return false;
  return !Refused(TFileStep::Rename, to) && std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
  const std::string native = NativePath(path);
  if (Refused(TFileStep::Remove, native)) return false;
  return ::unlink(native.c_str()) == 0 || errno == ENOENT;
}

bool SyncDirectory(const std::string& directory) {
  const std::string native = NativePath(directory.empty() ? "." : directory);
  if (Refused(TFileStep::Sync, native)) return false;
  const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems cannot sync a directory; their renames are as durable as they get.
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return synced;
}

TPathKind KindOf(const std::string& path) {
  struct stat st {};
  if (::lstat(NativePath(path).c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TPathKind::Missing : TPathKind::Other;
  return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode) ? TPathKind::File : TPathKind::Other;
}

std::optional<TFileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (::lstat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
  return IdentityFrom(st);
}

std::optional<std::vector<std::string>> DirectoryEntries(const std::string& directory) {
  DIR* dir = ::opendir(NativePath(directory.empty() ? "." : directory).c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::string& reason) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = std::generic_category().message(errno);
    return std::nullopt;
  }
  std::optional<std::string> text;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    reason = "not a regular file";
  } else {
    try {
      std::string content;
      content.reserve(static_cast<std::size_t>(st.st_size));
      char block[1 << 16];
      ssize_t n = 0;
      while ((n = ::read(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) content.append(block, static_cast<std::size_t>(n));
      }
      if (n == 0) text = std::move(content);
      if (n < 0) reason = std::generic_category().message(errno);
    } catch (const std::bad_alloc&) {
      reason = "too large";
    }
  }
  ::close(fd);
  return text;
}

}  // namespace qv

// The safe file operations on Windows: handles shared for deletion (so a run can remove its own
// open marker), FlushFileBuffers, MoveFileEx with write-through, hard links where the volume has
// them, and LockFileEx on a byte far beyond the end of the file, so the lock never blocks a read.
#include <algorithm>

#include "platform/FileFaults.h"
#include "platform/FileSystem.h"
#include "platform/Win32.h"

namespace qv {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The locked byte: 2^62, far beyond any data, so the lock marks a holder and nothing more.
constexpr DWORD kLockOffsetHigh = 0x40000000;

bool Refused(TFileStep step, const std::string& path) {
  if (FileStepAllowed(step, path)) return false;
  ::SetLastError(ERROR_WRITE_FAULT);
  return true;
}

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

bool LockByte(HANDLE h, DWORD flags) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  return ::LockFileEx(h, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void UnlockByte(HANDLE h) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  ::UnlockFileEx(h, 0, 1, 0, &at);
}

std::optional<TFileIdentity> IdentityOfHandle(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return std::nullopt;
  return TFileIdentity{info.dwVolumeSerialNumber,
                       (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::string SystemMessage(DWORD error) {
  char buffer[256] = {};
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(error) : text;
}

}  // namespace

TNewFile::~TNewFile() {
  if (IsOpen()) ::CloseHandle(AsHandle(handle_));
}

bool TNewFile::Create(const std::string& path) {
  if (IsOpen() || Refused(TFileStep::Create, path)) return false;
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

bool TNewFile::Write(std::span<const std::uint8_t> bytes) {
  if (!IsOpen() || Refused(TFileStep::Write, {})) return false;
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle_), bytes.data(), chunk, &written, nullptr) || written == 0)
      return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

bool TNewFile::Sync() {
  return IsOpen() && !Refused(TFileStep::Sync, {}) && ::FlushFileBuffers(AsHandle(handle_)) != 0;
}

bool TNewFile::LockExclusive() {
  return IsOpen() && !Refused(TFileStep::Lock, {}) &&
         LockByte(AsHandle(handle_), LOCKFILE_EXCLUSIVE_LOCK);
}

std::optional<TFileIdentity> TNewFile::Identity() const {
  if (!IsOpen()) return std::nullopt;
  return IdentityOfHandle(AsHandle(handle_));
}

void TNewFile::TakeAccessOf(const std::string&) {}

bool TNewFile::Close() {
  if (!IsOpen()) return false;
  HANDLE h = AsHandle(handle_);
  handle_ = Invalid;
  return ::CloseHandle(h) != 0;
}

bool TFileLock::Acquire(const std::string& path, std::chrono::milliseconds timeout) {
  Release();
  if (Refused(TFileStep::Lock, path)) return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // A lock file that its last holder removed stays "delete pending" until it is closed.
    const bool pending = h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED;
    if (h == INVALID_HANDLE_VALUE && !pending) return false;
    if (h != INVALID_HANDLE_VALUE) {
      if (LockByte(h, LOCKFILE_EXCLUSIVE_LOCK)) {
        const auto held = IdentityOfHandle(h);
        if (held && held == IdentityOf(path)) {
          handle_ = reinterpret_cast<std::intptr_t>(h);
          path_ = path;
          return true;
        }
        UnlockByte(h);
      }
      ::CloseHandle(h);
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::Sleep(10);
  }
}

void TFileLock::Release() {
  if (handle_ < 0) return;
  ::DeleteFileA(path_.c_str());
  UnlockByte(AsHandle(handle_));
  ::CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

bool IsLockedByOther(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  }
  const bool free = LockByte(h, 0);
  if (free) UnlockByte(h);
  ::CloseHandle(h);
  return !free;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return !Refused(TFileStep::Rename, to) &&
         ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool KeepAside(const std::string& path, const std::string& aside) {
  if (Refused(TFileStep::Link, aside)) return false;
  if (::CreateHardLinkA(aside.c_str(), path.c_str(), nullptr)) return true;
  // Volumes without hard links (FAT, many shares): the old file is moved aside instead.
  return !Refused(TFileStep::Rename, aside) &&
         ::MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) {
  if (Refused(TFileStep::Remove, path)) return false;
  if (::DeleteFileA(path.c_str())) return true;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool SyncDirectory(const std::string&) { return true; }

TPathKind KindOf(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TPathKind::Missing
                                                                           : TPathKind::Other;
  }
  return (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0 ? TPathKind::File
                                                                       : TPathKind::Other;
}

std::optional<TFileIdentity> IdentityOf(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  const auto identity = IdentityOfHandle(h);
  ::CloseHandle(h);
  return identity;
}

std::optional<std::vector<std::string>> DirectoryEntries(const std::string& directory) {
  std::string pattern = directory.empty() ? std::string(".") : directory;
  if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA entry{};
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<std::string> names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return names;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::string& reason) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    reason = SystemMessage(::GetLastError());
    return std::nullopt;
  }
  std::optional<std::string> text;
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    reason = "not a regular file";
  } else {
    try {
      std::string content;
      char block[1 << 16];
      DWORD n = 0;
      BOOL ok = FALSE;
      while ((ok = ::ReadFile(h, block, sizeof block, &n, nullptr)) && n > 0) content.append(block, n);
      if (ok) text = std::move(content);
      else reason = SystemMessage(::GetLastError());
    } catch (const std::bad_alloc&) {
      reason = "too large";
    }
  }
  ::CloseHandle(h);
  return text;
}

}  // namespace qv

// A file read front to back in large blocks.
//
// Height-model tiles are tens of megabytes; reading them through a buffer of a megabyte keeps the
// number of system calls small and lets the parsers work on plain memory. The reader never seeks:
// callers consume bytes from the front of the window and ask for more with Ensure.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TBlockFile {
 public:
  static constexpr std::size_t DefaultBlockSize = std::size_t{1} << 20;

  // Opens an existing file for reading (others may read it too, but not write); null when the
  // file does not exist or cannot be opened. The name may differ from the file's in case only.
  static std::unique_ptr<TBlockFile> Open(const std::string& path,
                                          std::size_t blockSize = DefaultBlockSize);

  // Use Open; the key keeps construction in this class's hands.
  class TKey {
    friend class TBlockFile;
    TKey() = default;
  };
  TBlockFile(TKey, std::FILE* file, std::size_t blockSize);
  ~TBlockFile();
  TBlockFile(const TBlockFile&) = delete;
  TBlockFile& operator=(const TBlockFile&) = delete;

  // The bytes read but not yet consumed. The window is followed by one readable byte ('\n'), so
  // a scan for a blank always stops at the end of the window.
  const char* Data() const { return buffer_.data() + begin_; }
  std::size_t Available() const { return end_ - begin_; }
  void Consume(std::size_t count) { begin_ += count < Available() ? count : Available(); }

  // Makes at least `count` bytes available unless the file ends first, or `count` exceeds the
  // block size; returns how many are available. Moves the window: earlier Data() pointers go stale.
  std::size_t Ensure(std::size_t count);

  // Nothing left to read.
  bool AtEnd() { return Ensure(1) == 0; }
  // A read failed (as opposed to ending normally).
  bool Failed() const { return failed_; }

  std::size_t BlockSize() const { return buffer_.size() - 1; }

 private:
  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};

}  // namespace qv

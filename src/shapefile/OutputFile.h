// A binary output file that remembers whether every byte reached the disk.
//
// Writes are gathered in a buffer of a megabyte and handed to the system a block at a time: a
// crown layer is tens of megabytes in records of a few hundred bytes. A full disk or a file-size
// limit may only show when the buffer is flushed, so the result that counts is the one of
// Close; the destructor closes a file that is still open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace qv {

class TOutputFile {
 public:
  TOutputFile() = default;
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Creates or truncates the file. False when it cannot be created.
  bool Open(const std::string& path);
  // False once any write has failed; later writes are skipped.
  bool Write(std::span<const std::uint8_t> bytes);
  // Flushes and closes; true when the file was open and every write succeeded.
  bool Close();

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

 private:
  // Hands the buffered bytes to the system; false when that fails.
  bool Flush();

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
  std::string path_;
};

}  // namespace qv

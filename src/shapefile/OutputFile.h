// A binary output file that remembers whether every byte reached the disk.
//
// The file is created new (see TNewFile) under a name that no one else writes, filled through a
// buffer of its own, and synced to the disk when closed: a full disk or a file-size limit may
// only show when the buffer is flushed or synced, so the result that counts is the one of Close.
// The destructor closes a file that is still open (without caring for the result).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace qv {

class TOutputFile {
 public:
  TOutputFile() = default;
  ~TOutputFile() = default;
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Creates the file. False when it cannot be created or the name is taken.
  bool Open(const std::string& path);
  // False once any write has failed; later writes are skipped.
  bool Write(std::span<const std::uint8_t> bytes);
  // Flushes, syncs and closes; true when the file was open and every byte reached the disk.
  bool Close();

  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& Path() const { return path_; }

 private:
  bool Flush();

  TNewFile file_;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
  std::string path_;
};

}  // namespace qv

#include "shapefile/OutputFile.h"

namespace qv {

namespace {
// A crown layer is tens of megabytes in records of a few hundred bytes: the system gets them a
// megabyte at a time.
constexpr std::size_t BufferBytes = std::size_t{1} << 20;
}

bool TOutputFile::Open(const std::string& path) {
  if (IsOpen()) Close();
  path_ = path;
  failed_ = false;
  buffer_.clear();
  buffer_.reserve(BufferBytes);
  return file_.Create(path);
}

bool TOutputFile::Flush() {
  if (!buffer_.empty() && !failed_) failed_ = !file_.Write(buffer_);
  buffer_.clear();
  return !failed_;
}

bool TOutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (!IsOpen() || failed_) return false;
  if (buffer_.size() + bytes.size() > BufferBytes && !Flush()) return false;
  // Blocks larger than the buffer go to the system as they are.
  if (bytes.size() >= BufferBytes) {
    failed_ = !file_.Write(bytes);
  } else {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  }
  return !failed_;
}

bool TOutputFile::Close() {
  if (!IsOpen()) return false;
  const bool written = Flush() && file_.Sync();
  buffer_ = {};  // a closed file holds no megabyte while the next layer is written
  return file_.Close() && written;
}

}  // namespace qv

#include "shapefile/OutputFile.h"

#include "platform/Paths.h"

namespace qv {

namespace {
constexpr std::size_t BufferBytes = std::size_t{1} << 20;
}

TOutputFile::~TOutputFile() { Close(); }

bool TOutputFile::Open(const std::string& path) {
  Close();
  path_ = path;
  failed_ = false;
  file_ = std::fopen(NativePath(path).c_str(), "wb");
  if (file_ == nullptr) return false;
  // The buffer here is the only one: a second in the C library would copy every byte again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.clear();
  buffer_.reserve(BufferBytes);
  return true;
}

bool TOutputFile::Flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    failed_ = true;
  buffer_.clear();
  return !failed_;
}

bool TOutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || failed_) return false;
  if (buffer_.size() + bytes.size() > BufferBytes && !Flush()) return false;
  if (bytes.size() >= BufferBytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
  } else {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  }
  return !failed_;
}

bool TOutputFile::Close() {
  if (file_ == nullptr) return false;
  Flush();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  buffer_ = {};
  return closed && !failed_;
}

}  // namespace qv

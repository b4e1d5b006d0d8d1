#include "shapefile/OutputFile.h"

#include "platform/Paths.h"

namespace qv {

namespace {
constexpr std::size_t BufferBytes = 1 << 16;
}

TOutputFile::~TOutputFile() { Close(); }

bool TOutputFile::Open(const std::string& path) {
  Close();
  path_ = path;
  failed_ = false;
  file_ = std::fopen(NativePath(path).c_str(), "wb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IOFBF, BufferBytes);
  return true;
}

bool TOutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || failed_) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    failed_ = true;
  return !failed_;
}

bool TOutputFile::Close() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failed_;
}

}  // namespace qv

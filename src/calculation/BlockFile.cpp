#include "calculation/BlockFile.h"

#include <cstring>

#include "platform/Platform.h"
#include "platform/SharedRead.h"

namespace qv {

std::unique_ptr<TBlockFile> TBlockFile::Open(const std::string& path, std::size_t blockSize) {
  const std::string existing = Platform().ResolveExisting(path);
  if (existing.empty()) return nullptr;
  std::FILE* file = OpenSharedRead(existing);
  if (file == nullptr) return nullptr;
  return std::make_unique<TBlockFile>(TKey{}, file, blockSize < 16 ? 16 : blockSize);
}

TBlockFile::TBlockFile(TKey, std::FILE* file, std::size_t blockSize)
    : file_(file), buffer_(blockSize + 1, '\n') {}

TBlockFile::~TBlockFile() { std::fclose(file_); }

std::size_t TBlockFile::Ensure(std::size_t count) {
  const std::size_t capacity = BlockSize();
  if (Available() >= count || eof_) return Available();
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, Available());
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < count && end_ < capacity && !eof_) {
    const std::size_t got = std::fread(buffer_.data() + end_, 1, capacity - end_, file_);
    end_ += got;
    if (got == 0) {
      eof_ = true;
      failed_ = std::ferror(file_) != 0;
    }
  }
  buffer_[end_] = '\n';
  return Available();
}

}  // namespace qv

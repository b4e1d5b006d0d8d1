// A fresh directory for one test, removed with everything in it when the test ends, and the two
// file helpers every test that writes files needs.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace qv::test {

class TTempDir {
 public:
  TTempDir() {
    static std::mt19937_64 seed{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("qv_test_" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The directory with a trailing separator.
  std::string Prefix() const { return path_.string() + "/"; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes(in ? static_cast<std::size_t>(in.tellg()) : 0, '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

}  // namespace qv::test

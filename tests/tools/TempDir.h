// A fresh directory under the system's temporary directory, removed with everything in it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace qv::test {

class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string("qv_nhmgen_") + info->test_suite_name() + "_" +
                             info->name() + "_" + std::to_string(::getpid());
    Path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }

  std::string operator/(const std::string& name) const { return (Path / name).string(); }
  std::string Str() const { return Path.string(); }

 private:
  std::filesystem::path Path;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string text(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

}  // namespace qv::test

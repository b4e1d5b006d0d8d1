#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/IniFile.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

std::vector<TIniEntry> Entries(std::initializer_list<std::pair<const char*, const char*>> keys) {
  std::vector<TIniEntry> entries;
  for (const auto& [section, key] : keys) entries.push_back({section, key, std::nullopt});
  return entries;
}

TEST(IniText, readsAndChangesKeysWithoutRegardToCaseKeepingEverythingElse) {
  const std::string text =
      "; comment\r\n[Other]\r\nNHM prefix=wrong\r\n[parameters]\r\n  minimum TREE height = 2.5 \r\n"
      "[Files]\nNHM prefix=\nNHM suffix=_x\n";
  auto read = Entries({{"Parameters", "Minimum tree height"}, {"Files", "NHM prefix"},
                       {"Files", "nhm SUFFIX"}, {"Files", "NHM separator"}, {"Missing", "x"}});
  IniLookup(text, read);
  EXPECT_EQ(read[0].Value, "2.5");
  EXPECT_EQ(read[1].Value, "");  // present and empty
  EXPECT_EQ(read[2].Value, "_x");
  EXPECT_FALSE(read[3].Value || read[4].Value);

  const std::string file = "; keep me\r\n[Files]\r\nNHM prefix=a\r\n\r\n[Other]\r\nx=1\r\n";
  auto write = Entries({{"files", "nhm PREFIX"}, {"Files", "NHM suffix"}, {"Parameters", "k"},
                        {"Files", "untouched"}, {"Parameters", "broken"}});
  write[0].Value = "b";
  write[1].Value = "_s";
  write[2].Value = "v";
  write[4].Value = "a\r\nMinimum tree height=0";  // a line break cannot add keys of its own
  EXPECT_EQ(IniAssign(file, write),
            "; keep me\r\n[Files]\r\nnhm PREFIX=b\r\nNHM suffix=_s\r\n\r\n[Other]\r\nx=1\r\n"
            "\r\n[Parameters]\r\nk=v\r\nbroken=a\r\n");
  EXPECT_EQ(IniAssign("", std::span(write).subspan(2, 1)), "[Parameters]\r\nk=v\r\n");
}

// The settings file on disk as a hostile world leaves it. Each case runs in a child process
// under a time limit, so a read or write that waits fails the test instead of hanging it.
struct THostileFile {
  const char* Name;
  std::function<void(const fs::path& file)> Prepare;
  bool AsNobody;             // run as an unprivileged user
  const char* Refusal;       // the reason the write is refused, or nullptr when it succeeds
  std::function<bool(const fs::path& file)> After;  // what must hold afterwards
};

std::string Text(const fs::path& p) {
  std::stringstream s;
  s << std::ifstream(p, std::ios::binary).rdbuf();
  return s.str();
}

constexpr const char* kOwn = "[Mine]\r\nkeep=1\r\n";

bool KeptOwnText(const fs::path& f) { return Text(f) == kOwn; }
bool HasBoth(const fs::path& f) {
  return Text(f) == std::string(kOwn) + "\r\n[Parameters]\r\nMinimum tree height=3\r\n";
}
void WriteOwn(const fs::path& f) { std::ofstream(f, std::ios::binary) << kOwn; }

class IniFileOnDisk : public ::testing::TestWithParam<THostileFile> {
 protected:
  IniFileOnDisk() {
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::all);
  }
  ~IniFileOnDisk() override { fs::remove_all(dir); }
  // In memory where there is some: syncing 100 MB to a disk would take most of the test's time.
  const fs::path dir = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                       ("qv_ini_" + std::to_string(::getpid()));
  const fs::path file = dir / "quelvaris.ini";
};

TEST_P(IniFileOnDisk, isReadAndWrittenSafelyOrRefusedWithTheReason) {
  const THostileFile& c = GetParam();
  c.Prepare(file);
  auto readAndWrite = [&] {
    ::alarm(20);
    if (c.AsNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(10);
    const auto platform = CreateDefaultPlatform();
    auto entries = Entries({{"Parameters", "Minimum tree height"}});
    platform->IniRead(file.string(), entries);
    entries[0].Value = "3";
    std::string error;
    const bool written = platform->IniWrite(file.string(), entries, error);
    const std::string refusal = c.Refusal ? "Unable to write to " + file.string() + ": " + c.Refusal : "";
    std::exit(written == !c.Refusal && error.starts_with(refusal) ? 0 : 11);
  };
  EXPECT_EXIT(readAndWrite(), ::testing::ExitedWithCode(0), "") << c.Name;
  EXPECT_TRUE(c.After(file)) << c.Name;
  // Nothing of the write is left beside the file.
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_TRUE(e.path().filename().string().find(".qv") == std::string::npos) << e.path();
}

const THostileFile kHostileFiles[] = {
    {"FIFO", [](const fs::path& f) { ::mkfifo(f.c_str(), 0666); }, false, "it is not a regular file",
     [](const fs::path& f) { return fs::is_fifo(f); }},
    {"directory", [](const fs::path& f) { fs::create_directory(f); }, false,
     "it is not a regular file", [](const fs::path& f) { return fs::is_directory(f); }},
    {"unreadable",
     [](const fs::path& f) {
       WriteOwn(f);
       fs::permissions(f, fs::perms::owner_write | fs::perms::others_write);
     },
     true, "it cannot be read (Permission denied)", KeptOwnText},
    {"read-only",
     [](const fs::path& f) {
       WriteOwn(f);
       fs::permissions(f, fs::perms::owner_read | fs::perms::others_read);
     },
     false, "it is read-only", KeptOwnText},
    {"symbolic link",
     [](const fs::path& f) {
       WriteOwn(f.parent_path() / "real.ini");
       fs::create_symlink("real.ini", f);
     },
     false, nullptr,
     [](const fs::path& f) { return fs::is_symlink(f) && HasBoth(f.parent_path() / "real.ini"); }},
    {"mode and group",
     [](const fs::path& f) {
       WriteOwn(f);
       fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
       [[maybe_unused]] const int changed = ::chown(f.c_str(), 0, 100);
     },
     false, nullptr,
     [](const fs::path& f) {
       struct stat st {};
       return HasBoth(f) && ::stat(f.c_str(), &st) == 0 && (st.st_mode & 07777) == 0640 &&
              st.st_gid == 100;
     }},
    {"killed saves' leftovers",
     [](const fs::path& f) {
       WriteOwn(f);
       WriteOwn(f.string() + ".qv4711-0badcafe.tmp");
       WriteOwn(f.string() + ".tmp4711");
       WriteOwn(f.string() + ".qvlock");
     },
     false, nullptr, HasBoth},
};
INSTANTIATE_TEST_SUITE_P(Hostile, IniFileOnDisk, ::testing::ValuesIn(kHostileFiles),
                         [](const auto& p) { return std::to_string(p.index); });

// Read once and written once, not once per key (which took minutes). Left to the normal build.
const THostileFile kLargeFile[] = {
    {"100 MB",
     [](const fs::path& f) {
       std::ofstream out(f, std::ios::binary);
       out << kOwn;
       const std::string line = "k=" + std::string(98, 'x') + "\r\n";
       for (int i = 0; i < 1'000'000; ++i) out << line;
     },
     false, nullptr,
     [](const fs::path& f) {
       return fs::file_size(f) > 100'000'000 && Text(f).ends_with("\r\n[Parameters]\r\nMinimum tree height=3\r\n");
     }},
};

INSTANTIATE_TEST_SUITE_P(LongHostile, IniFileOnDisk, ::testing::ValuesIn(kLargeFile));

}  // namespace
}  // namespace qv

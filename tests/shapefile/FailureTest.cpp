// A write of a run's two layers that fails, or is killed, at any moment leaves the earlier pair
// or the new pair, never a mix; it tells the truth about which; and nothing it leaves troubles
// the next run. Failures come from the platform's fault seam, a file-size limit, real kills and
// writers racing each other; risky writes run in child processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <random>

#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "dialog/languages/Languages.h"
#include "geometry/Polygons.h"
#include "platform/FileFaults.h"
#include "shapefile/CrownRecords.h"
#include "shapefile/LayerSet.h"

namespace qv {
namespace {

using TPairFiles = std::vector<std::string>;
constexpr int kKilled = 99;

// Exit code of fn run in a child process; -1 when a signal ended it.
int InChild(const std::function<int()>& fn) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(fn());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Memory is enough for these tests, and its fsync costs nothing: hundreds of writes then take
// seconds, not minutes. The scratch directory goes there while the fixture is made.
struct TScratchInMemory {
  const char* previous = std::getenv("TMPDIR");
  std::string kept = previous ? previous : "";
  TScratchInMemory() {
    if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
  }
  void Restore() const { previous ? ::setenv("TMPDIR", kept.c_str(), 1) : ::unsetenv("TMPDIR"); }
};

class WriteFailure : public ::testing::Test {
 protected:
  // Three different pairs; pair 0 is on disk when a test starts.
  void SetUp() override {
    memory.Restore();
    SetLanguage(LanguageEnglish);
    for (int k = 2; k >= 0; --k) {
      crowns[k].HasHeights = true;
      for (int i = 0; i < 40 + 30 * k; ++i) crowns[k].Add({2600000.0 + 9 * i, 1200000, 4, 1.0 * k, 36, true});
      wooded[k].Add({2600000, 1200000.0 + k, 50, 0, 200, true});
      ASSERT_EQ(WritePair(k), 0);
      expected[k] = OnDisk();
    }
    platform.Clear();
  }

  // 0: both written; 1: refused, with a write error for each layer; 2: anything else.
  int WritePair(int k) {
    const TCrownRecords woods(wooded[k]), trees(crowns[k]);
    const TLayerToSave layers[] = {{woods, dir.File("p_w1.shp")}, {trees, dir.File("p_w2.shp")}};
    const auto r = SaveLayers(layers);
    if (r[0].Written && r[1].Written) return 0;
    const auto& texts = platform.Texts();
    const bool told = texts.size() == 2 && texts[0].starts_with(Msg(msgShapefileWriteError)) &&
                      texts[1].starts_with(Msg(msgShapefileWriteError));
    return !r[0].Written && !r[1].Written && told ? 1 : 2;
  }
  TPairFiles OnDisk() const {
    TPairFiles files;
    for (const char* name : kPair) files.push_back(test::ReadFile(dir.File(name)));
    return files;
  }
  // Which of the three pairs is on disk, whole; -1 for anything else.
  int PairOnDisk() const {
    const TPairFiles files = OnDisk();
    for (int k = 0; k < 3; ++k)
      if (files == expected[k]) return k;
    return -1;
  }
  bool Recover() const {
    const std::string layers[] = {dir.File("p_w1.shp"), dir.File("p_w2.shp")};
    return RecoverLayers(layers);
  }
  // Only the layers: no temporary, kept, marker or lock file.
  void ExpectOnlyThePair() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.File(""))) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, TPairFiles(std::begin(kPair), std::end(kPair)));
  }

  static constexpr const char* kPair[] = {"p_w1.dbf", "p_w1.prj", "p_w1.shp", "p_w1.shx",
                                          "p_w2.dbf", "p_w2.prj", "p_w2.shp", "p_w2.shx"};
  test::RecordingPlatform platform;
  TScratchInMemory memory;
  test::TTempDir dir;
  T2DPolygons wooded[3], crowns[3];
  TPairFiles expected[3];
};

TEST_F(WriteFailure, everyStepOfAWriteFailedOrKilledLeavesTheEarlierPairOrTheNewOne) {
  int steps = 0;
  {
    const TScopedFileFaults count([&](TFileStep, const std::string&) { return ++steps > 0; });
    ASSERT_EQ(WritePair(0), 0);
  }
  ASSERT_GT(steps, 30);
  for (int step = 1; step <= steps; ++step) {
    for (const bool kill : {false, true}) {
      SCOPED_TRACE("step " + std::to_string(step) + (kill ? " killed" : " failed"));
      const int exit = InChild([&] {
        int seen = 0;
        const TScopedFileFaults fault([&](TFileStep, const std::string&) {
          if (++seen == step && kill) ::_exit(kKilled);
          return seen != step;
        });
        return WritePair(1);
      });
      if (kill) {
        EXPECT_EQ(exit, kKilled);
        ASSERT_TRUE(Recover());
        EXPECT_TRUE(PairOnDisk() == 0 || PairOnDisk() == 1) << PairOnDisk();
      } else {
        // Success only with the new pair in place; a failure is told and changes nothing.
        ASSERT_TRUE(exit == 0 || exit == 1) << exit;
        EXPECT_EQ(PairOnDisk(), exit == 0 ? 1 : 0);
      }
      ASSERT_EQ(WritePair(0), 0);
      ExpectOnlyThePair();
    }
  }
}

TEST_F(WriteFailure, aWriterKilledAtRandomMomentsLeavesAWholePair) {
  std::mt19937 random(2026);
  for (int round = 0; round < 20; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int k = 1;; k = 3 - k) WritePair(k);
    }
    ::usleep(static_cast<useconds_t>(random() % 60000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_TRUE(Recover());
    EXPECT_GE(PairOnDisk(), 0) << "round " << round;
  }
  ASSERT_EQ(WritePair(0), 0);
  ExpectOnlyThePair();
}

TEST_F(WriteFailure, threeWritersAtOnceAllSucceedAndLeaveOnePairWhole) {
  for (int round = 0; round < 10; ++round) {
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t writers[3];
    for (int k = 0; k < 3; ++k) {
      writers[k] = ::fork();
      if (writers[k] == 0) {
        char go = 0;
        ::close(start[1]);
        ::_exit(::read(start[0], &go, 1) == 0 ? WritePair(k) : 3);
      }
    }
    ::close(start[0]);
    ::close(start[1]);  // all three start now
    for (const pid_t pid : writers) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    EXPECT_GE(PairOnDisk(), 0) << "round " << round;
    ExpectOnlyThePair();
  }
}

TEST_F(WriteFailure, fileSizeLimitHitMidwayOrADirectoryInALayersPlaceKeepsTheEarlierPair) {
  const int exit = InChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return WritePair(2);
  });
  EXPECT_EQ(exit, 1);
  EXPECT_EQ(PairOnDisk(), 0);
  ExpectOnlyThePair();

  std::filesystem::remove(dir.File("p_w2.dbf"));
  std::filesystem::create_directory(dir.File("p_w2.dbf"));
  EXPECT_EQ(WritePair(1), 1);
  // The layer whose file failed is named first.
  EXPECT_EQ(platform.Texts(), (std::vector<std::string>{Msg(msgShapefileWriteError) + dir.File("p_w2.shp"),
                                                        Msg(msgShapefileWriteError) + dir.File("p_w1.shp")}));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("p_w2.dbf")));
  EXPECT_EQ(test::ReadFile(dir.File("p_w1.shp")), expected[0][2]);
  EXPECT_EQ(test::ReadFile(dir.File("p_w2.shp")), expected[0][6]);
}

}  // namespace
}  // namespace qv

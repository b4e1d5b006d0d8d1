// A write of a run's two layers: refused before any file is made when a layer cannot be written;
// and when it fails, or is killed, at any step, it leaves the earlier pair or the new pair, never
// a mix, tells the truth about which, and leaves nothing that troubles the next run. (A kill
// between two steps leaves what a kill at the second leaves.) Last, the host's temporaries.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <set>

#include "RecordingPlatform.h"
#include "TempDir.h"
#include "catalogue/Languages.h"
#include "geometry/Polygons.h"
#include "platform/FileFaults.h"
#include "platform/Format.h"
#include "shapefile/CrownRecords.h"
#include "shapefile/LayerSet.h"
#include "shapefile/TempFiles.h"

namespace qv {
namespace {

using TNames = std::vector<std::string>;

// In memory, where fsync costs nothing, hundreds of writes take seconds, not minutes.
std::unique_ptr<test::TTempDir> InMemory() {
  const std::string kept = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
  auto dir = std::make_unique<test::TTempDir>();
  kept.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", kept.c_str(), 1);
  return dir;
}

std::set<std::string> Entries(const test::TTempDir& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Prefix()))
    names.insert(e.path().filename());
  return names;
}

class LayerWrite : public ::testing::Test {
 protected:
  // Three different pairs; pair 0 is on disk when a test starts.
  void SetUp() override {
    SetLanguage(LanguageEnglish);
    for (int k = 2; k >= 0; --k) {
      crowns[k].HasHeights = true;
      for (int i = 0; i < 40 + 30 * k; ++i)
        crowns[k].Add({2600000.0 + 9 * i, 1200000, 4, 1.0 * k, 36, true});
      wooded[k].Add({2600000, 1200000.0 + k, 50, 0, 200, true});
      ASSERT_EQ(WritePair(k), 0);
      expected[k] = OnDisk();
    }
    platform.Clear();
  }
  std::vector<TShapeWriteResult> Write(const T2DPolygons& woods, const T2DPolygons& trees) {
    const TCrownRecords w(woods), t(trees);
    const TLayerToSave layers[] = {{w, File("p_w1.shp")}, {t, File("p_w2.shp")}};
    if (!early) return SaveLayers(layers);
    TLayerSetWrite write({layers[0].Path, layers[1].Path});
    write.Start(1, t);  // the crown layer on its own thread, as a run writes it
    return write.Finish(layers);
  }
  // 0: both written; 1: neither, and a write error shown for each; 2: anything else.
  int WritePair(int k) {
    const auto r = Write(wooded[k], crowns[k]);
    if (r[0].Written && r[1].Written) return 0;
    return !r[0].Written && !r[1].Written && platform.Texts().size() == 2 ? 1 : 2;
  }
  TNames OnDisk() const {
    TNames files;
    for (const char* name : {"p_w1.shp", "p_w1.shx", "p_w1.dbf", "p_w1.prj", "p_w2.shp",
                             "p_w2.shx", "p_w2.dbf", "p_w2.prj"})
      files.push_back(test::ReadFile(File(name)));
    return files;
  }
  // Which of the three pairs is on disk, whole; -1 for anything else.
  int PairOnDisk() const {
    const auto at = std::find(std::begin(expected), std::end(expected), OnDisk());
    return at == std::end(expected) ? -1 : static_cast<int>(at - std::begin(expected));
  }
  // Pair k on disk and nothing else: no temporary, kept, marker or lock file.
  bool OnlyPair(int k) const { return PairOnDisk() == k && Entries(*dir).size() == 8; }
  std::string File(const std::string& name) const { return dir->File(name); }

  test::RecordingPlatform platform;
  const std::unique_ptr<test::TTempDir> dir = InMemory();
  T2DPolygons wooded[3], crowns[3];
  TNames expected[3];
  bool early = false;
};

// Each write both ways: all layers made first, or the crown layer written on a second thread
// before the woods are measured, as a run does.
class LayerWrites : public LayerWrite, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    early = GetParam();
    LayerWrite::SetUp();
  }
};
INSTANTIATE_TEST_SUITE_P(Both, LayerWrites, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "crownsFirst" : "together"; });

TEST_P(LayerWrites, layerThatCannotBeWrittenRefusesThePairAndAnEmptyOneIsLeftAlone) {
  T2DPolygons empty, broken;
  broken.Add({0, 0, 0, 1, 36, true});  // no radius: no points
  // Crowns written early go again when the woods are refused.
  auto r = Write(broken, crowns[1]);
  EXPECT_TRUE(!r[0].Written && !r[1].Written && OnlyPair(0));
  r = Write(wooded[1], broken);
  EXPECT_TRUE(!r[0].Written && !r[1].Written && r[1].LeftOut == 1 && OnlyPair(0));
  // A directory in a file's place: the layer of that file is named first, then the other.
  std::filesystem::remove(File("p_w2.dbf"));
  std::filesystem::create_directory(File("p_w2.dbf"));
  r = Write(wooded[1], crowns[1]);
  EXPECT_TRUE(!r[0].Written && !r[1].Written && std::filesystem::is_directory(File("p_w2.dbf")));
  EXPECT_EQ(test::ReadFile(File("p_w1.shp")), expected[0][0]);
  r = Write(wooded[1], empty);
  EXPECT_TRUE(r[0].Written && !r[1].Written && r[1].LeftOut == 0);
  EXPECT_TRUE(OnDisk()[0] == expected[1][0] && OnDisk()[4] == expected[0][4]);
  const std::string error = Msg(msgShapefileWriteError);
  EXPECT_EQ(platform.Texts(),
            (TNames{error + File("p_w1.shp"), error + File("p_w2.shp"), error + File("p_w2.shp"),
                    error + File("p_w1.shp"), Msg(msgNoPolygons)}));
}

TEST_F(LayerWrite, whatChangesUnderAWriteFailsItAndKeepsTheEarlierPair) {
  // The records are measured before the first file step and written after it: there the wooded
  // circle moves. Or another program puts a file of its own in place of one this run renamed.
  auto& circle = const_cast<TCrownCircle&>(wooded[1].Circle(0));  // the list lends it only to read
  for (const bool move : {true, false}) {
    bool replaced = false;
    const TScopedFileFaults change([&](TFileStep step, const std::string& path) {
      if (move) circle.CenterY += 1;
      if (move || step != TFileStep::Rename || !path.ends_with("p_w2.prj") ||
          std::exchange(replaced, true))
        return true;
      test::WriteText(File("other"), "another program's");
      std::filesystem::rename(File("other"), File("p_w1.shp"));
      return true;
    });
    EXPECT_EQ(WritePair(1), 1);
    EXPECT_TRUE(OnlyPair(0) && replaced != move);
    platform.Clear();
  }
}

TEST_P(LayerWrites, everyStepFailedOrKilledLeavesTheEarlierFilesOrTheNewOnes) {
  // Spatial indexes go with the new pair and stay with the old one; the crown layer's .prj is
  // new each time, so its swap creates it.
  const std::string indexes[] = {File("p_w1.sbn"), File("p_w2.sbx")};
  TNames earlier = expected[0];
  earlier[7] = "";
  const auto start = [&] {
    for (const std::string& index : indexes) test::WriteText(index, "index");
    std::filesystem::remove(File("p_w2.prj"));
  };
  int steps = 0;
  start();
  {
    const TScopedFileFaults count([&](TFileStep, const std::string&) { return ++steps > 0; });
    ASSERT_EQ(WritePair(0), 0);
  }
  ASSERT_GT(steps, 30);
  for (int step = 1; step <= steps; ++step) {
    for (const bool kill : {false, true}) {
      SCOPED_TRACE("step " + std::to_string(step) + (kill ? " killed" : " failed"));
      start();
      const pid_t child = ::fork();
      if (child == 0) {
        int seen = 0;
        const TScopedFileFaults fault([&](TFileStep, const std::string&) {
          if (++seen == step && kill) ::_exit(99);
          return seen != step;
        });
        ::_exit(WritePair(1));
      }
      int status = 0;
      ::waitpid(child, &status, 0);
      const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      if (kill) {
        // The next run puts right what the killed one left before it writes.
        EXPECT_EQ(exit, 99);
        const std::string layers[] = {File("p_w1.shp"), File("p_w2.shp")};
        ASSERT_TRUE(RecoverLayers(layers));
        EXPECT_TRUE(OnDisk() == earlier || PairOnDisk() == 1) << PairOnDisk();
      } else {
        // Success only with the new pair in place; a failure is told and changes nothing.
        ASSERT_TRUE(exit == 0 || exit == 1) << exit;
        EXPECT_TRUE(exit == 0 ? PairOnDisk() == 1 : OnDisk() == earlier);
      }
      const std::string left = test::ReadFile(indexes[0]) + test::ReadFile(indexes[1]);
      EXPECT_EQ(left, OnDisk() == earlier ? "indexindex" : "");
      ASSERT_EQ(WritePair(0), 0);
      EXPECT_TRUE(OnlyPair(0));
    }
  }
}

// Real kills land between the steps too, and in the middle of a write.
TEST_P(LayerWrites, aWriterKilledAtRandomMomentsLeavesAWholePair) {
  std::mt19937 random(2026);
  for (int round = 0; round < 20; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int k = 1;; k = 3 - k) WritePair(k);
    }
    ::usleep(static_cast<useconds_t>(random() % 60000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string layers[] = {File("p_w1.shp"), File("p_w2.shp")};
    ASSERT_TRUE(RecoverLayers(layers));
    EXPECT_GE(PairOnDisk(), 0) << "round " << round;
  }
  ASSERT_EQ(WritePair(0), 0);
  EXPECT_TRUE(OnlyPair(0));
}

TEST_P(LayerWrites, threeWritersAtOnceAllSucceedAndLeaveOnePairWhole) {
  for (int round = 0; round < 10; ++round) {
    pid_t writers[3];
    for (int k = 0; k < 3; ++k)
      if ((writers[k] = ::fork()) == 0) ::_exit(WritePair(k));
    for (const pid_t pid : writers) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    EXPECT_TRUE(OnlyPair(0) || OnlyPair(1) || OnlyPair(2)) << "round " << round;
  }
}

// The refusal walks records of a million points each; left to the normal build.
class LongLayerWrite : public LayerWrite {};

TEST_F(LongLayerWrite, layerBeyondTheFormatsWordLimitIsRefusedBeforeAnyFileIsMade) {
  T2DPolygons huge;
  for (int i = 0; i < 256; ++i) huge.Add({0, 0, 100, 0, 1 << 20, true});  // 2^31 words in all
  const auto r = Write(huge, crowns[1]);
  EXPECT_TRUE(!r[0].Written && !r[1].Written && OnlyPair(0));
  EXPECT_EQ(platform.Texts(), TNames{Format(Msg(msgLayerTooLarge), {File("p_w1.shp")})});
}

// The host's geoprocessing leaves "_comb" and "_merg" layers named after a path (null: exports).
TEST(TempFiles, theTenTemporariesNamedAfterThePathGoAndAreCounted) {
  test::RecordingPlatform platform;
  test::TTempDir dir;
  const auto temporaries = [&](const std::string& base) {
    for (const char* layer : {"_comb", "_merg"})
      for (const char* ext : {".shp", ".dbf", ".shx", ".sbx", ".sbn"})
        test::WriteText(dir.File(base + layer + ext), "t");
  };
  std::set<std::string> kept = {"p.dbf", "p.shp", "p_comb.prj", "p_comb.shp.xml", "p_w1.shp"};
  for (const std::string& name : kept) test::WriteText(dir.File(name), "k");
  // The path's extension gives way to the suffixes; a path without one gets them appended.
  const struct { const char* base; const char* path; int deleted; } cases[] = {
      {"p", "p.shp", 10}, {"p", "p", 10}, {"d.old", "d.old", 0}, {"d.old", "d.old.shp", 10}};
  for (const auto& c : cases) {
    temporaries(c.base);
    EXPECT_EQ(DeleteTempFiles(dir.File(c.path).c_str()), c.deleted) << c.path;
    EXPECT_EQ(DeleteTempFiles(dir.File(c.path).c_str()), 0) << c.path;
  }
  // A file that cannot be deleted is skipped and the others still go.
  temporaries("p");
  std::filesystem::remove(dir.File("p_merg.dbf"));  // a directory in its place is never removed
  std::filesystem::create_directory(dir.File("p_merg.dbf"));
  platform.allowWrite = [&](const std::string& p) { return p != dir.File("p_comb.shx"); };
  EXPECT_EQ(DeleteTempFiles(dir.File("p.shp").c_str()), 8);
  kept.insert({"p_comb.shx", "p_merg.dbf"});
  EXPECT_EQ(Entries(dir), kept);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace qv

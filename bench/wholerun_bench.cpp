// One whole run through ComputeWoodedAreas, as the dialog starts it, over a block of tiles that
// already exist (bench/wholerun.sh writes them with nhmgen).
//
//   bench_wholerun_bench --shapefile PATH --nhm-dir NAME --format ascii|flt
//                        [--map M --tile T] [--cols C --rows R]
//
// The extent covers the whole block whose north-west tile is M-T (default 1091-11, 1 x 1); the
// tile files follow nhmgen's default naming ("109111_dhm_grid1.txt", or .hdr/.flt) in the
// directory NAME beside the shapefile's directory. Both layers are written beside the shapefile.
// Prints the time of the run (and the processor time of its own thread, which a reader thread
// relieves), the number of records in each layer and what the mesh and the
// crown circles held at the end of the tile pass (their largest); exits with 1 when the run
// fails, shows any message, or ends with another result than 1. The process does nothing else,
// so its peak memory is the run's (bench/wholerun.sh and bench/scaling.sh measure it with
// /usr/bin/time -v).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "calculation/RowPass.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Languages.h"
#include "nhmgen/TileGrid.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace {

using namespace qv;

// The default platform, counting what the run shows.
class TCountingPlatform final : public IPlatform {
 public:
  int Shown = 0;

  void Beep() override {}
  void ShowMessage(std::string_view text) override {
    ++Shown;
    real_->ShowMessage(text);
  }
  void ShowError(std::string_view text) override {
    ++Shown;
    real_->ShowError(text);
  }
  TQuestionResult AskYesNo(std::string_view title, std::string_view text, std::string_view yes,
                           std::string_view no) override {
    ++Shown;
    return real_->AskYesNo(title, text, yes, no);
  }
  bool SetBusyCursor(bool busy) override { return real_->SetBusyCursor(busy); }
  bool FileExists(const std::string& p) override { return real_->FileExists(p); }
  bool DirectoryExists(const std::string& p) override { return real_->DirectoryExists(p); }
  bool CreateDirectory(const std::string& p) override { return real_->CreateDirectory(p); }
  bool DeleteFile(const std::string& p) override { return real_->DeleteFile(p); }
  bool RenameFile(const std::string& f, const std::string& t) override {
    return real_->RenameFile(f, t);
  }
  std::string ResolveExisting(const std::string& p) override { return real_->ResolveExisting(p); }
  TLocalDate LocalDate() override { return real_->LocalDate(); }
  std::uint32_t RecordedLocale() override { return real_->RecordedLocale(); }
  TNumberFormat NumberFormat() override { return real_->NumberFormat(); }
  void IniRead(const std::string& file, std::span<TIniEntry> entries) override {
    real_->IniRead(file, entries);
  }
  bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                std::string& error) override {
    return real_->IniWrite(file, entries, error);
  }

 private:
  std::unique_ptr<IPlatform> real_ = CreateDefaultPlatform();
};

struct TOptions {
  std::string Shapefile;
  std::string NhmDir;
  bool Binary = false;
  nhmgen::TileId First{1091, 11};
  int Cols = 1;
  int Rows = 1;
};

bool Parse(int argc, char** argv, TOptions& o) {
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string_view name = argv[k];
    const std::string value = argv[k + 1];
    if (name == "--shapefile")
      o.Shapefile = value;
    else if (name == "--nhm-dir")
      o.NhmDir = value;
    else if (name == "--format" && (value == "ascii" || value == "flt"))
      o.Binary = value == "flt";
    else if (name == "--map")
      o.First.MapNumber = std::stoi(value);
    else if (name == "--tile")
      o.First.TileNumber = std::stoi(value);
    else if (name == "--cols")
      o.Cols = std::stoi(value);
    else if (name == "--rows")
      o.Rows = std::stoi(value);
    else
      return false;
  }
  return argc % 2 == 1 && !o.Shapefile.empty() && !o.NhmDir.empty() && o.Cols > 0 && o.Rows > 0;
}

// Processor time of the calling thread: the run's own thread, without the one that reads ahead.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Records in a layer, from the size of its index file (a 100-byte header, 8 bytes a record).
long long Records(const std::string& shp) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(ReplaceExtension(shp, ".shx"), ec);
  return ec ? 0 : (static_cast<long long>(size) - 100) / 8;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  try {
    if (!Parse(argc, argv, o)) {
      std::fprintf(stderr,
                   "usage: bench_wholerun_bench --shapefile PATH --nhm-dir NAME --format ascii|flt "
                   "[--map M --tile T] [--cols C --rows R]\n");
      return 2;
    }
    TCountingPlatform platform;
    ScopedPlatform scope(platform);
    SetLanguage(LanguageEnglish);
    TWoodedAreaCalculation calc;
    const nhmgen::TileOrigin origin = nhmgen::OriginOf(o.First);
    const auto west = static_cast<double>(origin.WestX);
    const auto north = static_cast<double>(origin.NorthY);
    calc.SetExtent(west, north, west + 4375.0 * o.Cols - 1, north - 3000.0 * o.Rows + 1);
    if (calc.Tiles.Count() != o.Cols * o.Rows) {
      std::fprintf(stderr, "bench_wholerun_bench: the extent lays %d tiles\n", calc.Tiles.Count());
      return 1;
    }
    calc.Settings.Files.NhmFiletype = o.Binary ? NhmFloatGrid : NhmAsciiGrid;
    calc.Settings.Files.NhmDir = o.NhmDir;
    calc.Settings.Files.NhmSuffix = "_dhm_grid1";
    calc.Settings.Files.NhmFileExt = ".txt";
    // Both grow during a tile (the mesh shrinks between tiles): their largest, sampled every
    // 32 rows (adding up the mesh on every row would slow the run measured), is within a few
    // rows of the true peak.
    std::size_t meshBytes = 0;
    std::size_t crownBytes = 0;
    TTilePassOptions options;
    options.RowPass = [&](TRowPassContext& ctx, TTile& tile, int row) {
      const bool built = VectorizeRow(ctx, tile, row);
      if (row % 32 == 0) {
        meshBytes = std::max(meshBytes, ctx.Mesh.MemoryBytes());
        crownBytes = std::max(crownBytes, ctx.Crowns.MemoryBytes());
      }
      return built;
    };
    const auto start = std::chrono::steady_clock::now();
    const double threadStart = ThreadSeconds();
    calc.PrepareDirectories(o.Shapefile);
    calc.SetShapePaths(o.Shapefile);
    const bool ok = calc.ComputeWoodedAreas(options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("whole run: %.3f s\nrun's own thread: %.3f s of processor time\n", seconds,
                ThreadSeconds() - threadStart);
    std::printf("result: %d\nwooded polygons: %lld\ncrowns: %lld\n", calc.ResultStatus,
                Records(calc.Paths.WoodedShapePath), Records(calc.Paths.CrownShapePath));
    std::printf("mesh at its largest: %.1f MB\ncrown circles: %.1f MB\n", meshBytes / 1048576.0,
                crownBytes / 1048576.0);
    if (!ok || calc.ResultStatus != 1 || platform.Shown > 0) {
      std::fprintf(stderr, "bench_wholerun_bench: the run failed or showed messages\n");
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_wholerun_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}

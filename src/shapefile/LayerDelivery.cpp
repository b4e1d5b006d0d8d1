#include "shapefile/LayerDelivery.h"

#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SharedRead.h"
#include "shapefile/FileSetReplacement.h"
#include "shapefile/OutputFile.h"

namespace qv {

namespace {

constexpr const char* kParts[] = {".shp", ".shx", ".dbf", ".prj"};
constexpr const char* kStaleParts[] = {".cpg", ".qix", ".sbn", ".sbx"};

// The source may lie on another volume than the target, so it is copied, in blocks of a
// megabyte: a crown layer can be larger than the memory a 32-bit process has to spare.
bool CopyInto(const std::string& from, const std::string& to) {
  const TOpenFile in(OpenSharedRead(from));
  TOutputFile out;
  if (!in || !out.Open(to)) return false;
  std::vector<std::uint8_t> block(1 << 20);
  for (std::size_t n; (n = std::fread(block.data(), 1, block.size(), in.get())) > 0;) {
    if (!out.Write(std::span(block.data(), n))) return false;
  }
  return !std::ferror(in.get()) && out.Close();
}

// Registers each part with the swap and copies it under its temporary name.
bool StageParts(const std::string& source, const std::string& target, TFileSetReplacement& swap) {
  for (const char* part : kParts) {
    const std::string from = ReplaceExtension(source, part);
    const std::string to = ReplaceExtension(target, part);
    if (KindOf(from) != TPathKind::File) {
      if (std::string_view(part) != ".prj") return false;
      swap.Remove(to);  // an old projection would describe the new layer wrongly
      continue;
    }
    if (!CopyInto(from, swap.Replace(to))) return false;
  }
  for (const char* part : kStaleParts) swap.Remove(ReplaceExtension(target, part));
  return true;
}

}  // namespace

bool DeliverLayer(const std::string& source, const std::string& target) {
  std::vector<std::string> files;
  for (const char* part : kParts) files.push_back(ReplaceExtension(target, part));
  for (const char* part : kStaleParts) files.push_back(ReplaceExtension(target, part));
  TFileSetReplacement swap(files);
  if (!swap.Begin() || !StageParts(source, target, swap) || !swap.Commit()) return false;
  for (const char* part : kParts) RemoveFile(ReplaceExtension(source, part));
  return true;
}

}  // namespace qv

// The index file (.shx) of a polygon layer: the header, then for every record of the main file
// its offset and content length in words.
#pragma once

#include <cstdint>
#include <string>

#include "shapefile/OutputFile.h"
#include "shapefile/ShapeHeader.h"

namespace qv {

class TIndexFile {
 public:
  static constexpr std::int64_t EntryWords = 4;

  TShapeHeader Header;
  TOutputFile Stream;
  std::string FileName;

  bool WriteHeader() { return Stream.Write(Header.Encode()); }
  bool WriteEntry(std::int32_t offset, std::int32_t contentLength) {
    std::uint8_t entry[2 * EntryWords];
    StoreBE32(entry, offset);
    StoreBE32(entry + 4, contentLength);
    return Stream.Write(entry);
  }
};

}  // namespace qv

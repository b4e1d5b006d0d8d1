// The data file of a binary float grid (.flt): NRows x NCols IEEE single-precision values, least
// significant byte first, row by row from the north. Read strictly front to back, never seeking:
// file rows meet tile rows only through the order of skips and reads.
#pragma once

#include <memory>
#include <string>

#include "calculation/BlockFile.h"
#include "calculation/GridRowReader.h"

namespace qv {

class TFloatGridReader final : public TGridRowReader {
 public:
  TFloatGridReader(std::unique_ptr<TBlockFile> file, std::string fileName);

  TRowReadResult ReadRow(std::span<double> own, const TRowPlacement& placement,
                         double noData) override;
  // Throws ENhmError naming the file when the data ends before the row does.
  void SkipRow(std::int64_t nCols) override;
  bool AtEnd() override { return file_->Ensure(ValueSize) < ValueSize; }

  static constexpr std::size_t ValueSize = 4;

 private:
  // Drops up to `count` values; returns how many there were.
  std::int64_t SkipValues(std::int64_t count);

  std::unique_ptr<TBlockFile> file_;
  std::string fileName_;
};

}  // namespace qv

// The values of an ESRI ASCII grid after its header: decimal numbers separated by any blanks and
// line ends (CRLF and tabs included); line breaks carry no meaning, each row is NCols values.
#pragma once

#include <memory>
#include <string_view>

#include "calculation/BlockFile.h"
#include "calculation/GridRowReader.h"

namespace qv {

class TAsciiGridReader final : public TGridRowReader {
 public:
  explicit TAsciiGridReader(std::unique_ptr<TBlockFile> file);

  TRowReadResult ReadRow(std::span<double> own, const TRowPlacement& placement,
                         double noData) override;
  // Stops early at the end of the file; values are dropped unread, so a bad one does not matter.
  void SkipRow(std::int64_t nCols) override { SkipValues(nCols); }
  bool AtEnd() override;

 private:
  // The next blank-delimited token; false at the end of the file. The view lives until the next
  // call.
  bool NextToken(std::string_view& token);
  void DropRestOfToken();
  // Drops up to `count` tokens; returns how many there were.
  std::int64_t SkipValues(std::int64_t count);

  // Stands for a token longer than a block; never a number.
  static constexpr std::string_view OverlongToken = "overlong";

  std::unique_ptr<TBlockFile> file_;
};

}  // namespace qv

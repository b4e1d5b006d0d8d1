#include "calculation/FloatGridReader.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "calculation/CalculationTexts.h"
#include "calculation/NhmError.h"

namespace qv {

namespace {

float LittleEndianFloat(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  const std::uint32_t bits = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                             (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
  return std::bit_cast<float>(bits);
}

}  // namespace

TFloatGridReader::TFloatGridReader(std::unique_ptr<TBlockFile> file, std::string fileName)
    : file_(std::move(file)), fileName_(std::move(fileName)) {}

std::int64_t TFloatGridReader::SkipValues(std::int64_t count) {
  std::int64_t skipped = 0;
  while (skipped < count) {
    const std::size_t whole = file_->Ensure(ValueSize) / ValueSize;
    if (whole == 0) break;
    const auto take = static_cast<std::size_t>(
        std::min<std::int64_t>(count - skipped, static_cast<std::int64_t>(whole)));
    file_->Consume(take * ValueSize);
    skipped += static_cast<std::int64_t>(take);
  }
  return skipped;
}

void TFloatGridReader::SkipRow(std::int64_t nCols) {
  if (SkipValues(nCols) < nCols) throw ENhmError(UnexpectedEndOfDataText(fileName_));
}

TRowReadResult TFloatGridReader::ReadRow(std::span<double> own, const TRowPlacement& placement,
                                         double noData) {
  std::fill(own.begin(), own.end(), noData);
  if (SkipValues(placement.Leading) < placement.Leading) return {};
  double* out = own.data() + placement.OwnStart;
  std::int64_t left = placement.Stored;
  while (left > 0) {
    const std::size_t whole = file_->Ensure(ValueSize) / ValueSize;
    if (whole == 0) return {};  // the data ends inside the row: the rest stays no-data
    const auto take =
        static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(whole)));
    const char* bytes = file_->Data();
    for (std::size_t i = 0; i < take; ++i, bytes += ValueSize) {
      const auto value = static_cast<double>(LittleEndianFloat(bytes));
      *out++ = std::isfinite(value) ? value : noData;
    }
    file_->Consume(take * ValueSize);
    left -= static_cast<std::int64_t>(take);
  }
  SkipValues(placement.Trailing);
  return {};
}

}  // namespace qv

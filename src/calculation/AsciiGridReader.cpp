#include "calculation/AsciiGridReader.h"

#include <algorithm>
#include <cmath>

#include "calculation/GridNumber.h"

namespace qv {

namespace {

// Blanks, tabs, CR and LF, and any other control byte.
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

TAsciiGridReader::TAsciiGridReader(std::unique_ptr<TBlockFile> file) : file_(std::move(file)) {}

bool TAsciiGridReader::AtEnd() {
  for (;;) {
    const char* p = file_->Data();
    const char* const end = p + file_->Available();
    while (p < end && IsBlank(*p)) ++p;
    file_->Consume(static_cast<std::size_t>(p - file_->Data()));
    if (p < end) return false;
    if (file_->Ensure(1) == 0) return true;
  }
}

bool TAsciiGridReader::NextToken(std::string_view& token) {
  if (AtEnd()) return false;
  for (;;) {
    const char* const start = file_->Data();
    const std::size_t available = file_->Available();
    // The window is followed by a '\n', so this stops at the window's end at the latest.
    const char* p = start;
    while (!IsBlank(*p)) ++p;
    const auto length = static_cast<std::size_t>(p - start);
    if (length < available) {
      token = std::string_view(start, length);
      file_->Consume(length);
      return true;
    }
    // The token reaches the end of the window: it may go on in the file.
    if (file_->Ensure(available + 1) > available) continue;
    if (available < file_->BlockSize()) {
      token = std::string_view(file_->Data(), available);  // the file ends with it
      file_->Consume(available);
      return true;
    }
    // Longer than a block: no number is that long. Drop all of it as one bad token.
    DropRestOfToken();
    token = OverlongToken;
    return true;
  }
}

void TAsciiGridReader::DropRestOfToken() {
  for (;;) {
    const char* const start = file_->Data();
    const char* p = start;
    while (!IsBlank(*p)) ++p;
    const auto length = static_cast<std::size_t>(p - start);
    const bool ended = length < file_->Available();
    file_->Consume(length);
    if (ended || file_->Ensure(1) == 0) return;
  }
}

std::int64_t TAsciiGridReader::SkipValues(std::int64_t count) {
  std::string_view token;
  std::int64_t skipped = 0;
  while (skipped < count && NextToken(token)) ++skipped;
  return skipped;
}

TRowReadResult TAsciiGridReader::ReadRow(std::span<double> own, const TRowPlacement& placement,
                                         double noData) {
  std::fill(own.begin(), own.end(), noData);
  if (SkipValues(placement.Leading) < placement.Leading) return {};
  double* const out = own.data() + placement.OwnStart;
  std::string_view token;
  for (std::int64_t i = 0; i < placement.Stored; ++i) {
    if (!NextToken(token)) return {};
    double value = 0.0;
    if (!ParseGridNumber(token, value)) {
      // Keep the following rows aligned: the row still takes its NCols values.
      SkipValues(placement.Stored - i - 1 + placement.Trailing);
      return {false, placement.Leading + i};
    }
    out[i] = std::isfinite(value) ? value : noData;
  }
  SkipValues(placement.Trailing);
  return {};
}

}  // namespace qv

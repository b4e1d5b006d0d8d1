#include "LayerSummary.h"

#include <charconv>
#include <fstream>
#include <algorithm>
#include <vector>

namespace qv::host {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kDescriptorEnd = 0x0D;
constexpr char kDeleted = '*';

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

struct TField {
  std::size_t Offset = 0;  // within the record, after the deletion flag
  std::size_t Length = 0;
};

std::optional<TField> FindNumericField(const std::string& dbf, std::size_t headerLength,
                                       std::string_view name) {
  std::size_t offset = 1;
  for (std::size_t at = kHeaderSize; at + kDescriptorSize <= headerLength; at += kDescriptorSize) {
    if (dbf[at] == kDescriptorEnd) break;
    const std::string fieldName(dbf.c_str() + at);  // NUL-padded to 11 bytes
    const std::size_t length = static_cast<unsigned char>(dbf[at + 16]);
    if (fieldName.substr(0, 11) == name && dbf[at + 11] == 'N') return TField{offset, length};
    offset += length;
  }
  return std::nullopt;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return in ? bytes : std::string();
}

double NumberIn(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

std::optional<TLayerSummary> ReadLayerSummary(const std::string& shpPath,
                                              std::string_view numericField) {
  const std::string dbf = ReadWholeFile(shpPath.substr(0, shpPath.rfind('.')) + ".dbf");
  if (dbf.size() < kHeaderSize) return std::nullopt;
  const std::size_t records = LittleEndian(dbf, 4, 4);
  const std::size_t headerLength = LittleEndian(dbf, 8, 2);
  const std::size_t recordLength = LittleEndian(dbf, 10, 2);
  if (headerLength > dbf.size() || recordLength == 0) return std::nullopt;
  const auto field = FindNumericField(dbf, headerLength, numericField);
  if (!field || field->Offset + field->Length > recordLength) return std::nullopt;

  TLayerSummary summary;
  for (std::size_t r = 0; r < records; ++r) {
    const std::size_t at = headerLength + r * recordLength;
    if (at + recordLength > dbf.size()) return std::nullopt;
    if (dbf[at] == kDeleted) continue;
    ++summary.Records;
    summary.FieldSum += NumberIn(std::string_view(dbf).substr(at + field->Offset, field->Length));
  }
  return summary;
}

}  // namespace qv::host

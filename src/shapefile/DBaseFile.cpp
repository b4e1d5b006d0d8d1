#include "shapefile/DBaseFile.h"

#include <algorithm>

#include "shapefile/DBaseNumber.h"

namespace qv {

namespace {

constexpr std::size_t DescriptorBytes = 32;

// The first three descriptors must be id, wooded letter and area; otherwise the record text
// would not match the table. Tells the user which one is wrong.
bool DescriptorsFitRecord(const std::vector<TdBaseField>& fields) {
  const char* error = nullptr;
  if (fields.size() < 1 || fields[0].Type != 'N')
    error = "Error writing index-field to dBase-File";
  else if (fields.size() < 2 || fields[1].Type != 'L')
    error = "Error writing wooded-field to dBase-File";
  else if (fields.size() < 3 || fields[2].Type != 'N')
    error = "Error writing area-field to dBase-File";
  if (error == nullptr) return true;
  Platform().Beep();
  Platform().ShowError(error);
  return false;
}

}  // namespace

void TdBaseFile::SetFieldCount(std::int32_t n) {
  FieldCount = n;
  Fields.assign(static_cast<std::size_t>(std::max(n, 0)), TdBaseField{});
}

void TdBaseFile::SetField(std::int32_t index, std::string_view name, char type,
                          std::uint8_t length, std::uint8_t decimals) {
  TdBaseField& f = Fields.at(static_cast<std::size_t>(index));
  f = TdBaseField{};
  std::copy_n(name.begin(), std::min(name.size(), sizeof f.Name), f.Name);
  f.Type = type;
  f.Length = length;
  f.Decimals = decimals;
}

void TdBaseFile::SetDate(const TLocalDate& date) {
  Year = static_cast<std::uint8_t>(((date.Year - 1900) % 256 + 256) % 256);
  Month = static_cast<std::uint8_t>(date.Month);
  Day = static_cast<std::uint8_t>(date.Day);
}

void TdBaseFile::Prepare(std::int32_t recordCount, bool withHeights, const TLocalDate& date) {
  Version = 3;
  SetDate(date);
  RecordCount = recordCount;
  SetFieldCount(withHeights ? 4 : 3);
  SetField(0, "id", 'N', 10, 0);
  SetField(1, "boise", 'L', 1, 0);
  SetField(2, "Surface", 'N', 16, 0);
  if (withHeights) SetField(3, "Hauteur", 'N', 16, 2);
  HeaderLength = static_cast<std::uint16_t>(DescriptorBytes * (Fields.size() + 1) + 1);
  int length = 1;
  for (const TdBaseField& f : Fields) length += f.Length;
  RecordLength = static_cast<std::uint16_t>(length);
}

TBytes TdBaseFile::EncodeHeader() const {
  TBytes out;
  out.reserve(HeaderLength);
  for (const std::uint8_t b : {Version, Year, Month, Day}) out.push_back(b);
  AppendLE32(out, RecordCount);
  AppendLE16(out, HeaderLength);
  AppendLE16(out, RecordLength);
  out.resize(out.size() + 20, 0);
  for (const TdBaseField& f : Fields) {
    const std::size_t start = out.size();
    out.resize(start + DescriptorBytes, 0);
    std::copy(std::begin(f.Name), std::end(f.Name), out.begin() + static_cast<std::ptrdiff_t>(start));
    out[start + 11] = static_cast<std::uint8_t>(f.Type);
    out[start + 16] = f.Length;
    out[start + 17] = f.Decimals;
  }
  out.push_back(HeaderTerminator);
  return out;
}

std::string TdBaseFile::FormatRecord(std::int64_t id, bool wooded, double area, bool hasHeight,
                                     double height) const {
  std::string text;
  AppendRecord(text, id, wooded, area, hasHeight, height);
  return text;
}

void TdBaseFile::AppendRecord(std::string& text, std::int64_t id, bool wooded, double area,
                              bool hasHeight, double height) const {
  if (!DescriptorsFitRecord(Fields)) return;
  text += ' ';
  AppendDBaseInteger(text, id, Fields[0].Length);
  text += BoolChar(wooded);
  AppendDBaseFixed(text, area, Fields[2].Length, 0);
  if (hasHeight && Fields.size() > 3)
    AppendDBaseFixed(text, height, Fields[3].Length, Fields[3].Decimals);
}

bool TdBaseFile::WriteHeader() {
  const TBytes header = EncodeHeader();
  return OutFile.Write(header);
}

bool TdBaseFile::WriteRecord(std::int64_t id, bool wooded, double area, bool hasHeight,
                             double height) {
  record_.clear();
  AppendRecord(record_, id, wooded, area, hasHeight, height);
  // A record of another length would shift every later record against the header.
  if (record_.size() != RecordLength) return false;
  return OutFile.Write(
      std::span(reinterpret_cast<const std::uint8_t*>(record_.data()), record_.size()));
}

bool TdBaseFile::WriteEndOfFile() {
  const std::uint8_t marker = EndOfFileMarker;
  return OutFile.Write(std::span(&marker, 1));
}

}  // namespace qv

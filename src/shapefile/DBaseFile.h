// The attribute table (.dbf, dBase III) of a polygon layer.
//
// The table has the fields "id" (N 10), "boise" (L 1), "Surface" (N 16) and, for a layer with
// heights, "Hauteur" (N 16.2). A record is the text " %*d%1s%*.0f" (with heights
// " %*d%1s%*.0f%*.*f") of record number, wooded letter, area and height; the leading blank marks
// a record that is not deleted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "shapefile/ByteOrder.h"
#include "shapefile/OutputFile.h"

namespace qv {

struct TdBaseField {
  char Name[11] = {};  // zero-filled
  char Type = 0;       // 'N' numeric, 'L' logical
  std::uint8_t Length = 0;
  std::uint8_t Decimals = 0;
};

class TdBaseFile {
 public:
  static constexpr std::uint8_t HeaderTerminator = 0x0D;
  static constexpr std::uint8_t EndOfFileMarker = 0x1A;

  // Header image, in file order.
  std::uint8_t Version = 3;
  std::uint8_t Year = 0;  // years since 1900, modulo 256
  std::uint8_t Month = 1;
  std::uint8_t Day = 1;
  std::int32_t RecordCount = 0;
  std::uint16_t HeaderLength = 0;
  std::uint16_t RecordLength = 0;

  std::vector<TdBaseField> Fields;
  std::int32_t FieldCount = 0;
  TOutputFile OutFile;
  std::string FileName;

  void SetFieldCount(std::int32_t n);
  void SetField(std::int32_t index, std::string_view name, char type, std::uint8_t length,
                std::uint8_t decimals);
  void SetDate(const TLocalDate& date);
  // Fills the whole header for the layer's fields: 4 with heights, 3 without.
  void Prepare(std::int32_t recordCount, bool withHeights, const TLocalDate& date);

  TBytes EncodeHeader() const;  // header, descriptors and terminator
  // The record text, or empty (after an error box) when the first three descriptors are not
  // N, L, N.
  std::string FormatRecord(std::int64_t id, bool wooded, double area, bool hasHeight,
                           double height) const;

  bool WriteHeader();
  bool WriteRecord(std::int64_t id, bool wooded, double area, bool hasHeight, double height);
  bool WriteEndOfFile();

 private:
  // Appends the record text to `text` (nothing after the error box of FormatRecord).
  void AppendRecord(std::string& text, std::int64_t id, bool wooded, double area, bool hasHeight,
                    double height) const;

  std::string record_;  // reused from record to record
};

// "T" or "F", the letters of a dBase logical field.
inline std::string_view BoolChar(bool value) { return value ? "T" : "F"; }

}  // namespace qv

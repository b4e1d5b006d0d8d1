#include "calculation/GridHeader.h"

#include <algorithm>
#include <charconv>

#include "calculation/GridNumber.h"
#include "calculation/NhmError.h"
#include "catalogue/Message.h"
#include "platform/Format.h"
#include "platform/Platform.h"

namespace qv {

namespace {

// Header lines are short; anything longer is not a header and is cut, so a binary file read as a
// header cannot make us hold it all.
constexpr std::size_t MaxHeaderLine = 4096;
// The longest key, nodata_value.
constexpr std::size_t LongestKey = 12;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), Lower);
  return out;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The next line without its line end; the line is consumed.
std::string ReadLine(TBlockFile& file) {
  std::string line;
  while (file.Ensure(1) > 0) {
    const std::string_view window(file.Data(), file.Available());
    const std::size_t newline = window.find('\n');
    const std::size_t length = newline == std::string_view::npos ? window.size() : newline;
    if (line.size() < MaxHeaderLine) {
      line.append(window.substr(0, std::min(length, MaxHeaderLine - line.size())));
    }
    file.Consume(newline == std::string_view::npos ? length : length + 1);
    if (newline != std::string_view::npos) break;
  }
  return line;
}

// The start of the current line, up to `count` characters, without consuming it.
std::string PeekLine(TBlockFile& file, std::size_t count) {
  const std::string_view window(file.Data(), file.Ensure(count));
  return std::string(window.substr(0, std::min(window.find('\n'), count)));
}

bool HasKey(std::string_view line, std::string_view key) {
  return line.size() >= key.size() && Lowered(line.substr(0, key.size())) == key;
}

[[noreturn]] void ThrowNotANumber(std::string_view value, const std::string& fileName) {
  constexpr std::size_t shown = 40;
  const std::string text(value.substr(0, shown));
  throw ENhmError(Format("%s: \"%s\" (%s)", {Msg(msgInvalidNumber), text, fileName}));
}

double NumberAfterKey(std::string_view line, std::size_t keyLength, const std::string& fileName) {
  const std::string_view text = Trimmed(line.substr(keyLength));
  double value = 0.0;
  if (!ParseGridNumber(text, value)) ThrowNotANumber(text, fileName);
  return value;
}

std::int32_t IntegerAfterKey(std::string_view line, std::size_t keyLength,
                             const std::string& fileName) {
  std::string_view text = Trimmed(line.substr(keyLength));
  const std::string_view shown = text;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) {
    ThrowNotANumber(shown, fileName);
  }
  return value;
}

TByteOrder ByteOrderOf(std::string_view line) {
  const std::string value = Lowered(Trimmed(line.substr(9)));
  if (value.find("msbfirst") != std::string::npos) return TByteOrder::MsbFirst;
  if (value.find("lsbfirst") != std::string::npos) return TByteOrder::LsbFirst;
  // The same header family also writes the byte order as I (Intel) or M (Motorola).
  if (value == "m") return TByteOrder::MsbFirst;
  if (value == "i") return TByteOrder::LsbFirst;
  return TByteOrder::Unknown;
}

void ReadCoordinateLine(std::string_view line, std::string_view axis, const std::string& fileName,
                        double& value, bool& has, bool& isCenter) {
  const std::string corner = std::string(axis) + "llcorner";
  const std::string center = std::string(axis) + "llcenter";
  if (HasKey(line, corner) || HasKey(line, center)) {
    value = NumberAfterKey(line, corner.size(), fileName);
    has = true;
    isCenter = HasKey(line, center);
  }
}

}  // namespace

TGridHeader ReadGridHeader(TBlockFile& file, bool withByteOrder, const std::string& fileName) {
  TGridHeader h;
  std::string line = ReadLine(file);
  if (HasKey(line, "ncols")) h.NCols = IntegerAfterKey(line, 5, fileName);
  line = ReadLine(file);
  if (HasKey(line, "nrows")) h.NRows = IntegerAfterKey(line, 5, fileName);
  ReadCoordinateLine(ReadLine(file), "x", fileName, h.XllCorner, h.HasX, h.XIsCenter);
  ReadCoordinateLine(ReadLine(file), "y", fileName, h.YllCorner, h.HasY, h.YIsCenter);
  line = ReadLine(file);
  if (HasKey(line, "cellsize")) h.CellSize = NumberAfterKey(line, 8, fileName);
  if (HasKey(PeekLine(file, LongestKey), "nodata_value")) {
    h.NoDataValue = NumberAfterKey(ReadLine(file), 12, fileName);
  }
  if (withByteOrder) {
    line = ReadLine(file);
    if (HasKey(line, "byteorder")) h.ByteOrder = ByteOrderOf(line);
  }
  return h;
}

bool CheckHeaderFrame(const std::string& fileName, double xll, double yll, TFrame frame) {
  const auto header = PointFrame(xll, yll);
  if (!header || *header == frame) return true;
  Platform().Beep();
  ShowMsg(msgTileInOtherFrame, {std::string_view(fileName), std::string_view(FrameName(*header)),
                                std::string_view(FrameName(frame))});
  return false;
}

}  // namespace qv

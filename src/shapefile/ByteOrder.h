// Fixed-order encoding of the numbers of shapefile and dBase files.
//
// The formats mix byte orders within one header (lengths and record numbers big-endian, the rest
// little-endian), so every field is encoded explicitly, byte by byte, whatever the host's order.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace qv {

using TBytes = std::vector<std::uint8_t>;

inline void AppendLE16(TBytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AppendLE32(TBytes& out, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void AppendBE32(TBytes& out, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void AppendLEDouble(TBytes& out, double value) {
  const auto v = std::bit_cast<std::uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

}  // namespace qv

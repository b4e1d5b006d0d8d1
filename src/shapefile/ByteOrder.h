// Fixed-order encoding and decoding of the numbers of shapefile and dBase files.
//
// The formats mix byte orders within one header (lengths and record numbers big-endian, the rest
// little-endian), so every field is encoded explicitly, byte by byte, whatever the host's order.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace qv {

using TBytes = std::vector<std::uint8_t>;

// Store a field at a position of an encoded image. The shifts compile to plain stores on a
// little-endian machine; a layer of millions of points is encoded at memory speed.
inline void StoreLE32(std::uint8_t* at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void StoreBE32(std::uint8_t* at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

inline void StoreLEDouble(std::uint8_t* at, double value) {
  const auto v = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Load a field from a position of an encoded image.
inline std::int32_t LoadLE32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | at[i];
  return static_cast<std::int32_t>(v);
}

inline std::int32_t LoadBE32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | at[i];
  return static_cast<std::int32_t>(v);
}

inline double LoadLEDouble(const std::uint8_t* at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | at[i];
  return std::bit_cast<double>(v);
}

// Append a field to an image: the field's bytes are added at its end.
inline std::uint8_t* Grow(TBytes& out, std::size_t bytes) {
  const std::size_t at = out.size();
  out.resize(at + bytes);
  return out.data() + at;
}

inline void AppendLE16(TBytes& out, std::uint16_t v) {
  std::uint8_t* at = Grow(out, 2);
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void AppendLE32(TBytes& out, std::int32_t value) { StoreLE32(Grow(out, 4), value); }

inline void AppendBE32(TBytes& out, std::int32_t value) { StoreBE32(Grow(out, 4), value); }

inline void AppendLEDouble(TBytes& out, double value) { StoreLEDouble(Grow(out, 8), value); }

}  // namespace qv

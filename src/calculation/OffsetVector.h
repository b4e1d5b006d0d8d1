// TOffsetVector: the neighbourhood of the tree-top test.
//
// The 5 x 5 square around a pixel without its centre and its four corners, in test order (north
// row first, west to east). The corners are left out so that the square comes closer to the
// round crown it stands for; the order only decides how soon a higher neighbour ends the test.
#pragma once

#include <array>
#include <cstdint>

namespace qv {

struct TOffset {
  std::int32_t Dx;  // columns, positive east
  std::int32_t Dy;  // rows, positive south
};

class TOffsetVector {
 public:
  static constexpr std::int32_t Count = 20;
  // The table is a constant of the program, so the test can be unrolled over it.
  // clang-format off
  static constexpr std::array<TOffset, Count> Table{{
                {-1, -2}, {0, -2}, {1, -2},
      {-2, -1}, {-1, -1}, {0, -1}, {1, -1}, {2, -1},
      {-2,  0}, {-1,  0},          {1,  0}, {2,  0},
      {-2,  1}, {-1,  1}, {0,  1}, {1,  1}, {2,  1},
                {-1,  2}, {0,  2}, {1,  2}}};
  // clang-format on

  const TOffset& operator[](std::int32_t index) const {
    return Table[static_cast<std::size_t>(index)];
  }
  auto begin() const { return Table.begin(); }
  auto end() const { return Table.end(); }
};

}  // namespace qv

#include <gtest/gtest.h>

#include "platform/Format.h"

namespace qv {
namespace {

TEST(Format, fillsCatalogueStylePlaceholders) {
  EXPECT_EQ(Format("Tile %d line %d, %d%%", {std::int64_t{2}, std::int64_t{50}, std::int64_t{1}}),
            "Tile 2 line 50, 1%");
  EXPECT_EQ(Format("File not found: \"%s\"", {std::string_view("a b.txt")}),
            "File not found: \"a b.txt\"");
  EXPECT_EQ(Format("%4d|%2d", {std::int64_t{7}, std::int64_t{123}}), "   7|123");
  EXPECT_EQ(Format("%d-%d,", {std::int64_t{-1091}, std::int64_t{11}}), "-1091-11,");
}

TEST(Format, neverReadsPastItsArguments) {
  EXPECT_EQ(Format("%d and %s", {std::int64_t{1}}), "1 and %s");
  EXPECT_EQ(Format("100%", {}), "100%");
  EXPECT_EQ(Format("%x %", {std::int64_t{1}}), "%x %");
  EXPECT_EQ(Format("%s", {std::int64_t{5}}), "");  // wrong kind: empty, not garbage
}

}  // namespace
}  // namespace qv

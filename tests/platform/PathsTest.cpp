#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace qv {
namespace {

constexpr auto W = TPathRules::Windows;
constexpr auto P = TPathRules::Posix;

TEST(ReplaceExtension, replacesOnlyADotAfterTheLastDelimiter) {
  EXPECT_EQ(ReplaceExtension("D:\\work\\parcels.shp", "_comb.shp", W), "D:\\work\\parcels_comb.shp");
  EXPECT_EQ(ReplaceExtension("D:\\work\\parcels", "_comb.shp", W), "D:\\work\\parcels_comb.shp");
  EXPECT_EQ(ReplaceExtension("D:\\data.old\\parcels", "_w1.shp", W), "D:\\data.old\\parcels_w1.shp");
  EXPECT_EQ(ReplaceExtension("C:x.y", ".flt", W), "C:x.flt");
  EXPECT_EQ(ReplaceExtension("", "_merg.sbn", W), "_merg.sbn");
  EXPECT_EQ(ReplaceExtension("/data.old/parcels", "_w1.shp", P), "/data.old/parcels_w1.shp");
  // On POSIX the colon is an ordinary character, the backslash still delimits.
  EXPECT_EQ(ReplaceExtension("a.b:c", ".x", P), "a.x");
  EXPECT_EQ(ReplaceExtension("a.b\\c", ".x", P), "a.b\\c.x");
}

TEST(DirectoryOf, dropsTheSeparatorUnlessItIsARoot) {
  EXPECT_EQ(DirectoryOf("D:\\project\\shapes\\parcels.shp", W), "D:\\project\\shapes");
  EXPECT_EQ(DirectoryOf("C:\\x.shp", W), "C:\\");
  EXPECT_EQ(DirectoryOf("C:x.shp", W), "C:");
  EXPECT_EQ(DirectoryOf("\\\\server\\x.shp", W), "\\\\server");
  EXPECT_EQ(DirectoryOf("x.shp", W), "");
  EXPECT_EQ(DirectoryOf("\\x.shp", W), "\\");
  EXPECT_EQ(DirectoryOf("/home/u/parcels.shp", P), "/home/u");
  EXPECT_EQ(DirectoryOf("/parcels.shp", P), "/");
  EXPECT_EQ(DirectoryOf("a//b", P), "a//");
}

TEST(FileNameOf, isTheTextAfterTheLastDelimiter) {
  EXPECT_EQ(FileNameOf("D:\\a\\b.shp", W), "b.shp");
  EXPECT_EQ(FileNameOf("D:b.shp", W), "b.shp");
  EXPECT_EQ(FileNameOf("b.shp", W), "b.shp");
  EXPECT_EQ(FileNameOf("/a/b\\c.shp", P), "c.shp");
  EXPECT_EQ(FileNameOf("dir/", P), "");
}

TEST(TrailingDelimiter, isAddedOnceAndRemovedOnce) {
  EXPECT_EQ(IncludeTrailingDelimiter("", W), "\\");
  EXPECT_EQ(IncludeTrailingDelimiter("C:\\a", W), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingDelimiter("C:\\a\\", W), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingDelimiter("/a", P), "/a/");
  EXPECT_EQ(IncludeTrailingDelimiter("a\\", P), "a\\");
  EXPECT_EQ(ExcludeTrailingDelimiter("MNA_Laser\\MNH\\", W), "MNA_Laser\\MNH");
  EXPECT_EQ(ExcludeTrailingDelimiter("MNA_Laser\\MNH\\\\", W), "MNA_Laser\\MNH\\");
  EXPECT_EQ(ExcludeTrailingDelimiter("a/", P), "a");
}

}  // namespace
}  // namespace qv

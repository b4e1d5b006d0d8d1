// The containers (TtdObjectList, TObjTree), the crown circle's point ring and the rectangle.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "geometry/Polygons.h"
#include "geometry/Rect.h"
#include "geometry/Trees.h"

namespace qv {
namespace {

struct TItem {  // counts its own destruction
  explicit TItem(int* freed = nullptr, int value = 0) : Freed(freed), Value(value) {}
  virtual ~TItem() {
    if (Freed) ++*Freed;
  }
  int* Freed;
  int Value;
};
struct TSpecialItem : TItem {
  using TItem::TItem;
};

std::string MessageOf(const std::function<void()>& misuse) {
  try {
    misuse();
  } catch (const EtdArrayException& e) {
    return e.what();
  }
  return "no exception";
}

TEST(TtdObjectList, ownsWhatItIsGivenAndReportsMisuseWithItsNames) {
  int freed = 0;
  TItem stranger(&freed);
  {
    TtdObjectList<TItem> list(true, TItemClass<TItem>::Of<TSpecialItem>());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.Add(std::make_unique<TSpecialItem>(&freed)), i);
    TItem* third = &list.Items(2);
    list.Delete(0);
    EXPECT_EQ(list.Remove(third), 1);  // it moved up by one
    EXPECT_EQ(list.Remove(&stranger), -1);
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(MessageOf([&] { list.Add(std::unique_ptr<TItem>{}); }),
              "Cannot have an item that is nil ([TDObjLst] TtdObjectList.Add Objname: -unnamed-)");
    EXPECT_EQ(MessageOf([&] { list.Add(std::make_unique<TItem>()); }),
              "Attempted to add an object of an unknown class ([TDObjLst] TtdObjectList.Add "
              "Objname: -unnamed- index: 2)");
    list.SetName(std::string(40, 'x'));
    EXPECT_EQ(list.Name(), std::string(31, 'x'));
    list.SetName("Crowns");
    EXPECT_EQ(MessageOf([&] { list.Delete(-1); }),
              "Index is out of bounds ([TDObjLst] TtdObjectList.Delete Objname: Crowns index: -1)");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Add(&stranger), std::logic_error);  // an owning list takes ownership
  }
  EXPECT_EQ(freed, 4);
  TtdObjectList<TItem> referencing(false);
  referencing.Add(&stranger);
  referencing.Delete(0);
  EXPECT_EQ(freed, 4);
  EXPECT_THROW(referencing.Add(std::make_unique<TItem>()), std::logic_error);
  T2DPolygons circles;
  EXPECT_EQ(
      MessageOf([&] { circles.Item(0); }),
      "Index is out of bounds ([TDObjLst] T2DPolygons.olGetItem Objname: -unnamed- index: 0)");
}

using TTree = TObjTree<TItem>;
int CompareItems(const TItem& a, const TItem& b) {
  return (a.Value > b.Value) - (a.Value < b.Value);
}

// The black height of the subtree at x, after checking its colours and parents; its values in
// order go to `values`.
int BlackHeight(const TTree& tree, int x, int parent, std::vector<int>& values) {
  if (x == 0) return 1;
  const auto& node = tree.Node(x);
  EXPECT_EQ(node.Parent, parent);
  EXPECT_FALSE(node.Red && (tree.Node(node.Left).Red || tree.Node(node.Right).Red)) << x;
  const int left = BlackHeight(tree, node.Left, x, values);
  values.push_back(node.Item->Value);
  EXPECT_EQ(left, BlackHeight(tree, node.Right, x, values)) << x;
  return left + (node.Red ? 0 : 1);
}

TEST(TObjTree, staysAValidRedBlackSetAndGrowsItsNodesInSteps) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 10; ++round) {
    std::vector<std::unique_ptr<TItem>> items;
    std::set<int> model;
    TTree tree(CompareItems);
    std::vector<int> capacities;
    for (int i = 0; i < 300; ++i) {
      items.push_back(
          std::make_unique<TItem>(nullptr, static_cast<int>(rng() % (round % 2 ? 100000 : 50))));
      const int position = tree.Add(items.back().get());
      EXPECT_EQ(tree.Item(position)->Value, items.back()->Value);  // the new node or the equal one
      // Free nodes are handed out in ascending order, the sentinel (node 0) never.
      if (model.insert(items.back()->Value).second) {
        EXPECT_EQ(position, tree.Count());
      }
      if (capacities.empty() || capacities.back() != tree.Capacity())
        capacities.push_back(tree.Capacity());
      std::vector<int> values;
      EXPECT_FALSE(tree.Node(tree.Root()).Red);
      BlackHeight(tree, tree.Root(), 0, values);
      ASSERT_EQ(values, std::vector<int>(model.begin(), model.end())) << "round " << round;
    }
    EXPECT_EQ(tree.Count(), static_cast<int>(model.size()));
    if (round % 2) {
      capacities.resize(5);
      EXPECT_EQ(capacities, (std::vector<int>{8, 16, 32, 40, 50}));
    }
    for (int v = 0; v < 60; ++v) EXPECT_EQ(tree.Find(TItem(nullptr, v)) != 0, model.count(v) == 1);
  }
  test::RecordingPlatform platform;
  TItem plain(nullptr, 1);
  TTree picky(CompareItems, TItemClass<TItem>::Of<TSpecialItem>());
  EXPECT_EQ(picky.Add(&plain), 0);
  EXPECT_EQ(picky.Add(nullptr), 0);
  EXPECT_EQ(picky.Count(), 0);
  EXPECT_EQ(platform.beeps, 2);
  EXPECT_EQ(platform.Texts()[0], "Item is of wrong type and cannot be added to ObjTree");
}

TEST(T2DPolygon0, keepsARingOfPointsWithRunningCentroidExtentAndCachedArea) {
  T2DPolygon0 p;
  EXPECT_EQ(p.First(), T2DPolygon0::kNoPoint);
  p.AddPoint(2, 0);
  p.AddPoint(4, 2);
  EXPECT_EQ(p.Area(), 0.0);  // fewer than three points
  p.AddPoint(0, 4);
  EXPECT_EQ(p.MinX, 0.0);
  EXPECT_EQ(p.MaxX, 4.0);
  EXPECT_DOUBLE_EQ(p.Centroid.X, 2.0);
  EXPECT_DOUBLE_EQ(p.Centroid.Y, 2.0);
  EXPECT_EQ(p.Next(p.Last()), p.First());
  EXPECT_EQ(p.Prior(p.First()), 2);
  EXPECT_EQ(p.Point(3), T2DPoint(2, 0));  // Point(Count) wraps to the first
  EXPECT_THROW(p.Point(4), EtdArrayException);
  EXPECT_THROW(p.Point(-1), EtdArrayException);
  EXPECT_DOUBLE_EQ(p.Area(), 6.0);
  p.SetArea(7.5);
  EXPECT_EQ(p.Area(), 7.5);
  p.AddPoint(0, 0);  // a new point makes the cached area stale
  EXPECT_FALSE(p.AreaValid());
  EXPECT_DOUBLE_EQ(p.Area(), 10.0);
  p.Clear();
  EXPECT_EQ(p.Count(), 0);
  EXPECT_EQ(p.Area(), 0.0);
}

TEST(T2DPolygon0, circlesStartDueEastCarryTheDiscAreaAndNeedAPositiveRadius) {
  T2DPolygon0 ccw, cw;
  ccw.CreateCircle(36, 100.0, 200.0, 3.0, true);
  cw.CreateCircle(36, 100.0, 200.0, 3.0, false);
  ASSERT_EQ(ccw.Count(), 36);
  EXPECT_EQ(ccw.Point(0), T2DPoint(103.0, 200.0));
  EXPECT_NEAR(ccw.Point(9).X, 100.0, 1e-12);
  EXPECT_DOUBLE_EQ(ccw.Point(9).Y, 203.0);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(cw.Point(i), ccw.Point(35 - i));
  EXPECT_DOUBLE_EQ(cw.Area(), std::numbers::pi * 9.0);  // the disc, not the polygon
  EXPECT_EQ(ccw.MinX, 97.0);
  EXPECT_EQ(ccw.MaxX, 103.0);
  EXPECT_NEAR(ccw.Centroid.Y, 200.0, 1e-9);
  for (const auto& [n, r] : {std::pair{36, 0.0}, {36, -1.0}, {-1, 3.0}, {36, std::nan("")}}) {
    T2DPolygon0 none;
    none.CreateCircle(n, 5.0, 5.0, r, true);
    EXPECT_EQ(none.Count(), 0);
    EXPECT_FALSE(none.AreaValid()) << n << " " << r;
  }
  T2DPolygon0 pointless;
  pointless.CreateCircle(0, 5.0, 5.0, 1.0, true);  // no vertices, but the disc is recorded
  EXPECT_DOUBLE_EQ(pointless.Area(), std::numbers::pi);
  EXPECT_EQ(pointless.MinX, 4.0);
}

TEST(T2DRect, isValidOnlyWithPositiveWidthAndHeight) {
  EXPECT_FALSE(T2DRect().Valid);
  T2DRect r;
  r.SetBounds(0, 10, 5, 0);
  EXPECT_TRUE(r.Valid);
  EXPECT_EQ(r.TopLeft, T2DPoint(0, 10));
  EXPECT_EQ(r.BottomRight, T2DPoint(5, 0));
  EXPECT_EQ(r.Width, 5.0);
  for (const auto& [l, t, rt, b] :
       {std::array{3.0, 10.0, 3.0, 0.0}, {0.0, 1.0, 5.0, 1.0}, {0.0, -2.0, 5.0, 3.0}}) {
    r.SetBounds(l, t, rt, b);
    EXPECT_FALSE(r.Valid);
  }
  EXPECT_EQ(r.Height, -5.0);  // top below bottom is stored as given
}

}  // namespace
}  // namespace qv

// The containers (TtdObjectList, TObjTree) and the crown circle's point ring.
#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <random>
#include <set>

#include "RecordingPlatform.h"
#include "geometry/Polygons.h"
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

template <class F>
std::string MessageOf(F&& misuse) {
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
    EXPECT_THROW(list.Add(&stranger), std::logic_error);  // an owning list takes ownership
  }
  EXPECT_EQ(freed, 4);
  TtdObjectList<TItem> referencing(false);
  referencing.Add(&stranger);
  referencing.Delete(0);
  EXPECT_EQ(freed, 4);
  EXPECT_THROW(referencing.Add(std::make_unique<TItem>()), std::logic_error);
  EXPECT_EQ(
      MessageOf([] { T2DPolygons().Item(0); }),
      "Index is out of bounds ([TDObjLst] T2DPolygons.olGetItem Objname: -unnamed- index: 0)");
}

int Compare(const TItem& a, const TItem& b) { return (a.Value > b.Value) - (a.Value < b.Value); }

// The black height of the subtree at x after checking its colours and parents; its values go to
// `values` in order.
int BlackHeight(const TObjTree<TItem>& tree, int x, int parent, std::vector<int>& values) {
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
    std::vector<int> capacities;
    TObjTree<TItem> tree(Compare);
    for (int i = 0; i < 300; ++i) {
      items.push_back(std::make_unique<TItem>(nullptr, rng() % (round % 2 ? 100000 : 50)));
      const int position = tree.Add(items.back().get());
      EXPECT_EQ(tree.Item(position)->Value, items.back()->Value);  // the new node or the equal one
      // Free nodes are handed out in ascending order, the sentinel (node 0) never.
      if (model.insert(items.back()->Value).second) {
        EXPECT_EQ(position, tree.Count()) << i;
      }
      if (capacities.empty() || capacities.back() != tree.Capacity())
        capacities.push_back(tree.Capacity());
      std::vector<int> values;
      EXPECT_FALSE(tree.Node(tree.Root()).Red);
      BlackHeight(tree, tree.Root(), 0, values);
      ASSERT_EQ(values, std::vector<int>(model.begin(), model.end())) << "round " << round;
    }
    capacities.resize(round % 2 ? 5 : 0);
    EXPECT_EQ(capacities, (round % 2 ? std::vector<int>{8, 16, 32, 40, 50} : std::vector<int>{}));
    for (int v = 0; v < 60; ++v) EXPECT_EQ(tree.Find(TItem(nullptr, v)) != 0, model.count(v) == 1);
  }
  test::RecordingPlatform platform;
  TItem plain;
  TObjTree<TItem> picky(Compare, TItemClass<TItem>::Of<TSpecialItem>());
  EXPECT_EQ(picky.Add(&plain) + picky.Add(nullptr) + picky.Count(), 0);
  EXPECT_EQ(platform.beeps, 2);
  EXPECT_EQ(platform.Texts()[0], "Item is of wrong type and cannot be added to ObjTree");
}

TEST(T2DPolygon0, keepsARingOfPointsWithRunningCentroidExtentAndCachedArea) {
  T2DPolygon0 p;
  EXPECT_EQ(p.First(), T2DPolygon0::kNoPoint);
  EXPECT_EQ(p.Last(), T2DPolygon0::kNoPoint);
  p.AddPoint(2, 0);
  p.AddPoint(4, 2);
  EXPECT_EQ(p.Area(), 0.0);  // fewer than three points
  p.AddPoint(0, 4);
  EXPECT_EQ(p.MinX + p.MaxX, 4.0);
  EXPECT_EQ(p.Centroid, T2DPoint(2, 2));
  EXPECT_EQ(p.Next(p.Last()), p.First());
  EXPECT_EQ(p.Prior(p.First()), 2);
  EXPECT_EQ(p.Point(3), T2DPoint(2, 0));  // Point(Count) wraps to the first
  EXPECT_THROW(p.Point(4), EtdArrayException);
  EXPECT_THROW(p.Point(-1), EtdArrayException);
  EXPECT_DOUBLE_EQ(p.Area(), 6.0);
  p.SetArea(7.5);
  EXPECT_EQ(p.Area(), 7.5);
  p.AddPoint(0, 0);  // a new point makes the cached area stale
  EXPECT_DOUBLE_EQ(p.Area(), 10.0);
  p.Clear();
  EXPECT_EQ(p.Count() + p.Area(), 0.0);
  // A circle without points still carries its disc; one without radius carries nothing.
  p.CreateCircle(0, 5.0, 5.0, 1.0, true);
  EXPECT_DOUBLE_EQ(p.Area(), std::numbers::pi);
  EXPECT_EQ(p.MinX, 4.0);
  T2DPolygon0 ccw, cw;
  ccw.CreateCircle(8, 1.0, 1.0, 2.0, true);
  cw.CreateCircle(8, 1.0, 1.0, 2.0, false);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cw.Point(i), ccw.Point(7 - i));
  for (const double r : {0.0, -1.0, std::nan("")}) {
    T2DPolygon0 none;
    none.CreateCircle(36, 5.0, 5.0, r, true);
    none.CreateCircle(-1, 5.0, 5.0, 3.0, true);
    EXPECT_FALSE(none.AreaValid() || none.Count() > 0) << r;
  }
}

}  // namespace
}  // namespace qv

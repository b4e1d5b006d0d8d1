// TObjTree: the node array's growth, set semantics, the refusal of foreign items, and the
// red-black invariants under random insertion.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "RecordingPlatform.h"
#include "geometry/Edgelist.h"
#include "geometry/Trees.h"
#include "geometry/Vertex.h"

namespace qv {
namespace {

struct TKey {
  explicit TKey(int value) : Value(value) {}
  virtual ~TKey() = default;
  int Value;
};
struct TForeignKey : TKey {
  using TKey::TKey;
};
struct TOwnKey : TKey {
  using TKey::TKey;
};

int CompareKeys(const TKey& a, const TKey& b) { return (a.Value > b.Value) - (a.Value < b.Value); }

using TTree = TObjTree<TKey>;

// Checks the subtree at x and returns its black height; collects the values in order.
int CheckSubtree(const TTree& tree, int x, int parent, std::vector<int>& values) {
  if (x == 0) return 1;
  const auto& node = tree.Node(x);
  EXPECT_EQ(node.Parent, parent) << "node " << x;
  if (node.Red) {
    EXPECT_FALSE(tree.Node(node.Left).Red) << "red node " << x << " with a red child";
    EXPECT_FALSE(tree.Node(node.Right).Red) << "red node " << x << " with a red child";
  }
  const int left = CheckSubtree(tree, node.Left, x, values);
  values.push_back(node.Item->Value);
  const int right = CheckSubtree(tree, node.Right, x, values);
  EXPECT_EQ(left, right) << "black heights differ below node " << x;
  return left + (node.Red ? 0 : 1);
}

std::vector<int> CheckTree(const TTree& tree) {
  std::vector<int> values;
  EXPECT_FALSE(tree.Node(tree.Root()).Red) << "the root is black";
  const auto& sentinel = tree.Node(0);
  EXPECT_FALSE(sentinel.Red);
  EXPECT_EQ(sentinel.Parent, 0);
  EXPECT_EQ(sentinel.Left, 0);
  EXPECT_EQ(sentinel.Right, 0);
  CheckSubtree(tree, tree.Root(), 0, values);
  return values;
}

TEST(TObjTree, growsItsNodeArrayByEightEightAndSixteenForSeventeenItems) {
  std::vector<std::unique_ptr<TKey>> keys;
  TTree tree(CompareKeys);
  EXPECT_EQ(tree.Capacity(), 0);
  std::vector<int> growths;
  int capacity = 0;
  for (int i = 0; i < 17; ++i) {
    keys.push_back(std::make_unique<TKey>(i * 7 % 17));
    // Free nodes are handed out in ascending order, the sentinel (node 0) never.
    EXPECT_EQ(tree.Add(keys.back().get()), i + 1);
    if (tree.Capacity() != capacity) growths.push_back(tree.Capacity() - capacity);
    capacity = tree.Capacity();
  }
  EXPECT_EQ(growths, (std::vector<int>{8, 8, 16}));
  EXPECT_EQ(tree.Count(), 17);
  // Beyond 32 nodes the array grows by a quarter.
  for (int i = 17; i < 32; ++i) {
    keys.push_back(std::make_unique<TKey>(100 + i));
    tree.Add(keys.back().get());
  }
  EXPECT_EQ(tree.Capacity(), 40);
}

TEST(TObjTree, keepsOneNodeForEqualItemsAndFindsIt) {
  TKey a(5);
  TKey b(5);
  TKey c(6);
  TTree tree(CompareKeys);
  const int position = tree.Add(&a);
  EXPECT_EQ(tree.Add(&b), position);  // the item already held stays
  EXPECT_EQ(tree.Count(), 1);
  EXPECT_EQ(tree.Item(position), &a);
  EXPECT_EQ(tree.Find(b), position);
  EXPECT_EQ(tree.Find(c), 0);
  EXPECT_EQ(tree.Item(0), nullptr);
}

TEST(TObjTree, refusesAnItemOfTheWrongClassWithABeepAndAMessage) {
  test::RecordingPlatform platform;
  TOwnKey own(1);
  TForeignKey foreign(2);
  TTree tree(CompareKeys, TItemClass<TKey>::Of<TOwnKey>());
  EXPECT_NE(tree.Add(&own), 0);
  EXPECT_EQ(tree.Add(&foreign), 0);
  EXPECT_EQ(tree.Add(nullptr), 0);
  EXPECT_EQ(tree.Count(), 1);
  EXPECT_EQ(tree.Find(foreign), 0);
  EXPECT_EQ(platform.beeps, 2);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text, "Item is of wrong type and cannot be added to ObjTree");
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
}

TEST(TObjTree, staysAValidRedBlackTreeUnderRandomInsertion) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<TKey>> keys;
    std::set<int> model;
    TTree tree(CompareKeys);
    const int range = round % 2 == 0 ? 50 : 100000;  // many duplicates, or few
    for (int i = 0; i < 400; ++i) {
      keys.push_back(std::make_unique<TKey>(static_cast<int>(rng() % range)));
      tree.Add(keys.back().get());
      model.insert(keys.back()->Value);
      const std::vector<int> values = CheckTree(tree);
      ASSERT_EQ(values, std::vector<int>(model.begin(), model.end())) << "round " << round;
      ASSERT_EQ(tree.Count(), static_cast<int>(model.size()));
      if (HasFailure()) return;
    }
    for (int v = 0; v < 60; ++v) {
      const TKey probe(v);
      EXPECT_EQ(tree.Find(probe) != 0, model.count(v) == 1);
    }
  }
}

// The mesh shares vertices through its own index; a TObjTree under the vertex order must make
// exactly the same sharing decisions.
TEST(TObjTree, asAVertexIndexSharesExactlyWhatTheMeshShares) {
  std::mt19937 rng(99);
  const double xs[] = {0.0, -0.0, 1.0, 1.0000000001, -2.5, 2600000.5, 1e-300, 3.25};
  const double ys[] = {0.0, -0.0, 2.0, 2.0000000001, 1200000.5, -7.75};
  T2DEdgelist mesh;
  std::vector<std::unique_ptr<T2DVertex>> vertices;
  TObjTree<T2DVertex> tree(CompareVertices);
  for (int i = 0; i < 2000; ++i) {
    const T2DPoint p(xs[rng() % std::size(xs)], ys[rng() % std::size(ys)]);
    bool isNew = false;
    const TVertexId id = mesh.AddVertex(p, isNew);
    vertices.push_back(std::make_unique<T2DVertex>());
    vertices.back()->Point = p;
    const int before = tree.Count();
    const int position = tree.Add(vertices.back().get());
    ASSERT_EQ(isNew, tree.Count() > before) << p.X << " " << p.Y;
    // Both hold the same first point for it.
    EXPECT_EQ(mesh[id].Point.X, tree.Item(position)->Point.X);
    EXPECT_EQ(mesh[id].Point.Y, tree.Item(position)->Point.Y);
  }
  EXPECT_EQ(mesh.VertexCount(), tree.Count());
  EXPECT_EQ(tree.Count(), 7 * 5);  // the signed zeros meet
}

}  // namespace
}  // namespace qv

// TObjTree: an ordered set of objects, kept as a red-black tree whose nodes live in one array.
//
// Positions in the node array stand in for pointers; node 0 is the nil sentinel (black, never
// written), so a position of 0 means "none". The array grows by 8 nodes while empty or below 16,
// by 16 below 32, and by a quarter of its size beyond, which keeps growth amortised constant
// while small trees stay small. New nodes are chained into the free list in ascending order.
//
// The tree does not own its items. An item that is not of the tree's item class is refused
// with a beep and a plain message; nothing is inserted and no exception is raised.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/TdObjLst.h"

namespace qv {

// Tells the user that an item of the wrong class was offered to a TObjTree.
void ReportWrongObjTreeItem();

template <class T>
class TObjTree {
 public:
  // Negative when a < b, 0 when equal, positive when a > b.
  using TCompare = int (*)(const T& a, const T& b);

  struct TObjNode {
    std::int32_t Parent = 0;
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    std::int32_t NextFree = 0;
    bool Red = false;
    T* Item = nullptr;
  };

  explicit TObjTree(TCompare compare, TItemClass<T> itemClass = {})
      : compare_(compare), itemClass_(itemClass) {}

  // Inserts the item unless an equal one is held. Returns the position of the node that now
  // holds an equal item (the new one or the one already there), or 0 when the item is refused.
  int Add(T* item) {
    if (item == nullptr || !itemClass_.Admits(*item)) {
      ReportWrongObjTreeItem();
      return 0;
    }
    std::int32_t parent = 0;
    std::int32_t x = root_;
    int side = 0;
    while (x != 0) {
      parent = x;
      side = compare_(*item, *nodes_[x].Item);
      if (side == 0) return x;
      x = side < 0 ? nodes_[x].Left : nodes_[x].Right;
    }
    const std::int32_t z = NewNode(item);
    nodes_[z].Parent = parent;
    if (parent == 0) {
      root_ = z;
    } else if (side < 0) {
      nodes_[parent].Left = z;
    } else {
      nodes_[parent].Right = z;
    }
    FixAfterInsert(z);
    return z;
  }

  // Position of the item comparing equal to key, or 0.
  int Find(const T& key) const {
    std::int32_t x = root_;
    while (x != 0) {
      const int c = compare_(key, *nodes_[x].Item);
      if (c == 0) return x;
      x = c < 0 ? nodes_[x].Left : nodes_[x].Right;
    }
    return 0;
  }

  T* Item(int position) const {
    return position > 0 && position < Capacity() ? nodes_[position].Item : nullptr;
  }

  int Count() const { return count_; }
  int Capacity() const { return static_cast<int>(nodes_.size()); }
  int Root() const { return root_; }
  // For inspection (tests, diagnostics); position 0 is the sentinel.
  const TObjNode& Node(int position) const { return nodes_[position]; }
  std::size_t CapacityBytes() const { return nodes_.capacity() * sizeof(TObjNode); }

 private:
  static int GrowthStep(int capacity) {
    if (capacity < 16) return 8;
    if (capacity < 32) return 16;
    return capacity / 4;
  }

  void Grow() {
    const int old = Capacity();
    const int grown = old + GrowthStep(old);
    nodes_.reserve(static_cast<std::size_t>(grown));
    nodes_.resize(static_cast<std::size_t>(grown));
    const int first = old == 0 ? 1 : old;  // node 0 is the sentinel
    for (int i = first; i < grown; ++i) nodes_[i].NextFree = i + 1 < grown ? i + 1 : 0;
    freeHead_ = first;
  }

  std::int32_t NewNode(T* item) {
    if (freeHead_ == 0) Grow();
    const std::int32_t z = freeHead_;
    TObjNode& node = nodes_[z];
    freeHead_ = node.NextFree;
    node = TObjNode{};
    node.Red = true;
    node.Item = item;
    ++count_;
    return z;
  }

  bool IsRed(std::int32_t x) const { return nodes_[x].Red; }

  void RotateLeft(std::int32_t x) {
    const std::int32_t y = nodes_[x].Right;
    nodes_[x].Right = nodes_[y].Left;
    if (nodes_[y].Left != 0) nodes_[nodes_[y].Left].Parent = x;
    Replace(x, y);
    nodes_[y].Left = x;
    nodes_[x].Parent = y;
  }

  void RotateRight(std::int32_t x) {
    const std::int32_t y = nodes_[x].Left;
    nodes_[x].Left = nodes_[y].Right;
    if (nodes_[y].Right != 0) nodes_[nodes_[y].Right].Parent = x;
    Replace(x, y);
    nodes_[y].Right = x;
    nodes_[x].Parent = y;
  }

  // Puts y where x hangs from its parent.
  void Replace(std::int32_t x, std::int32_t y) {
    const std::int32_t p = nodes_[x].Parent;
    nodes_[y].Parent = p;
    if (p == 0) {
      root_ = y;
    } else if (nodes_[p].Left == x) {
      nodes_[p].Left = y;
    } else {
      nodes_[p].Right = y;
    }
  }

  void FixAfterInsert(std::int32_t z) {
    while (IsRed(nodes_[z].Parent)) {
      std::int32_t p = nodes_[z].Parent;
      const std::int32_t g = nodes_[p].Parent;  // exists: a red node is never the root
      const bool parentIsLeft = nodes_[g].Left == p;
      const std::int32_t uncle = parentIsLeft ? nodes_[g].Right : nodes_[g].Left;
      if (IsRed(uncle)) {
        nodes_[p].Red = false;
        nodes_[uncle].Red = false;
        nodes_[g].Red = true;
        z = g;
        continue;
      }
      if (parentIsLeft && z == nodes_[p].Right) {
        z = p;
        RotateLeft(z);
        p = nodes_[z].Parent;
      } else if (!parentIsLeft && z == nodes_[p].Left) {
        z = p;
        RotateRight(z);
        p = nodes_[z].Parent;
      }
      nodes_[p].Red = false;
      nodes_[g].Red = true;
      if (parentIsLeft) {
        RotateRight(g);
      } else {
        RotateLeft(g);
      }
    }
    nodes_[root_].Red = false;
  }

  TCompare compare_;
  TItemClass<T> itemClass_;
  std::vector<TObjNode> nodes_;
  int count_ = 0;
  std::int32_t root_ = 0;
  std::int32_t freeHead_ = 0;
};

}  // namespace qv

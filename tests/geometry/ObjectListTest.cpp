// TtdObjectList: ownership, removal, and the exact texts of its misuse reports.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "geometry/Polygons.h"
#include "geometry/TdObjLst.h"

namespace qv {
namespace {

// Items that count their own destruction.
struct TItem {
  explicit TItem(int* freed = nullptr) : Freed(freed) {}
  virtual ~TItem() {
    if (Freed) ++*Freed;
  }
  int* Freed;
};
struct TSpecialItem : TItem {
  using TItem::TItem;
};
struct TOtherItem : TItem {
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

TEST(TtdObjectList, ownsAndFreesItsItemsOnDeleteRemoveClearAndDestruction) {
  int freed = 0;
  {
    TtdObjectList<TItem> list;
    EXPECT_TRUE(list.OwnsObjects());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list.Add(std::make_unique<TItem>(&freed)), i);
    TItem* third = &list.Items(2);
    list.Delete(0);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(list.Remove(third), 1);  // it moved up by one
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_EQ(freed, 5);
    EXPECT_EQ(list.Count(), 0);
    list.Add(std::make_unique<TItem>(&freed));
  }
  EXPECT_EQ(freed, 6);  // the destructor clears
}

TEST(TtdObjectList, removeOfAnAbsentItemReturnsMinusOneAndFreesNothing) {
  int freed = 0;
  TtdObjectList<TItem> list;
  list.Add(std::make_unique<TItem>(&freed));
  TItem stranger(&freed);
  EXPECT_EQ(list.Remove(&stranger), -1);
  EXPECT_EQ(freed, 0);
  EXPECT_EQ(list.Count(), 1);
}

TEST(TtdObjectList, aListThatDoesNotOwnItsItemsNeverFreesThem) {
  int freed = 0;
  TItem a(&freed);
  TItem b(&freed);
  {
    TtdObjectList<TItem> list(false);
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&b), 1);
    list.Delete(0);
    EXPECT_EQ(list.Remove(&b), 0);
    list.Add(&a);
    EXPECT_EQ(&list[0], &a);
  }
  EXPECT_EQ(freed, 0);
  // Ownership is decided by the list, not by how the caller hands the item over.
  TtdObjectList<TItem> owning;
  EXPECT_THROW(owning.Add(&a), std::logic_error);
  TtdObjectList<TItem> referencing(false);
  EXPECT_THROW(referencing.Add(std::make_unique<TItem>()), std::logic_error);
}

TEST(TtdObjectList, misuseRaisesEtdArrayExceptionWithUnitClassOperationNameAndIndex) {
  TtdObjectList<TItem> list(true, TItemClass<TItem>::Of<TSpecialItem>());
  list.Add(std::make_unique<TSpecialItem>());
  EXPECT_EQ(MessageOf([&] { list.Add(std::unique_ptr<TItem>{}); }),
            "Cannot have an item that is nil ([TDObjLst] TtdObjectList.Add Objname: -unnamed-)");
  EXPECT_EQ(MessageOf([&] { list.Add(std::make_unique<TOtherItem>()); }),
            "Attempted to add an object of an unknown class ([TDObjLst] TtdObjectList.Add "
            "Objname: -unnamed- index: 1)");
  EXPECT_EQ(MessageOf([&] { list.Items(1); }),
            "Index is out of bounds ([TDObjLst] TtdObjectList.olGetItem Objname: -unnamed- "
            "index: 1)");
  list.SetName("Crowns");
  EXPECT_EQ(MessageOf([&] { list.Delete(-1); }),
            "Index is out of bounds ([TDObjLst] TtdObjectList.Delete Objname: Crowns index: -1)");
  EXPECT_EQ(list.Count(), 1);  // unchanged by the refused calls
  // An EtdArrayException is an EtdException is a standard exception.
  EXPECT_THROW(list.Items(7), EtdException);
  EXPECT_THROW(list.Items(7), std::exception);
}

TEST(TtdObjectList, theItemClassAdmitsDescendantsOfItself) {
  struct TDeeper : TSpecialItem {};
  TtdObjectList<TItem> list(true, TItemClass<TItem>::Of<TSpecialItem>());
  EXPECT_EQ(list.Add(std::make_unique<TDeeper>()), 0);
  EXPECT_THROW(list.Add(std::make_unique<TItem>()), EtdArrayException);
}

TEST(TtdObjectList, namesAreCutToThirtyOneCharactersAndDerivedListsGiveTheirClass) {
  TtdObjectList<TItem> list;
  EXPECT_EQ(list.Name(), "-unnamed-");
  list.SetName(std::string(40, 'x'));
  EXPECT_EQ(list.Name(), std::string(31, 'x'));

  T2DPolygons circles;  // owns its circles
  EXPECT_FALSE(circles.HasHeights);
  EXPECT_EQ(MessageOf([&] { circles.Item(0); }),
            "Index is out of bounds ([TDObjLst] T2DPolygons.olGetItem Objname: -unnamed- index: 0)");
  EXPECT_EQ(circles.Add(TCrownCircle{}), 0);
  EXPECT_EQ(circles.Item(0).Count(), 0);
}

}  // namespace
}  // namespace qv

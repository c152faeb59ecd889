#include <gtest/gtest.h>

#include "core/fccollection.h"
#include "core/fcstring.h"
#include "core/fcstrings.h"

namespace {

// An element that reports its destruction and carries a number to sort by.
struct Counted : __FCBase {
  explicit Counted(int v, int* deaths = nullptr) : value(v), deaths(deaths) {}
  ~Counted() override {
    if (deaths) ++*deaths;
  }
  int value;
  int* deaths;
};

struct StopAt : FCIteratorHandler {
  explicit StopAt(int stop) : stop(stop) {}
  bool Iterate(__FCBase* e) override { return static_cast<Counted*>(e)->value != stop; }
  int stop;
};

struct ByValue : FCIteratorHandler {
  int Compare(__FCBase* a, __FCBase* b) override {
    return static_cast<Counted*>(a)->value - static_cast<Counted*>(b)->value;
  }
};

TEST(Collection, GrowsWhenNeededExceedsCapacity) {
  __FCCollection c;
  for (int i = 0; i < 10; ++i)
    c.Add(new Counted(i));
  EXPECT_EQ(10, c.GetCount());
  c.Add(new Counted(10));
  EXPECT_EQ(11, c.GetCount());
  EXPECT_EQ(nullptr, c.GetItemAt(-1));
  EXPECT_EQ(nullptr, c.GetItemAt(11));
  EXPECT_EQ(-1, c.GetIndexOf(reinterpret_cast<__FCBase*>(&c)));
}

TEST(Collection, InsertPlacesAndAppends) {
  __FCCollection c;
  Counted* a = new Counted(1);
  Counted* b = new Counted(2);
  Counted* d = new Counted(3);
  Counted* e = new Counted(4);
  c.InsertItemAt(a, 0);
  c.InsertItemAt(b, 1);  // index == count appends
  c.InsertItemAt(d, 7);  // beyond the end appends
  c.InsertItemAt(e, -2); // a negative place goes to the front
  EXPECT_EQ(0, c.GetIndexOf(e));
  EXPECT_EQ(1, c.GetIndexOf(a));
  EXPECT_EQ(3, c.GetIndexOf(d));
}

TEST(Collection, OwnershipOnClearDetachAndDestruction) {
  int deaths = 0;
  Counted* kept = new Counted(2, &deaths);
  {
    __FCCollection c;
    EXPECT_FALSE(c.ClearItemAt(0));
    c.Add(new Counted(1, &deaths));
    c.Add(kept);
    c.Add(new Counted(3, &deaths));
    EXPECT_TRUE(c.DetachItemAt(1));
    EXPECT_EQ(0, deaths);
    EXPECT_EQ(2, c.GetCount());
    EXPECT_EQ(3, static_cast<Counted*>(c.GetItemAt(1))->value);
    EXPECT_TRUE(c.ClearItemAt(0));
    EXPECT_EQ(1, deaths);
    EXPECT_FALSE(c.DetachItemAt(5));
  }
  EXPECT_EQ(2, deaths); // the one left in the collection went with it
  delete kept;
  FCStrings* strings = new FCStrings;
  strings->Add(new FCString("a"));
  EXPECT_EQ(nullptr, strings->GetItemAt(1));
  delete strings; // releases the string it holds (a leak would fail the sanitizer run)
}

TEST(Collection, ForEachCountsTrueVisitsAndSkipsNull) {
  __FCCollection c;
  for (int i = 1; i <= 5; ++i)
    c.Add(new Counted(i));
  FCIteratorHandler root;
  EXPECT_EQ(5, c.ForEach(&root));
  StopAt first(1);
  EXPECT_EQ(0, c.ForEach(&first));
  StopAt third(3);
  EXPECT_EQ(2, c.ForEach(&third));
  c.InsertItemAt(nullptr, 2);
  EXPECT_EQ(5, c.ForEach(&root));
  EXPECT_EQ(3, c.ToEndFrom(3, &root));
  EXPECT_EQ(0, c.ToEndFrom(6, &root));
  EXPECT_EQ(nullptr, c.FindFirst(&root));
}

TEST(Collection, ForEachVisitsWhatTheVisitAdds) {
  struct Adder : FCIteratorHandler {
    __FCCollection* c = nullptr;
    int seen = 0;
    bool Iterate(__FCBase*) override {
      if (++seen == 1) c->Add(new Counted(9));
      return true;
    }
  } adder;
  __FCCollection c;
  c.Add(new Counted(1));
  adder.c = &c;
  EXPECT_EQ(2, c.ForEach(&adder));
}

TEST(Collection, SortOrdersAndReportsExchanges) {
  __FCCollection c;
  c.Add(new Counted(3));
  c.Add(new Counted(1));
  c.Add(new Counted(2));
  ByValue order;
  EXPECT_TRUE(c.Sort(&order));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(i + 1, static_cast<Counted*>(c.GetItemAt(i))->value);
  EXPECT_FALSE(c.Sort(&order));
  FCIteratorHandler root;
  EXPECT_FALSE(c.Sort(&root));
}

TEST(Collection, FindUserDataSkipsNull) {
  __FCCollection c;
  c.Add(nullptr);
  Counted* a = new Counted(1);
  a->SetUserData(&c);
  c.Add(a);
  EXPECT_EQ(a, c.FindUserData(&c));
  EXPECT_EQ(nullptr, c.FindUserData(nullptr)); // the null slot is not a match
}

TEST(BaseFlags, SetAndClearOnlyTheMask) {
  __FCBase b;
  FLAG_16 w = 0x00F0;
  b.Set16BitFlag(&w, 0x0101, true);
  EXPECT_EQ(0x01F1, w);
  b.Set16BitFlag(&w, 0x00F1, false);
  EXPECT_EQ(0x0100, w);
  FLAG_32 l = 0x80000001;
  b.Set32BitFlag(&l, 0x80000000, false);
  EXPECT_EQ(1u, l);
  EXPECT_STREQ("__FCBase", b.ClassName());
  EXPECT_TRUE(b.IsIdentical(nullptr));
}

} // namespace

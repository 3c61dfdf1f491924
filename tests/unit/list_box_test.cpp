#include <gtest/gtest.h>

#include "store/list_box.h"

namespace nv {
namespace {

TEST(ListBox, AddUniqueIsCaseSensitiveAndSelectsTheExistingEntry) {
  ListBox list;
  EXPECT_TRUE(list.AddUnique("b"));
  EXPECT_TRUE(list.AddUnique("a"));
  EXPECT_TRUE(list.AddUnique("B"));
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_FALSE(list.AddUnique("a"));
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"b", "a", "B"}));
}

TEST(ListBox, SortedListKeepsCaseInsensitiveOrderAndFindsEntriesAfterSorting) {
  ListBox list(true);
  for (const char* e : {"zeta.com", "Alpha.com", "beta.com", "alpha.com"}) list.AddUnique(e);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"Alpha.com", "alpha.com", "beta.com", "zeta.com"}));
  EXPECT_FALSE(list.AddUnique("zeta.com"));
  EXPECT_EQ(list.Selected(), 3);
  list.AddUnique("gamma.com");
  EXPECT_EQ(list[3], "gamma.com");
  EXPECT_EQ(list.IndexOf("zeta.com"), 4);
  EXPECT_EQ(list.Selected(), 4) << "the selection follows its entry";
}

TEST(ListBox, RemovingKeepsTheIndexConsistent) {
  ListBox list;
  for (const char* e : {"a", "b", "c", "d"}) list.AddUnique(e);
  list.Select(3);
  list.RemoveAt(1);
  EXPECT_EQ(list.IndexOf("c"), 1);
  EXPECT_EQ(list.IndexOf("b"), -1);
  EXPECT_TRUE(list.AddUnique("b"));
  EXPECT_EQ(list.Selected(), 2);
  list.RemoveAt(2);
  EXPECT_EQ(list.Selected(), -1);
}

TEST(ListBox, HoldsMoreThanSixteenBitsOfEntries) {
  ListBox list;
  for (int i = 0; i < 40000; ++i) list.AddUnique("host" + std::to_string(i) + ".example");
  EXPECT_EQ(list.Count(), 40000);
  EXPECT_FALSE(list.AddUnique("host39999.example"));
  EXPECT_EQ(list.Selected(), 39999);
}

}  // namespace
}  // namespace nv

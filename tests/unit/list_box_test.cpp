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

namespace nv {
namespace {

TEST(ListBox, SortedListWithManyRepeatsLoadsWithoutResorting) {
  ListBox list(true);
  for (int i = 0; i < 60000; ++i) list.AddUnique("h" + std::to_string((i * 7919) % 30000));
  EXPECT_EQ(list.Count(), 30000);
  EXPECT_EQ(list[0], "h0");
  EXPECT_EQ(list.IndexOf("h1"), 1);
  EXPECT_EQ(list.IndexOf("h10"), 2);
}

}  // namespace
}  // namespace nv

#include <algorithm>
#include <random>

#include "store/ascii_text.h"

namespace nv {
namespace {

// A locale that calls texts equal when they differ only in letter case or
// in a trailing '!': different texts that compare equal keep insertion order.
struct LooseOrder : AsciiText {
  static std::string Key(const std::string& s) {
    std::string k = AsciiText::Instance().SortKey(s);
    if (!k.empty() && k.back() == '!') k.pop_back();
    return k;
  }
  int CompareNoCase(const std::string& a, const std::string& b) override { return Key(a).compare(Key(b)); }
  std::string SortKey(const std::string& s) override { return Key(s); }
};

// Adds, reads and removes at random against a plain model: a vector kept in
// stable sorted order. Single adds between reads take the one-by-one path,
// batches the sort; every lookup must find its entry at its new place.
TEST(ListBox, SortedAddsAndRemovesKeepOrderAndIndexInStep) {
  LooseOrder order;
  std::mt19937 rng(7);
  ListBox list(order);
  std::vector<std::string> model;
  auto modelInsert = [&](const std::string& e) {
    auto at = std::upper_bound(model.begin(), model.end(), e, [&](const std::string& a, const std::string& b) {
      return order.CompareNoCase(a, b) < 0;
    });
    model.insert(at, e);
  };
  for (int round = 0; round < 300; ++round) {
    const int batch = round % 10 == 0 ? 40 : 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < batch; ++i) {
      std::string e = std::string(1, static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 5)) +
                      std::to_string(rng() % 30) + (rng() % 3 ? "" : "!");
      if (list.AddUnique(e)) modelInsert(e);
    }
    if (!model.empty() && rng() % 2) {
      const int at = static_cast<int>(rng() % model.size());
      list.Select(at);
      list.RemoveAt(at);
      model.erase(model.begin() + at);
      EXPECT_EQ(list.Selected(), -1);
    }
    ASSERT_EQ(list.Items(), model) << "round " << round;
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.IndexOf(model[i]), static_cast<int>(i));
  }
}

TEST(ListBox, RemovingFromAListWithRepeatsFindsTheOtherCopy) {
  ListBox list;
  for (const char* e : {"a", "b", "a", "c"}) list.Add(e);
  list.RemoveAt(0);
  EXPECT_EQ(list.IndexOf("a"), 1);
  EXPECT_EQ(list.IndexOf("c"), 2);
}

}  // namespace
}  // namespace nv

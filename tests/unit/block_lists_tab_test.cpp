// The "Block &Lists" tab: its two lists edited as the other tabs' are, and
// each subscription's state as the running program knows it.
#include <gtest/gtest.h>

#include "adblock/lists/block_lists.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_store_seams.h"
#include "settings/block_lists_tab.h"

namespace nv {
namespace {

struct RecordingListsView : BlockListsTabView {
  void ShowListsEntry(BlockListsList l, const std::string& t) override { entry[l == BlockListsList::allowed] = t; }
  void ShowListsRows(BlockListsList l, int c, int s) override {
    rows[l == BlockListsList::allowed] = c;
    selected[l == BlockListsList::allowed] = s;
  }
  void SetListsAddEnabled(BlockListsList l, bool e) override { add[l == BlockListsList::allowed] = e; }
  void ShowListsCount(BlockListsList l, const std::string& t) override { count[l == BlockListsList::allowed] = t; }
  void ShowListsState(const std::string& t) override { state = t; }
  std::string entry[2], count[2], state;
  int rows[2] = {-1, -1}, selected[2] = {-2, -2};
  bool add[2] = {true, true};
};

constexpr char kLists[] = "C:\\N\\data\\lists.svr";
constexpr char kAllow[] = "C:\\N\\data\\allow.svr";
constexpr auto kSubs = BlockListsList::subscriptions;
constexpr auto kAllowed = BlockListsList::allowed;

struct BlockListsTabTest : ::testing::Test {
  BlockListsTabTest() {
    fp.platform.background = &background;
    tab.SetRunning(&running, [this] { running.UpdateNow(); });
  }
  void Type(BlockListsList list, const std::string& text) { tab.EntryChanged(list, text); }

  test::FakePlatform fp;
  test::FakeBackground background;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  BlockLists running{services, [] {}};
  RecordingListsView view;
  int applies = 0;
  BlockListsTab tab{services, view, [this] { ++applies; }};
};

TEST_F(BlockListsTabTest, OpensWithTheShippedListWhenNoneWasSavedAndAnEmptyAllowList) {
  tab.Load();
  EXPECT_EQ(tab.List(kSubs).Items(), std::vector<std::string>{kDefaultSubscription});
  EXPECT_EQ(view.count[0], "1");
  EXPECT_EQ(view.count[1], "0");
  EXPECT_EQ(view.state, lists_text::kNotApplied);  // the program has not read it yet
  tab.Save();
  EXPECT_FALSE(fp.files.Exists(kLists));  // nothing edited, nothing written
  EXPECT_EQ(applies, 0);
}

TEST_F(BlockListsTabTest, AddAndRemoveEditOnlyTheDialogsCopyUntilSaved) {
  fp.files.Put(kLists, "https://lists.example/a\r\n\r\n\r\n");
  tab.Load();
  Type(kSubs, "  https://lists.example/b ");
  EXPECT_TRUE(view.add[0]);
  tab.Add(kSubs);
  EXPECT_EQ(tab.List(kSubs).Items(), (std::vector<std::string>{"https://lists.example/a", "https://lists.example/b"}));
  EXPECT_EQ(view.selected[0], 1);
  EXPECT_EQ(view.entry[0], "");
  EXPECT_FALSE(view.add[0]);
  EXPECT_EQ(applies, 1);
  Type(kSubs, "https://lists.example/a");
  tab.Add(kSubs);  // already there: nothing to apply
  EXPECT_EQ(applies, 1);
  EXPECT_EQ(fp.files.Get(kLists), "https://lists.example/a\r\n\r\n\r\n");
  Type(kAllowed, "shop.example");
  tab.Add(kAllowed);
  tab.Click(kSubs, 0);
  tab.Remove(kSubs);
  EXPECT_EQ(view.count[0], "1");
  EXPECT_EQ(view.selected[0], -1);
  tab.Remove(kSubs);  // no selection: nothing
  EXPECT_EQ(applies, 3);
  tab.Save();
  EXPECT_EQ(fp.files.Get(kLists), "https://lists.example/b\r\n\r\n\r\n");
  EXPECT_EQ(fp.files.Get(kAllow), "shop.example\r\n\r\n\r\n");
}

TEST_F(BlockListsTabTest, AListThatCouldNotBeReadIsNeverSaved) {
  fp.files.Put(kLists, "https://lists.example/a\r\n");
  fp.files.failReads.insert(test::FakeFiles::Key(kLists));
  tab.Load();
  EXPECT_EQ(view.count[0], "0");
  Type(kSubs, "https://lists.example/b");
  tab.Add(kSubs);
  tab.Save();
  fp.files.failReads.clear();
  EXPECT_EQ(fp.files.Get(kLists), "https://lists.example/a\r\n");
}

TEST_F(BlockListsTabTest, TheSelectedListShowsItsNamesLastGoodUpdateAndStateAndUpdateNowFetches) {
  fp.files.Put(kLists, "https://lists.example/a\r\nhttps://lists.example/b\r\n\r\n\r\n");
  running.Start();
  background.RunAll();
  ASSERT_EQ(fp.http.Waiting(), 2u);
  std::string body;
  for (int i = 0; i < 12345; ++i) body += "0.0.0.0 n" + std::to_string(i) + ".example\n";
  fp.http.Answer(body);
  fp.http.Fail("The server name could not be resolved.");
  while (background.RunAll()) {
  }
  tab.Load();
  EXPECT_EQ(view.state, lists_text::kNoneSelected);
  tab.Click(kSubs, 0);
  EXPECT_EQ(view.state, "12,345 names; last good update: 08.12.2026 11:05:09; up to date");
  tab.Click(kSubs, 1);
  EXPECT_EQ(view.state, "0 names; last good update: never; The server name could not be resolved.");
  tab.UpdateNow();
  EXPECT_EQ(fp.http.Waiting(), 2u);
  EXPECT_EQ(view.state, "0 names; last good update: never; updating");
}

}  // namespace
}  // namespace nv

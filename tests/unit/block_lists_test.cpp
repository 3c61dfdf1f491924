// Subscriptions: when they are fetched, what an answer does to the last good
// copy, and what a start without a network has.
#include <gtest/gtest.h>

#include "adblock/lists/block_lists.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_store_seams.h"

namespace nv {
namespace {

constexpr char kFolder[] = "C:\\N";
constexpr char kOther[] = "http://127.0.0.2/lists/second.txt";

std::string List(const std::string& stem, int names) {
  std::string body = "# a list\n127.0.0.1 localhost\n";
  for (int i = 0; i < names; ++i) body += "0.0.0.0 " + stem + std::to_string(i) + ".example\n";
  return body;
}

HttpAnswer Good(const std::string& body, const std::string& etag = "\"v1\"") {
  HttpAnswer a{true, body, "", 200};
  a.etag = etag;
  a.lastModified = "Tue, 08 Dec 2026 10:00:00 GMT";
  return a;
}

struct BlockListsTest : ::testing::Test {
  BlockListsTest() { fp.platform.background = &background; }
  std::unique_ptr<BlockLists> Started() {
    auto lists = std::make_unique<BlockLists>(services, [this] { ++changes; });
    lists->Start();
    Settle();
    return lists;
  }
  // Lets the worker parse and merge what has arrived.
  void Settle() {
    while (background.RunAll()) {
    }
  }
  std::string Copy(const std::string& url) { return fp.files.Get(std::string(kFolder) + CopyFileName(url)); }
  bool HasCopy(const std::string& url) { return fp.files.Exists(std::string(kFolder) + CopyFileName(url)); }
  void Later(int hours) {
    LocalTime& t = fp.clock.now;
    t.hour += hours;
    while (t.hour >= 24) {
      t.hour -= 24;
      ++t.day;
    }
  }

  test::FakePlatform fp;
  test::FakeBackground background;
  Store store{fp.files, kFolder};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  int changes = 0;
};

TEST_F(BlockListsTest, FirstStartFetchesTheDefaultListKeepsItsCopyAndMergesItsNames) {
  auto lists = Started();
  ASSERT_EQ(fp.http.Waiting(), 1u);
  EXPECT_EQ(fp.http.requests[0].url, kDefaultSubscription);
  EXPECT_EQ(fp.http.requests[0].maxBytes, 32u * 1024 * 1024);
  EXPECT_EQ(fp.http.requests[0].ifNoneMatch, "");  // nothing to be "not modified" against
  EXPECT_EQ(lists->Subscriptions()[0].state, kStateFetching);
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  const Subscription& sub = lists->Subscriptions()[0];
  EXPECT_EQ(sub.state, kStateUpToDate);
  EXPECT_EQ(sub.count, 150u);
  EXPECT_EQ(sub.lastGood, "2026-12-08 11:05:09");
  EXPECT_EQ(Copy(kDefaultSubscription), List("ad", 150));
  EXPECT_EQ(lists->Names().names.Size(), 150u);
  EXPECT_EQ(changes, 2);  // the empty start, then the list
}

TEST_F(BlockListsTest, AnOfflineStartUsesTheCopyAndADayLaterAsksWhetherItChanged) {
  auto first = Started();
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  Later(23);
  first.reset();
  auto next = Started();
  EXPECT_EQ(fp.http.Waiting(), 0u);  // not a day old yet
  EXPECT_EQ(next->Names().names.Size(), 150u);
  EXPECT_EQ(next->Subscriptions()[0].state, kStateUpToDate);
  Later(2);
  next.reset();
  auto dayAfter = Started();
  ASSERT_EQ(fp.http.Waiting(), 1u);
  EXPECT_EQ(fp.http.requests.back().ifNoneMatch, "\"v1\"");
  EXPECT_EQ(fp.http.requests.back().ifModifiedSince, "Tue, 08 Dec 2026 10:00:00 GMT");
  fp.http.Reply(HttpAnswer{false, "", "Not modified.", 304});
  Settle();
  EXPECT_EQ(dayAfter->Subscriptions()[0].state, kStateNotModified);
  EXPECT_EQ(dayAfter->Subscriptions()[0].lastGood, "2026-12-09 12:05:09");
  EXPECT_EQ(dayAfter->Names().names.Size(), 150u);
}

TEST_F(BlockListsTest, FailedAndImplausibleAnswersKeepTheLastGoodCopy) {
  auto lists = Started();
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  struct Case {
    HttpAnswer answer;
    std::string state;
  } cases[] = {
      {Good("<!DOCTYPE html>\n<html><body>" + List("x", 200) + "</body></html>"),
       "The answer was a web page, not a block list; the last good copy stays."},
      {Good(""), "The answer held 0 names, too few for a block list; the last good copy stays."},
      {Good(List("few", 99)), "The answer held 99 names, too few for a block list; the last good copy stays."},
      {HttpAnswer{false, "", "The answer was larger than 32768 KB.", 200}, "The answer was larger than 32768 KB."},
      {HttpAnswer{false, "", "The server name could not be resolved.", 0}, "The server name could not be resolved."},
  };
  for (const Case& c : cases) {
    lists->UpdateNow();
    fp.http.Reply(c.answer);
    Settle();
    EXPECT_EQ(lists->Subscriptions()[0].state, c.state);
    EXPECT_EQ(lists->Subscriptions()[0].count, 150u);
    EXPECT_EQ(lists->Names().names.Size(), 150u);
    EXPECT_EQ(Copy(kDefaultSubscription), List("ad", 150));
  }
  // The state shows across a restart, and the copy is what that start uses.
  lists.reset();
  auto next = Started();
  EXPECT_EQ(next->Subscriptions()[0].state, cases[4].state);
  EXPECT_EQ(next->Names().names.Size(), 150u);
}

TEST_F(BlockListsTest, ApplyingTheListsFetchesANewOneAtOnceAndDropsARemovedOne) {
  auto lists = Started();
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  fp.files.Put("C:\\N\\data\\lists.svr", std::string(kDefaultSubscription) + "\r\n" + kOther + "\r\n\r\n\r\n");
  fp.files.Put("C:\\N\\data\\allow.svr", "ad1.example\r\n\r\n\r\n");
  lists->Reload();
  Settle();
  ASSERT_EQ(fp.http.Waiting(), 1u);  // the new one only: the other is not a day old
  EXPECT_EQ(fp.http.WaitingUrl(), kOther);
  fp.http.Reply(Good(List("ad", 120) + List("more", 100)));
  Settle();
  EXPECT_EQ(lists->Names().names.Size(), 250u);
  EXPECT_TRUE(lists->Names().allow.Allows("ad1.example"));
  fp.files.Put("C:\\N\\data\\lists.svr", std::string(kOther) + "\r\n\r\n\r\n");
  lists->Reload();
  Settle();
  EXPECT_FALSE(HasCopy(kDefaultSubscription));
  EXPECT_EQ(lists->Names().names.Size(), 220u);
  fp.files.Put("C:\\N\\data\\lists.svr", "\r\n\r\n");
  lists->Reload();
  Settle();
  EXPECT_TRUE(lists->Names().names.Empty());
  EXPECT_EQ(fp.http.Waiting(), 0u);
}

TEST_F(BlockListsTest, OnlyEncryptedOrLoopbackAddressesAreFetched) {
  fp.files.Put("C:\\N\\data\\lists.svr",
               "http://lists.example/hosts\r\nftp://lists.example/hosts\r\nhttp://127.evil.example/x\r\n\r\n\r\n");
  auto lists = Started();
  EXPECT_EQ(fp.http.Waiting(), 0u);
  for (const Subscription& sub : lists->Subscriptions()) EXPECT_EQ(sub.state, "Only https:// addresses are fetched.");
  EXPECT_TRUE(MayFetch("https://lists.example/hosts"));
  EXPECT_TRUE(MayFetch("http://127.0.0.2:8080/hosts"));
  EXPECT_TRUE(MayFetch("HTTP://localhost/hosts"));
  EXPECT_FALSE(MayFetch("http://127.0.0.1@lists.example/hosts"));
}

TEST_F(BlockListsTest, EveryDayAFewMinutesLaterEverySubscriptionIsFetchedAgain) {
  auto lists = Started();
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  ASSERT_EQ(fp.timers.started.size(), 1u);
  EXPECT_GE(fp.timers.started[0], 24u * 3600 * 1000);
  EXPECT_LE(fp.timers.started[0], 24u * 3600 * 1000 + 30u * 60 * 1000);
  fp.timers.Advance(fp.timers.started[0]);
  EXPECT_EQ(fp.http.Waiting(), 1u);
  EXPECT_EQ(fp.timers.Pending(), 1u);
  lists->UpdateNow();  // already on its way: not asked twice
  EXPECT_EQ(fp.http.Waiting(), 1u);
}

TEST_F(BlockListsTest, AnAnswerForAProgramThatHasGoneIsDropped) {
  auto lists = Started();
  lists.reset();
  fp.http.Reply(Good(List("ad", 150)));
  Settle();
  EXPECT_FALSE(HasCopy(kDefaultSubscription));
  EXPECT_EQ(fp.timers.Pending(), 0u);
}

TEST(SubscriptionState, SurvivesARoundTripAndIgnoresWhatItCannotUse) {
  std::vector<Subscription> subs{{"https://a.example/l"}, {"https://b.example/l"}};
  subs[0].count = 170000;
  subs[0].lastGood = "2026-12-08 11:05:09";
  subs[0].etag = "W/\"x\ty\"";  // a tab would split the line's fields
  subs[0].lastModified = "Tue, 08 Dec 2026 10:00:00 GMT";
  subs[0].state = kStateUpToDate;
  subs[1].state = kStateFetching;
  const std::string bytes = FormatSubscriptionState(subs) + "garbage\r\nhttps://gone.example/l\t1\t\t\t\tup to date\r\n";
  std::vector<Subscription> read{{"https://a.example/l"}, {"https://b.example/l"}};
  ParseSubscriptionState(bytes, read);
  EXPECT_EQ(read[0].count, 170000u);
  EXPECT_EQ(read[0].lastGood, "2026-12-08 11:05:09");
  EXPECT_EQ(read[0].etag, "W/\"x y\"");
  EXPECT_EQ(read[0].lastModified, subs[0].lastModified);
  EXPECT_EQ(read[1].state, kStateWaiting) << "a fetch cut short by an exit is not on its way any more";
  EXPECT_EQ(MinutesOf("2026-13-01 00:00:00"), -1);
  EXPECT_EQ(MinutesOf("2026-12-09 11:05:09") - MinutesOf("2026-12-08 11:05:09"), 24 * 60);
  EXPECT_EQ(MinutesOf("2027-01-01 00:00:00") - MinutesOf("2026-12-31 23:59:00"), 1);
  EXPECT_NE(CopyFileName("https://a.example/l"), CopyFileName("https://b.example/l"));
}

}  // namespace
}  // namespace nv

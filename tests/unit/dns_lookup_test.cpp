// The "&DNS Caching" tab's Add: the lookup on `ws`, the entry it makes, the
// failure box, and which attempts may still report.
#include <gtest/gtest.h>

#include <memory>

#include "settings_dialog_rig.h"

namespace nv {
namespace {

using L = SettingsList;

struct DnsLookup : ::testing::Test, test::DialogRig {
  // Types name and presses Add; returns the attempt it started.
  SocketId Lookup(const std::string& name) {
    Type(L::lstdns, name);
    dialog.cmdAddDns_Click();
    return fp.net.LastAttempt();
  }
  const std::vector<std::string>& Entries() { return dialog.List(L::lstdns).Items(); }
};

// The entry pairs the address with the box's text when the connection is
// made; text that cannot stand in a HOSTS line gives way to the name looked up.
TEST_F(DnsLookup, TheEntryIsTheReachedAddressAndTheNameInTheBoxWhenConnected) {
  const struct {
    const char* shownThen;
    const char* entry;
  } cases[] = {{"  www.example.com  ", "93.184.216.34 www.example.com"},
               {" edited.example", "93.184.216.34 edited.example"},
               {"", "93.184.216.34 www.example.com"},
               {"two words", "93.184.216.34 www.example.com"},
               {"line\r\nbreak", "93.184.216.34 www.example.com"},
               {"#comment", "93.184.216.34 www.example.com"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shownThen);
    test::DialogRig t;
    t.Put("\\data\\dns.svr", "10.0.0.1 intranet\r\n");
    t.Open();
    t.Type(L::lstdns, "  www.example.com  ");
    t.dialog.cmdAddDns_Click();
    const SocketId id = t.fp.net.LastAttempt();
    ASSERT_NE(id, kNoSocket);
    EXPECT_EQ(t.fp.net.attempts[id].host, "www.example.com");
    EXPECT_EQ(t.fp.net.attempts[id].port, 80);
    EXPECT_LE(t.fp.net.attempts[id].limitMs, 0) << "a slow site is left to the system's time-outs";
    EXPECT_EQ(t.dialog.List(L::lstdns).Count(), 1) << "nothing before the outcome";
    t.Type(L::lstdns, c.shownThen);
    t.journal.clear();
    t.fp.net.CompleteConnect(id, "93.184.216.34");
    EXPECT_EQ(t.dialog.List(L::lstdns).Items(), (std::vector<std::string>{"10.0.0.1 intranet", c.entry}));
    EXPECT_EQ(t.view.Of(L::lstdns).selected, 1);
    EXPECT_EQ(t.view.Of(L::lstdns).entry, "");
    EXPECT_EQ(t.view.Of(L::lstdns).count, "2");
    EXPECT_EQ(t.journal, (std::vector<std::string>{"apply on", std::string("entry ") + c.entry, "entry "}));
    EXPECT_TRUE(t.fp.dialogs.shown.empty());
  }
}

TEST_F(DnsLookup, ASiteListedAtThatAddressIsOnlySelectedAndANewAddressAddsASecondEntry) {
  Put("\\data\\dns.svr", "10.0.0.1 intranet\r\n10.0.0.2 other\r\n");
  Open();
  fp.net.CompleteConnect(Lookup("intranet"), "10.0.0.1");
  EXPECT_EQ(Entries().size(), 2u);
  EXPECT_EQ(view.Of(L::lstdns).selected, 0);
  EXPECT_EQ(view.Of(L::lstdns).entry, "10.0.0.1 intranet") << "the click reaction shows the whole entry";
  EXPECT_EQ(view.Of(L::lstdns).count, "2");
  EXPECT_FALSE(view.applyEnabled);
  fp.net.CompleteConnect(Lookup("intranet"), "10.0.0.9");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"10.0.0.1 intranet", "10.0.0.2 other", "10.0.0.9 intranet"}));
  EXPECT_TRUE(view.applyEnabled);
}

// A backend that still reported a replaced attempt must not reach the dialog.
TEST_F(DnsLookup, OnlyTheNewestAttemptReports) {
  Open();
  const SocketId first = Lookup("first.example");
  const SocketId second = Lookup("second.example");
  EXPECT_FALSE(fp.net.attempts[first].open) << "Add closes the socket before connecting";
  ConnectSink& sink = *fp.net.attempts[first].sink;
  sink.OnConnected(first, "10.0.0.1");
  sink.OnConnectFailed(first, neterr::Error(neterr::kHostNotFound));
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(dialog.Entry(L::lstdns), "second.example");
  fp.net.CompleteConnect(second, "10.0.0.2");
  EXPECT_EQ(Entries(), std::vector<std::string>{"10.0.0.2 second.example"});
}

TEST_F(DnsLookup, EveryFailureShowsHostNotFoundThenClearsTheBox) {
  for (int number : {neterr::kHostNotFound, neterr::kNoData, neterr::kConnectionRefused, neterr::kTimedOut}) {
    SCOPED_TRACE(number);
    test::DialogRig t;
    t.Put("\\data\\dns.svr", "10.0.0.1 intranet\r\n");
    t.Open();
    t.Type(L::lstdns, "nothing.invalid");
    t.dialog.cmdAddDns_Click();
    std::string shownWhileOpen;
    t.fp.dialogs.whileOpen = [&] { shownWhileOpen = t.dialog.Entry(L::lstdns); };
    t.fp.net.FailConnect(t.fp.net.LastAttempt(), neterr::Error(number));
    ASSERT_EQ(t.fp.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.fp.dialogs.shown[0].text, "Host not found");
    EXPECT_EQ(t.fp.dialogs.shown[0].title, "Error");
    EXPECT_EQ(t.fp.dialogs.shown[0].style, kBoxOk | kBoxCritical | kBoxTaskModal);
    EXPECT_EQ(t.fp.dialogs.shown[0].owner, t.view.window);
    EXPECT_EQ(shownWhileOpen, "nothing.invalid") << "the box comes first";
    EXPECT_EQ(t.view.Of(L::lstdns).entry, "");
    EXPECT_EQ(t.dialog.List(L::lstdns).Count(), 1);
    EXPECT_FALSE(t.view.applyEnabled);
    EXPECT_TRUE(t.ErrLog().empty()) << "nothing is logged";
  }
}

TEST_F(DnsLookup, ABlankBoxStartsNothing) {
  Open();
  Type(L::lstdns, "   ");
  dialog.cmdAddDns_Click();
  EXPECT_TRUE(fp.net.attempts.empty());
}

// The socket goes with the dialog: at its unload, at its end, and while the
// failure box is open (the program's exit frees the dialog under the box).
TEST_F(DnsLookup, ALookupEndsWithTheDialog) {
  Open();
  const SocketId unloaded = Lookup("a.example");
  dialog.cmdcancel_Click();
  EXPECT_FALSE(fp.net.attempts[unloaded].open);

  auto doomed = std::make_unique<frmSettings>(services, startup, mainLink, view, confirmView);
  doomed->Form_Load();
  doomed->txt_Change(L::lstdns, "b.example");
  doomed->cmdAddDns_Click();
  const SocketId freed = fp.net.LastAttempt();
  doomed.reset();
  EXPECT_FALSE(fp.net.attempts[freed].open);

  doomed = std::make_unique<frmSettings>(services, startup, mainLink, view, confirmView);
  doomed->Form_Load();
  doomed->txt_Change(L::lstdns, "c.example");
  doomed->cmdAddDns_Click();
  fp.dialogs.whileOpen = [&] {
    doomed.reset();
    journal.clear();
  };
  fp.net.FailConnect(fp.net.LastAttempt(), neterr::Error(neterr::kHostNotFound));
  EXPECT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_TRUE(journal.empty()) << "a freed dialog shows nothing more";
}

}  // namespace
}  // namespace nv

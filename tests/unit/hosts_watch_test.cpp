// A HOSTS file replaced behind Norvane's back while ads are blocked: noticed
// by a cheap look every few seconds, written back once, given up when it is
// undone again within a minute.
#include <gtest/gtest.h>

#include <functional>

#include "adblock/hosts_watch.h"
#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";

// Stamps from the fake files' bytes, as size and write time would tell.
struct BytesProbe : FileProbe {
  explicit BytesProbe(test::FakeFiles& f) : files(f) {}
  FileStamp Stamp(const std::string& path) override {
    ++looks;
    if (!files.Has(path)) return {};
    const std::string bytes = files.Get(path);
    return {static_cast<std::int64_t>(bytes.size()), std::hash<std::string>()(bytes)};
  }
  FileHold Hold(const std::string&) override { return FileHold::Free; }
  test::FakeFiles& files;
  int looks = 0;
};

struct Watch : ::testing::Test {
  Watch() {
    fp.platform.fileProbe = &probe;
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n");
    fp.files.Put(kHosts, "# mine\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    hosts.TakeBackup();
    hosts.blockads(true);
    watch.Tick(true);  // blocking went on: the watch starts from here
  }
  // Ticks until ms have passed, a tick every 100 ms as the main timer's.
  void Run(std::uint64_t ms, bool blocking = true) {
    for (std::uint64_t end = fp.clock.tickMs + ms; fp.clock.tickMs < end;) {
      fp.clock.tickMs += 100;
      watch.Tick(blocking);
    }
  }
  void OtherProgramWrites(const std::string& bytes) { fp.files.Put(kHosts, bytes); }
  std::string Hosts() { return fp.files.Get(kHosts); }
  std::string AdsLog() { return fp.files.Get("C:\\N\\ads.log"); }

  test::FakePlatform fp;
  BytesProbe probe{fp.files};
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  HostsRedirect hosts{services, hostsPath};
  std::vector<std::string> told;
  int gaveUp = 0;
  HostsWatch watch{services, hosts, {[this](const std::string& t) { told.push_back(t); }, [this] { ++gaveUp; }}};
};

const char kBlocked[] = "127.0.0.1 ads.example\r\n\r\n\r\n";

TEST_F(Watch, AReplacedFileIsNoticedWithinSecondsWrittenBackOnceAndToldOnce) {
  const int looksBefore = probe.looks;
  Run(9050);
  EXPECT_EQ(probe.looks - looksBefore, 3) << "one look every three seconds";
  OtherProgramWrites("# Copyright (c) Microsoft Corp.\r\n10.0.0.5 fileserver\r\n");
  Run(3000);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(told, (std::vector<std::string>{HostsWatch::kWroteBack}));
  EXPECT_NE(AdsLog().find("HOSTS file replaced by another program; the block lines were written back on"),
            std::string::npos);
  Run(120000);
  EXPECT_EQ(told.size(), 1u) << "a file left alone since is told nothing more";
  hosts.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n# Copyright (c) Microsoft Corp.\r\n10.0.0.5 fileserver\r\n\r\n\r\n")
      << "the other program's lines count as the user's";
}

TEST_F(Watch, NorvanesOwnWritesAreNeverTakenForAnotherProgramsAndNothingIsWatchedWhileOff) {
  fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\nmore.example\r\n");
  hosts.blockads(true);  // Apply
  Run(10000);
  EXPECT_TRUE(told.empty());
  hosts.blockads(false);
  OtherProgramWrites("# edited while blocking was off\r\n");
  Run(10000, false);
  EXPECT_TRUE(told.empty());
  EXPECT_EQ(Hosts(), "# edited while blocking was off\r\n");
}

TEST_F(Watch, UndoneAgainWithinAMinuteStopsRewritingSaysSoAndSwitchesBlockingOff) {
  OtherProgramWrites("# reset\r\n");
  Run(3100);
  ASSERT_EQ(Hosts(), kBlocked);
  OtherProgramWrites("# reset\r\n");
  Run(30000);
  EXPECT_EQ(Hosts(), "# reset\r\n") << "not written back a second time";
  EXPECT_EQ(told, (std::vector<std::string>{HostsWatch::kWroteBack, HostsWatch::kGaveUp}));
  EXPECT_EQ(gaveUp, 1);
  EXPECT_NE(AdsLog().find("stopped rewriting it and switched ad blocking off"), std::string::npos);
}

TEST_F(Watch, AReplacementMoreThanAMinuteAfterTheLastIsWrittenBackAgain) {
  OtherProgramWrites("# reset\r\n");
  Run(3100);
  Run(61000);
  OtherProgramWrites("# reset\r\n");
  Run(3100);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(gaveUp, 0);
  EXPECT_EQ(told.size(), 2u);
}

TEST_F(Watch, AFileNorvaneCouldNotWriteIsNotWatched) {
  hosts.blockads(false);
  fp.files.SetAttributes(kHosts, kAttrReadOnly);
  EXPECT_THROW(hosts.blockads(true), AppError);
  OtherProgramWrites("# someone else\r\n");
  Run(10000);
  EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace nv

namespace nv {
namespace {

// The main window's tick carries the look; the balloon is the tray icon's,
// and giving up is the "Block &Ads" command itself.
TEST(WatchOnTheTick, TheBalloonComesFromTheTrayIconAndAFightUnticksBlockAds) {
  test::FakePlatform fp;
  test::FakeMainView view;
  frmMain frm{fp.platform, view};
  BytesProbe probe{fp.files};
  fp.platform.fileProbe = &probe;
  frm.HostsPath = kHosts;
  fp.files.Put("C:\\Program Files\\Norvane\\data\\hosts.svr", "ads.example\r\n");
  fp.files.Put(kHosts, "# mine\r\n");
  fp.settings.values["Data\\Restore"] = "True";
  frm.Hosts().TakeBackup();
  frm.mnublockads_Click();
  ASSERT_TRUE(frm.Checked(MenuItem::BlockAds));
  auto run = [&](int ticks) {
    for (int i = 0; i < ticks; ++i) {
      fp.clock.tickMs += kTickMs;
      frm.Timer_Timer();
    }
  };
  run(5);
  fp.files.Put(kHosts, "# reset\r\n");
  run(31);
  EXPECT_EQ(fp.files.Get(kHosts), kBlocked);
  EXPECT_EQ(fp.tray.balloons, (std::vector<std::string>{std::string("Norvane!: ") + HostsWatch::kWroteBack}));
  fp.files.Put(kHosts, "# reset\r\n");
  run(31);
  EXPECT_FALSE(frm.Checked(MenuItem::BlockAds));
  EXPECT_FALSE(view.checks[MenuItem::BlockAds]);
  EXPECT_EQ(fp.files.Get(kHosts), "# mine\r\n# reset\r\n\r\n\r\n");
  ASSERT_EQ(fp.tray.balloons.size(), 2u);
  EXPECT_EQ(fp.tray.balloons[1], std::string("Norvane!: ") + HostsWatch::kGaveUp);
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

}  // namespace
}  // namespace nv

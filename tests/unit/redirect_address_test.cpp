// Where blocked names point: the first start's choice, the HOSTS lines of
// each address, a switch (and an upgrade from "127.0.0.1 " lines) that keeps
// the user's lines, and the dialog's control.
#include <gtest/gtest.h>

#include "adblock/hosts_redirect.h"
#include "adblock/redirect_address.h"
#include "fakes/fake_platform.h"
#include "settings_dialog_rig.h"

namespace nv {
namespace {

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";
constexpr char kAppData[] = "C:\\Users\\ann\\AppData\\Roaming";
constexpr char kProfiles[] = "C:\\Users\\ann\\AppData\\Roaming\\Mozilla\\Firefox\\profiles.ini";

struct Redirect : ::testing::Test {
  Redirect() {
    fp.system.specialFolders[redirect::kCsidlAppData] = kAppData;
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n  b.example\r\n");
    fp.files.Put("C:\\N\\data\\dns.svr", "10.1.2.3 intranet\r\n127.0.0.1 dev.example\r\n");
    fp.files.Put(kHosts, "# mine\r\n127.0.0.1 localhost\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    fp.settings.values["Settings\\UseDNS"] = "1";
  }
  std::string Stored() { return fp.settings.Value("Settings", "RedirectAddress").value_or(""); }
  std::string Hosts() { return fp.files.Get(kHosts); }
  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  HostsRedirect hosts{services, hostsPath};
};

TEST_F(Redirect, FirstStartChoosesNowhereForAFirefoxUserAndTheStoredChoiceWinsAfter) {
  EXPECT_EQ(RedirectAddress(services), "127.0.0.1");
  EXPECT_EQ(Stored(), "127.0.0.1");
  fp.files.Put(kProfiles, "[Profile0]\r\n");
  EXPECT_EQ(RedirectAddress(services), "127.0.0.1") << "the stored choice wins";
  fp.settings.values.erase("Settings\\RedirectAddress");
  EXPECT_EQ(RedirectAddress(services), "0.0.0.0");
  EXPECT_EQ(Stored(), "0.0.0.0");
}

TEST_F(Redirect, AStoredTextThatIsNeitherAddressIsLoggedAndReplacedByTheChoice) {
  fp.settings.values["Settings\\RedirectAddress"] = "10.0.0.1";
  EXPECT_EQ(RedirectAddress(services), "127.0.0.1");
  EXPECT_EQ(Stored(), "127.0.0.1");
  EXPECT_NE(fp.files.Get("C:\\N\\err.log").find("\"10.0.0.1\", neither address"), std::string::npos);
  fp.system.specialFolders.erase(redirect::kCsidlAppData);  // no profile folder at all
  fp.settings.values.erase("Settings\\RedirectAddress");
  EXPECT_EQ(RedirectAddress(services), "127.0.0.1");
}

TEST_F(Redirect, EachAddressPrefixesTheBlockListWhileCachedEntriesKeepTheirOwn) {
  hosts.TakeBackup();
  fp.settings.values["Settings\\RedirectAddress"] = "0.0.0.0";
  hosts.blockads(true);
  EXPECT_EQ(Hosts(), "0.0.0.0 ads.example\r\n0.0.0.0   b.example\r\n\r\n\r\n"
                     "10.1.2.3 intranet\r\n127.0.0.1 dev.example\r\n\r\n\r\n");
  fp.settings.values["Settings\\RedirectAddress"] = "127.0.0.1";
  hosts.blockads(true);
  EXPECT_EQ(Hosts(), "127.0.0.1 ads.example\r\n127.0.0.1   b.example\r\n\r\n\r\n"
                     "10.1.2.3 intranet\r\n127.0.0.1 dev.example\r\n\r\n\r\n");
  hosts.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n");
}

// 2.0.x left "127.0.0.1 " lines, recorded, and a user line added since.
TEST_F(Redirect, AnUpgradeFromLoopbackLinesSwitchesCleanlyAndKeepsTheUsersLines) {
  hosts.TakeBackup();
  hosts.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  HostsRedirect upgraded{services, hostsPath};
  fp.settings.values["Settings\\RedirectAddress"] = "0.0.0.0";
  upgraded.TakeBackup();
  upgraded.blockads(true);
  EXPECT_EQ(Hosts(), "0.0.0.0 ads.example\r\n0.0.0.0   b.example\r\n\r\n\r\n"
                     "10.1.2.3 intranet\r\n127.0.0.1 dev.example\r\n\r\n\r\n");
  EXPECT_EQ(fp.files.Get("C:\\N\\data\\hosts.own"), Hosts()) << "the record is tightened to the new form";
  upgraded.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");
}

// Without a record, the lists stand in for it, in both forms.
TEST_F(Redirect, WithoutARecordBlockLinesOfEitherAddressAreNorvanes) {
  fp.settings.values["Data\\Restore"] = "False";
  fp.files.Put("C:\\N\\data\\hosts.bak", "# mine\r\n");
  fp.files.Put(kHosts, "127.0.0.1 ads.example\r\n0.0.0.0 b.example\r\n10.1.2.3 intranet\r\n# new\r\n");
  fp.settings.values["Settings\\RedirectAddress"] = "0.0.0.0";
  hosts.TakeBackup();
  hosts.blockads(true);
  hosts.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n# new\r\n\r\n\r\n");
}

using test::DialogRig;
struct RedirectControl : ::testing::Test, DialogRig {};

TEST_F(RedirectControl, ShowsTheStoredAddressAndTheColourMattersOnlyForLoopback) {
  stored.Set("Norvane", "Settings", "RedirectAddress", "0.0.0.0");
  Open();
  EXPECT_EQ(dialog.Redirect(), 1);
  EXPECT_EQ(view.redirect, 1);
  EXPECT_FALSE(view.coloursEnabled);
  EXPECT_FALSE(view.applyEnabled);
  dialog.cboredirect_Click(0);
  EXPECT_TRUE(view.coloursEnabled);
  EXPECT_TRUE(view.applyEnabled);
  dialog.cboredirect_Click(-1);  // a list with nothing chosen changes nothing
  EXPECT_EQ(dialog.Redirect(), 0);
}

TEST_F(RedirectControl, ApplyStoresTheChoiceBeforeTheHostsFileIsRebuilt) {
  Open();
  EXPECT_EQ(view.redirect, 0) << "no Firefox profile: the first start's choice is 127.0.0.1";
  dialog.cboredirect_Click(1);
  ASSERT_TRUE(dialog.cmdapply_Click());
  const auto set = std::find(journal.begin(), journal.end(), "set RedirectAddress=0.0.0.0");
  const auto rebuilt = std::find(journal.begin(), journal.end(), "reload");
  ASSERT_NE(set, journal.end());
  EXPECT_LT(set, rebuilt);
}

}  // namespace
}  // namespace nv

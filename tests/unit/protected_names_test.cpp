// Names Windows Defender protects: recognised with their subdomains, left
// out of every HOSTS write (with one ads.log line), refused by the dialog.
#include <gtest/gtest.h>

#include <string>

#include "adblock/hosts_redirect.h"
#include "adblock/protected_names.h"
#include "fakes/fake_platform.h"
#include "settings_dialog_rig.h"

namespace nv {
namespace {

TEST(ProtectedNames, NamesAndTheirSubdomainsInAnyCaseButNotLookAlikes) {
  for (const char* name : {"microsoft.com", "WWW.Microsoft.COM", "a.b.windowsupdate.com", "vsgallery.com",
                           "watson.live.com", "us-v10.events.data.microsoft.com", "wustat.windows.com.",
                           " telemetry.remoteapp.windowsazure.com "})
    EXPECT_TRUE(IsProtectedName(name)) << name;
  // Longer than any host name: judged all the same.
  EXPECT_TRUE(IsProtectedName(std::string(300, 'a') + ".Update.Microsoft.com"));
  EXPECT_FALSE(IsProtectedName(std::string(300, 'a') + ".example"));
  for (const char* name : {"", ".", "com", "notmicrosoft.com", "microsoft.com.ads.example", "live.com",
                           "mail.live.com", "windows.com", "microsoft.co", "ads.example"})
    EXPECT_FALSE(IsProtectedName(name)) << name;
}

TEST(ProtectedNames, ALineWithAnyProtectedNameIsProtectedAndItsAddressIsNoName) {
  EXPECT_TRUE(HoldsProtectedName("0.0.0.0 ads.example\twatson.microsoft.com"));
  EXPECT_TRUE(HoldsProtectedName("127.0.0.1   update.microsoft.com"));
  EXPECT_FALSE(HoldsProtectedName("127.0.0.1 ads.example"));
  EXPECT_FALSE(HoldsProtectedName("10.1.2.3 intranet"));
  ListBox list;
  for (const char* e : {"127.0.0.1 a.example", "127.0.0.1 microsoft.com", "127.0.0.1 b.example"}) list.Add(e);
  EXPECT_EQ(RemoveProtectedLines(list), 1);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"127.0.0.1 a.example", "127.0.0.1 b.example"}));
  EXPECT_TRUE(list.Contains("127.0.0.1 b.example"));
}

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";

struct ProtectedHosts : ::testing::Test {
  ProtectedHosts() {
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\nwww.microsoft.com\r\nDownload.WindowsUpdate.com\r\n");
    fp.files.Put("C:\\N\\data\\dns.svr", "10.1.2.3 intranet\r\n23.1.2.3 go.microsoft.com\r\n");
    fp.files.Put(kHosts, "# mine\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    redirect.TakeBackup();
  }
  std::string AdsLog() { return fp.files.Get("C:\\N\\ads.log"); }
  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  HostsRedirect redirect{services, hostsPath};
};

TEST_F(ProtectedHosts, EveryWriteLeavesThemOutOfBlockListAndCacheAndSaysHowManyOnce) {
  fp.settings.values["Settings\\UseDNS"] = "1";
  redirect.blockads(true);
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n10.1.2.3 intranet\r\n\r\n\r\n");
  EXPECT_NE(AdsLog().find("HOSTS written without 3 names that Windows Defender protects"), std::string::npos)
      << AdsLog();
  redirect.blockads(true);  // Apply again: one more line, the record still matches
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n10.1.2.3 intranet\r\n\r\n\r\n");
  size_t lines = 0;
  for (size_t at = 0; (at = AdsLog().find("HOSTS written without", at)) != std::string::npos; ++at) ++lines;
  EXPECT_EQ(lines, 2u);
}

TEST_F(ProtectedHosts, NoLineWhenNothingWasLeftOutOrBlockingGoesOff) {
  fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n");
  redirect.blockads(true);
  redirect.blockads(false);
  EXPECT_EQ(AdsLog().find("without"), std::string::npos) << AdsLog();
}

using test::DialogRig;
struct ProtectedAdd : ::testing::Test, DialogRig {};

TEST_F(ProtectedAdd, AddRefusesAProtectedNameWithABoxThatSaysWhyAndKeepsTheEntry) {
  Open();
  Type(SettingsList::lstadservers, "  Watson.Microsoft.com ");
  dialog.cmdAdd_Click(SettingsList::lstadservers);
  EXPECT_EQ(dialog.List(SettingsList::lstadservers).Count(), 0);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_NE(fp.dialogs.shown[0].text.find("Watson.Microsoft.com cannot be blocked: Windows Defender"),
            std::string::npos);
  EXPECT_NE(fp.dialogs.shown[0].text.find("resets the whole file"), std::string::npos);
  EXPECT_FALSE(view.applyEnabled);
  EXPECT_EQ(dialog.Entry(SettingsList::lstadservers), "  Watson.Microsoft.com ");
  // Other lists take such a name: it never reaches the HOSTS file from them.
  Type(SettingsList::lstpopups, "microsoft.com");
  dialog.cmdAdd_Click(SettingsList::lstpopups);
  EXPECT_EQ(dialog.List(SettingsList::lstpopups).Count(), 1);
  Type(SettingsList::lstadservers, "ads.microsoft.com.example");
  dialog.cmdAdd_Click(SettingsList::lstadservers);
  EXPECT_EQ(dialog.List(SettingsList::lstadservers).Count(), 1);
  EXPECT_EQ(fp.dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace nv

// The settings dialog's core over real files: opening it with 32,767 and
// with 200,000 blocked ad servers (in file order as shipped, and sorted as
// an Apply leaves them), then one Add and one Remove in the 200,000 list.
// Reference: a plain LoadListFile of the same file in the same run. Opening
// includes the first read of the list, which places its entries.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_util.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_settings_view.h"
#include "platform/posix/posix_files.h"
#include "settings/frm_settings.h"

using namespace nv;

namespace {

const std::string kDir = "/tmp/norvane-bench-settings";

std::string HostList(int n, bool sorted) {
  std::string bytes;
  for (int i = 0; i < n; ++i) {
    const int k = sorted ? i : i * 7919 % n;
    char name[64];
    std::snprintf(name, sizeof name, "ads%07d.tracker%d.example\r\n", k, k % 977);
    bytes += name;
  }
  return bytes;
}

void Write(const std::string& rel, const std::string& bytes) { std::ofstream(kDir + rel, std::ios::binary) << bytes; }

// One dialog over real files, the fakes elsewhere.
struct Rig {
  Rig() {
    fp.platform.files = &files;
    fp.system.programFolder = kDir;
  }
  test::FakePlatform fp;
  PosixFiles files;
  std::vector<std::string> journal;
  Store store{files, kDir};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  test::FakeSettingsView view{journal};
  test::FakeConfirmView confirm{journal};
  test::FakeStartup startup{journal};
  test::FakeMainLink link{journal};
  std::unique_ptr<frmSettings> Open() {
    journal.clear();
    auto d = std::make_unique<frmSettings>(services, startup, link, view, confirm);
    d->Form_Load();
    (void)d->List(SettingsList::lstadservers)[0];  // the first row the window draws
    return d;
  }
};

}  // namespace

int main() {
  std::system(("rm -rf " + kDir + " && mkdir -p " + kDir + "/data").c_str());
  for (const char* rel : {"/data/cookies.svr", "/data/dns.svr", "/data/popups.svr"}) Write(rel, "one.example\r\n");
  Rig rig;
  std::printf("%-22s %12s %12s %8s\n", "ad servers", "open ms", "load ms", "ratio");
  for (int n : {32767, 200000}) {
    for (bool sorted : {false, true}) {
      Write("/data/hosts.svr", HostList(n, sorted));
      ListBox plain;
      const double load = bench::BestMs(5, [&] { rig.store.LoadListFile(plain, kDir + "/data/hosts.svr"); });
      const double open = bench::BestMs(5, [&] { rig.Open(); });
      std::printf("%-8d %-13s %12.2f %12.2f %8.2f\n", n, sorted ? "(sorted)" : "(file order)", open, load,
                  open / load);
    }
  }
  // One Add and one Remove in the 200,000 list, each on its own.
  Write("/data/hosts.svr", HostList(200000, false));
  ListBox plain;
  const double load = bench::BestMs(5, [&] { rig.store.LoadListFile(plain, kDir + "/data/hosts.svr"); });
  auto dialog = rig.Open();
  int added = 0;
  const double add = bench::BestMs(20, [&] {
    char name[32];  // sorts between two present names, anywhere in the list
    std::snprintf(name, sizeof name, "ads%07dm.example", added++ * 10007 % 200000);
    dialog->txt_Change(SettingsList::lstadservers, name);
    dialog->cmdAdd_Click(SettingsList::lstadservers);
  });
  int removed = 0;
  const double remove = bench::BestMs(20, [&] {
    dialog->lst_Click(SettingsList::lstadservers, removed++ * 9973 % 150000);
    dialog->cmdRemove_Click(SettingsList::lstadservers);
  });
  std::printf("200000 one Add    %9.3f ms (%.4f of a load)\n", add, add / load);
  std::printf("200000 one Remove %9.3f ms (%.4f of a load)\n", remove, remove / load);
  std::system(("rm -rf " + kDir).c_str());
  return 0;
}

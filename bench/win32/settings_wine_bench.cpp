// The settings dialog's core under Wine with the Win32 side of the seam
// (CompareStringA and its sort keys for the ad-server order): opening with
// 32,767 and 200,000 ad servers, one Add and one Remove, against a plain
// LoadListFile of the same file in the same run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/win32/win32_platform.h"
#include "settings/frm_settings.h"

using namespace nv;

namespace {

const std::string kDir = "C:\\nvbench";

struct NullView : SettingsView, ConfirmView, StartupRegistration, MainWindowLink {
  void CopyMainIcon() override {}
  void FillColours(const char* const*, int) override {}
  void ShowColour(int) override {}
  void ShowCheck(SettingsCheck, bool) override {}
  void ShowEntry(SettingsList, const std::string&) override {}
  void ShowCount(SettingsList, const std::string&) override {}
  void ShowList(SettingsList, int, int) override {}
  void SetListEnabled(SettingsList, bool) override {}
  void SetAddEnabled(SettingsList, bool) override {}
  void SetApplyEnabled(bool) override {}
  void Unload() override {}
  WindowHandle BoxOwner() override { return 0; }
  void Open(const std::string&) override {}
  void BringForward() override {}
  void Close() override {}
  bool Registered() override { return false; }
  void Update(bool) override {}
  void Reload() override {}
};

double BestMs(int runs, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

void WriteHosts(int n, bool sorted) {
  std::ofstream out(kDir + "\\data\\hosts.svr", std::ios::binary);
  char name[64];
  for (int i = 0; i < n; ++i) {
    const int k = sorted ? i : i * 7919 % n;
    std::snprintf(name, sizeof name, "ads%07d.tracker%d.example\r\n", k, k % 977);
    out << name;
  }
}

}  // namespace

int main() {
  CreateDirectoryA(kDir.c_str(), nullptr);
  CreateDirectoryA((kDir + "\\data").c_str(), nullptr);
  for (const char* rel : {"\\data\\cookies.svr", "\\data\\dns.svr", "\\data\\popups.svr"})
    std::ofstream(kDir + rel, std::ios::binary) << "one.example\r\n";
  static Win32Platform platform;
  Store store(platform.files, kDir);
  Settings settings(platform.settings);
  Counters counters;
  Services services{platform.platform, store, settings, counters};
  NullView view;
  auto open = [&] {
    auto d = std::make_unique<frmSettings>(services, view, view, view, view);
    d->Form_Load();
    (void)d->List(SettingsList::lstadservers)[0];  // the first row the window draws
    return d;
  };
  std::printf("%-22s %12s %12s %8s\n", "ad servers", "open ms", "load ms", "ratio");
  for (int n : {32767, 200000})
    for (bool sorted : {false, true}) {
      WriteHosts(n, sorted);
      ListBox plain;
      const double load = BestMs(3, [&] { store.LoadListFile(plain, kDir + "\\data\\hosts.svr"); });
      const double opened = BestMs(3, [&] { open(); });
      std::printf("%-8d %-13s %12.1f %12.1f %8.2f\n", n, sorted ? "(sorted)" : "(file order)", opened, load,
                  opened / load);
    }
  auto dialog = open();
  int added = 0, removed = 0;
  const double add = BestMs(20, [&] {
    char name[32];
    std::snprintf(name, sizeof name, "ads%07dm.example", added++ * 10007 % 200000);
    dialog->txt_Change(SettingsList::lstadservers, name);
    dialog->cmdAdd_Click(SettingsList::lstadservers);
  });
  const double remove = BestMs(20, [&] {
    dialog->lst_Click(SettingsList::lstadservers, removed++ * 9973 % 150000);
    dialog->cmdRemove_Click(SettingsList::lstadservers);
  });
  std::printf("200000 one Add    %8.3f ms\n200000 one Remove %8.3f ms\n", add, remove);
  return 0;
}

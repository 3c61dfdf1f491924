// blockads with True for 32,767 block-list names and 1,000 cached entries, and
// with False for a 1,000-line backup, over real files; each against a plain
// copy of the same bytes in the same run.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "adblock/hosts_redirect.h"
#include "bench/bench_util.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_files.h"

using namespace nv;

static void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int main() {
  const std::string dir = "/tmp/norvane-bench-hosts";
  std::system(("rm -rf " + dir + " && mkdir -p " + dir + "/data").c_str());
  std::string names, dns, backup;
  for (int i = 0; i < 32767; ++i) names += "ad" + std::to_string(i) + ".banners" + std::to_string(i % 97) + ".example\r\n";
  for (int i = 0; i < 1000; ++i) dns += "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " site" + std::to_string(i) + ".example\r\n";
  for (int i = 0; i < 1000; ++i) backup += "192.168." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " host" + std::to_string(i) + ".lan\r\n";
  Write(dir + "/data/hosts.svr", names);
  Write(dir + "/data/dns.svr", dns);
  Write(dir + "/data/hosts.bak", backup);
  Write(dir + "/hosts", backup);

  test::FakePlatform fake;  // settings and dialogs; the files are real
  PosixFiles files;
  fake.platform.files = &files;
  fake.settings.values["Settings\\UseDNS"] = "1";
  fake.settings.values["Data\\Restore"] = "False";
  Store store(files, dir);
  Settings settings(fake.settings);
  Counters counters;
  Services services{fake.platform, store, settings, counters};
  std::string hostsPath = dir + "/hosts";
  HostsRedirect redirect(services, hostsPath);
  redirect.TakeBackup();

  redirect.blockads(true);
  const std::string blocked = files.ReadAll(hostsPath);
  double on = bench::BestMs(7, [&] { redirect.blockads(true); });
  double onCopy = bench::BestMs(7, [&] { files.WriteAtomic(dir + "/copy", files.ReadAll(dir + "/data/hosts.svr") + files.ReadAll(dir + "/data/dns.svr")); });
  // Switching on after an off costs less than a repeated on (the file holds
  // the user's lines), so the off is timed alone.
  double off = 1e300;
  for (int i = 0; i < 7; ++i) {
    redirect.blockads(true);
    off = std::min(off, bench::BestMs(1, [&] { redirect.blockads(false); }));
  }
  double offCopy = bench::BestMs(7, [&] { files.WriteAtomic(dir + "/copy", files.ReadAll(dir + "/data/hosts.bak")); });
  std::printf("%-44s %10s %12s %8s\n", "case", "ms", "plain copy", "ratio");
  std::printf("%-44s %10.2f %12.2f %8.1f\n", "blockads(True): 32767 names + 1000 cached", on, onCopy, on / onCopy);
  std::printf("%-44s %10.2f %12.2f %8.1f\n", "blockads(False): 1000-line backup", off, offCopy, off / offCopy);
  std::printf("HOSTS with blocking on: %zu bytes; dialogs shown: %zu\n", blocked.size(), fake.dialogs.shown.size());
  std::system(("rm -rf " + dir).c_str());
  return 0;
}

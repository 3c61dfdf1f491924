// Subscribed block lists: parsing a 5 MB hosts-format list, holding 500,000
// names, and blockads(True) with 170,000 subscribed names beside 32,767 own
// ones over real files; each against a plain read or write of the same bytes
// in the same run.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "adblock/hosts_redirect.h"
#include "adblock/lists/hosts_lines.h"
#include "adblock/lists/list_parser.h"
#include "bench/bench_util.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_files.h"

using namespace nv;

namespace {

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A published list's shape: a header, then "0.0.0.0 name" lines in no order.
std::string PublishedList(int names, const char* stem) {
  std::string body = "# Title: bench list\n# Updated: today\n127.0.0.1 localhost\n::1 localhost\n\n";
  unsigned x = 12345;
  for (int i = 0; i < names; ++i) {
    x = x * 1103515245u + 12345u;
    body += "0.0.0.0 " + std::string(stem) + std::to_string(x % 1000000) + "-" + std::to_string(i) + ".tracker" +
            std::to_string(i % 211) + ".example.com\n";
  }
  return body;
}

}  // namespace

int main() {
  const std::string dir = "/tmp/norvane-bench-lists";
  std::system(("rm -rf " + dir + " && mkdir -p " + dir + "/data").c_str());
  PosixFiles files;

  // Parsing, against reading the same file.
  std::string five = PublishedList(125000, "ads");
  while (five.size() < 5u * 1024 * 1024) five += "0.0.0.0 pad" + std::to_string(five.size()) + ".example.org\n";
  Write(dir + "/five.txt", five);
  size_t parsedNames = 0;
  const double read = bench::BestMs(7, [&] { parsedNames = files.ReadAll(dir + "/five.txt").size(); });
  // Reading from the page cache is a copy at memory speed; a list's every line
  // into a string is the least a line-by-line reader does.
  const double getlines = bench::BestMs(7, [&] {
    std::ifstream in(dir + "/five.txt", std::ios::binary);
    size_t n = 0;
    for (std::string line; std::getline(in, line);) n += !line.empty();
    parsedNames = n;
  });
  const double parse = bench::BestMs(5, [&] { parsedNames = ParseBlockList(files.ReadAll(dir + "/five.txt")).names.Size(); });

  // Memory of half a million names.
  const NameSet half = ParseBlockList(PublishedList(500000, "m")).names;

  // blockads(True): 32,767 own names, 170,000 subscribed, against a plain write.
  std::string own;
  for (int i = 0; i < 32767; ++i) own += "ad" + std::to_string(i) + ".banners" + std::to_string(i % 97) + ".example\r\n";
  Write(dir + "/data/hosts.svr", own);
  Write(dir + "/data/dns.svr", "");
  Write(dir + "/data/hosts.bak", "# user\r\n\r\n\r\n");
  Write(dir + "/hosts", "# user\r\n");
  test::FakePlatform fake;
  fake.platform.files = &files;
  fake.settings.values["Data\\Restore"] = "False";
  Store store(files, dir);
  Settings settings(fake.settings);
  Counters counters;
  Services services{fake.platform, store, settings, counters};
  std::string hostsPath = dir + "/hosts";
  SubscribedNames subscribed;
  subscribed.names = ParseBlockList(PublishedList(170000, "s")).names;
  HostsRedirect redirect(services, hostsPath);
  redirect.SetSubscribed(&subscribed);
  redirect.TakeBackup();
  redirect.blockads(true);
  const std::string blocked = files.ReadAll(hostsPath);
  const double on = bench::BestMs(7, [&] { redirect.blockads(true); });
  const double plain = bench::BestMs(7, [&] {
    files.ReadAll(dir + "/data/hosts.svr");
    files.WriteAtomic(dir + "/copy.own", blocked);  // the record
    files.WriteAtomic(dir + "/copy", blocked);      // the HOSTS file
  });
  const double merge = bench::BestMs(7, [&] {
    ListBox lines;
    store.LoadListFile(lines, dir + "/data/hosts.svr", "127.0.0.1 ");
    SubscribedHostsLines(lines.Items(), subscribed);
  });

  std::printf("%-52s %10s %12s %8s\n", "case", "ms", "reference", "ratio");
  std::printf("%-52s %10.2f %12.2f %8.1f\n", "parse a 5 MB hosts list (vs reading it)", parse, read, parse / read);
  std::printf("%-52s %10.2f %12.2f %8.1f\n", "parse a 5 MB hosts list (vs getline of its lines)", parse, getlines,
              parse / getlines);
  std::printf("%-52s %10.2f %12.2f %8.1f\n", "blockads(True): 32767 own + 170000 subscribed", on, plain, on / plain);
  std::printf("%-52s %10.2f\n", "  of which: own list read + merge + lines", merge);
  std::printf("5 MB list: %zu names; HOSTS %zu bytes; 500000 names held in %.1f MB\n", parsedNames, blocked.size(),
              half.Footprint() / 1048576.0);
  std::system(("rm -rf " + dir).c_str());
  return 0;
}

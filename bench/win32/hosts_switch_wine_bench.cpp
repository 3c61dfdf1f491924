// Switching ad blocking off and on with 200,000 subscribed names, under Wine:
// the HOSTS rewrite runs on the UI thread, which also serves the ads. Prints
// the slowest ad reply while the switches run against the slowest while
// nothing is switched, and how long a switch took to reach the HOSTS file.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "harness/harness.h"
#include "harness/test_http_server.h"
#include "wine_bench_util.h"

using namespace e2e;

namespace {

constexpr int kNames = 200000, kSwitches = 6, kBlockAdsItem = 7;
const char kListPath[] = "/lists/big.txt";
const char kLastName[] = "n199999.bench.example";

std::string BigList() {
  std::string body = "# a published list\n";
  body.reserve(static_cast<size_t>(kNames) * 32);
  for (int i = 0; i < kNames; ++i) body.append("0.0.0.0 n").append(std::to_string(i)).append(".bench.example\n");
  return body;
}

bool HostsBlocks() { return ReadFile(HostsPath()).find(kLastName) != std::string::npos; }

}  // namespace

int main() {
  StartWithSwitches(true, false, false);
  WriteFile(HostsPath(), "# user\r\n127.0.0.1 localhost\r\n");
  const std::string folder = InstallFresh("hosts_switch_bench");
  TestHttpServer server;
  server.Serve(kListPath, {200, BigList(), 0, ""});
  WriteFile(folder + "\\data\\lists.svr", server.Url() + kListPath + "\r\n\r\n\r\n");

  Norvane app(folder);
  if (!app.Start() || !app.WaitRunning()) return std::fprintf(stderr, "norvane did not start\n"), 1;
  if (!WaitUntil(HostsBlocks, 120000)) return std::fprintf(stderr, "the list never reached HOSTS\n"), 1;
  Sleep(4000);  // the splash goes
  std::printf("HOSTS switches under Wine: %d subscribed names, %u bytes of HOSTS\n", kNames,
              static_cast<unsigned>(ReadFile(HostsPath()).size()));

  double quiet = 0;
  int quietN = 0;
  for (const double end = Now() + 3000; Now() < end; ++quietN) quiet = std::max(quiet, AdRequest());

  std::atomic<bool> done{false};
  double slowestSwitch = 0;
  bool switched = true;
  std::thread switcher([&] {
    for (int i = 0; i < kSwitches && switched; ++i) {
      const bool wantOn = i % 2 == 1;
      const double t0 = Now();
      switched = app.PickMenuItem(kBlockAdsItem) && WaitUntil([&] { return HostsBlocks() == wantOn; }, 30000);
      slowestSwitch = std::max(slowestSwitch, Now() - t0);
    }
    done = true;
  });
  double busy = 0;
  int busyN = 0, failed = 0;
  for (; !done; ++busyN) {
    const double ms = AdRequest();
    failed += ms < 0;
    busy = std::max(busy, ms);
  }
  switcher.join();
  if (!switched) return std::fprintf(stderr, "a switch did not reach HOSTS\n"), 1;
  std::printf("  slowest ad reply, nothing switched      %8.2f ms (%d replies)\n", quiet, quietN);
  std::printf("  slowest ad reply, %d switches off/on     %8.2f ms (%d replies, %d failed); the slowest switch "
              "reached HOSTS in %.0f ms\n", kSwitches, busy, busyN, failed, slowestSwitch);
  app.Close();
  app.WaitExit();
  return 0;
}

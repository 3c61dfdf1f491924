// A seeded random walk through starts, menu switches, kills (also during
// start-up and during a rewrite), clean exits, log-offs, starts with port 80
// taken, edits of the block list and the address cache between them, another
// program that re-writes the HOSTS file in its own way (re-padded fields, LF
// line ends, a byte order mark, a line of its own), and a Restore value lost
// after a kill. The user's HOSTS lines and the other program's line must
// survive all of it, no line of the lists may become one of the user's, and
// no observer may ever see an empty or partly written HOSTS file.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "harness/harness.h"
#include "harness/other_program.h"

using namespace e2e;

namespace {

constexpr int kBlockAds = 7, kSteps = 60;
const char kOtherLine[] = "10.20.30.40 other-program.lan";
const char kUserHosts[] =
    "# Copyright (c) the user\r\n#\tcomment with a tab\r\n127.0.0.1       localhost\r\n"
    "::1             localhost ip6-localhost ip6-loopback\r\n10.0.0.7\tnas.lan   \r\n"
    "192.168.0.1 router.lan \t \r\n";

// Reads the HOSTS file every millisecond or so, as a reader that shares it
// politely would, and keeps what it should never see.
std::string ReadShared(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
  std::string out(1 << 16, '\0');
  DWORD got = 0, n = 0;
  while (ReadFile(h, out.data() + got, static_cast<DWORD>(out.size() - got), &n, nullptr) && n > 0) got += n;
  CloseHandle(h);
  out.resize(got);
  return out;
}

// Files are compared as a resolver reads them, so that the other program's
// rewrites of an allowed file are allowed too, with or without its line.
class Watcher {
 public:
  Watcher() {
    Allow(kUserHosts);
    thread_ = std::thread([this] {
      while (!stop_) {
        std::string now = ReadShared(HostsPath());
        ++reads_;
        Sleep(1);
        std::vector<std::string> keys = HostsKeys(now);
        std::lock_guard<std::mutex> lock(mutex_);
        if (!allowed_.count(keys) && !(!keys.empty() && keys.back() == HostsKeys(kOtherLine)[0] &&
                                       allowed_.count({keys.begin(), keys.end() - 1})) &&
            bad_.size() < 5)
          bad_.push_back(now);
      }
    });
  }
  ~Watcher() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  void Allow(const std::string& content) {
    std::lock_guard<std::mutex> lock(mutex_);
    allowed_.insert(HostsKeys(content));
  }
  std::vector<std::string> bad_;
  long reads_ = 0;

 private:
  std::mutex mutex_;
  std::set<std::vector<std::string>> allowed_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

std::vector<std::string> ListLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = std::min(bytes.find("\r\n", start), bytes.size());
    if (end > start) lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string ListForm(const std::vector<std::string>& lines, const std::string& prefix = "") {
  std::string out;
  for (const std::string& line : lines) out += prefix + line + "\r\n";
  return out + "\r\n\r\n";
}

// The block list and the address cache as the user edits them between
// switches. With UseDNS "1" a blocking HOSTS file is the block list, then the
// cache; since a rewrite may still read the lists while the next edit lands,
// every pairing of a block list and a cache seen so far is allowed.
class Lists {
 public:
  Lists(const std::string& folder, Watcher& watcher)
      : hostsPath_(folder + "\\data\\hosts.svr"), dnsPath_(folder + "\\data\\dns.svr"), watcher_(watcher),
        names_(ListLines(ReadFile(hostsPath_))), cache_(ListLines(ReadFile(dnsPath_))) {
    Allow(&blockForms_, ListForm(names_, "127.0.0.1 "));
    Allow(&cacheForms_, ListForm(cache_));
  }

  // Adds or removes one line of one of the two lists.
  void Edit(std::mt19937& rng) {
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    const bool blockList = pick(2) == 0;
    std::vector<std::string>& lines = blockList ? names_ : cache_;
    if (!lines.empty() && pick(2) == 0) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size())));
      ++removed_;
    } else {
      const std::string n = std::to_string(++serial_);
      lines.push_back(blockList ? "walk" + n + ".ads.example"
                                : "10.9.0." + std::to_string(serial_ % 250) + " walk" + n + ".lan");
      ++added_;
    }
    if (blockList) {
      Allow(&blockForms_, ListForm(names_, "127.0.0.1 "));
      ReplaceFile(hostsPath_, ListForm(names_));
    } else {
      Allow(&cacheForms_, ListForm(cache_));
      ReplaceFile(dnsPath_, ListForm(cache_));
    }
  }
  int added_ = 0, removed_ = 0;

 private:
  void Allow(std::vector<std::string>* forms, const std::string& form) {
    forms->push_back(form);
    for (const std::string& block : blockForms_)
      for (const std::string& cache : cacheForms_) watcher_.Allow(block + cache);
  }

  std::string hostsPath_, dnsPath_;
  Watcher& watcher_;
  std::vector<std::string> names_, cache_, blockForms_, cacheForms_;
  int serial_ = 0;
};

// Another web server on 127.0.0.1:80 while it lives.
class PortTaker {
 public:
  PortTaker() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(80);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bound_ = bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(s_, 5) == 0;
  }
  ~PortTaker() { closesocket(s_); }
  bool bound_ = false;

 private:
  SOCKET s_;
};

class Walk {
 public:
  Walk(std::string folder, unsigned seed, Lists& lists) : folder_(std::move(folder)), rng_(seed), lists_(lists) {}

  void Step() {
    if (Pick(3) == 0) lists_.Edit(rng_);
    // The first time while Norvane runs (and blocks, as it starts to), then
    // now and then whatever the state.
    if (app_ && app_->Running() && (rewrites_ == 0 || Pick(5) == 0)) {
      RewriteAsAnotherProgram(HostsPath(), kOtherLine, rng_);
      ++rewrites_;
    }
    if (!app_ || !app_->Running()) {
      app_.reset();
      switch (Pick(4)) {
        case 0: StartAndKillDuringStartUp(); break;
        case 1: StartWithPortTaken(); break;
        default: Start(); break;
      }
      return;
    }
    switch (Pick(8)) {
      case 0: case 1: case 2: Toggle(); break;
      case 3: ToggleAndKillDuringRewrite(); break;
      case 4: Kill(Pick(300)); break;
      case 5: Exit(false); break;
      case 6: Exit(true); break;
      default: Toggle(); break;
    }
  }

  void Finish() {
    if (app_ && app_->Running()) Exit(false);
    app_.reset();
    Start();
    Exit(false);
  }

  int kills_ = 0, rewrites_ = 0;
  std::vector<std::string> problems_;

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  void Start() {
    app_ = std::make_unique<Norvane>(folder_);
    if (!app_->Start() || !app_->WaitRunning()) problems_.push_back("start did not finish");
    CheckNoErrorBox("after start");
  }
  void StartAndKillDuringStartUp() {
    app_ = std::make_unique<Norvane>(folder_);
    app_->Start();
    Kill(Pick(250));
  }
  // The program must refuse to run, say why, and leave through its exit sequence.
  void StartWithPortTaken() {
    PortTaker taker;
    app_ = std::make_unique<Norvane>(folder_);
    app_->Start();
    auto box = WaitBox("Error", 8000);
    if (box) {
      if (box->text.find("already running on port 80") == std::string::npos)
        problems_.push_back("unexpected box: " + box->text);
      DismissBox(*box);
      if (!app_->WaitExit()) problems_.push_back("no exit after the port-80 message");
    } else if (app_->Running()) {
      Exit(false);  // a build without the web server simply runs
    }
  }
  // The other program must not read the file before the rewrite has landed.
  void Toggle() {
    const std::string before = ReadFile(HostsPath());
    if (!app_->PickMenuItem(kBlockAds)) problems_.push_back("menu did not open");
    WaitUntil([&] { return ReadFile(HostsPath()) != before; }, 3000);
    CheckNoErrorBox("after toggle");
  }
  void ToggleAndKillDuringRewrite() {
    HWND menu = app_->OpenTrayMenu();
    if (!menu) return;
    for (int i = 0; i < kBlockAds; ++i) PostKeys(menu, {VK_DOWN});
    PostKeys(menu, {VK_RETURN});
    Kill(Pick(20));
  }
  // After the first kill the per-user Restore value is lost, as a settings
  // key that was never flushed or another account's start would have it.
  void Kill(int afterMs) {
    Sleep(static_cast<DWORD>(afterMs));
    app_->Kill();
    if (kills_++ == 0) RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Norvane\\Data", "Restore");
  }
  void Exit(bool logOff) {
    if (logOff) app_->EndSession();
    else app_->Close();
    if (!app_->WaitExit()) problems_.push_back(logOff ? "log-off did not end it" : "exit did not end it");
    CheckNoErrorBox("after exit");
  }
  void CheckNoErrorBox(const char* when) {
    for (const char* title : {"Error", "Norvane!"}) {
      if (auto box = FindBox(title)) {
        problems_.push_back(std::string(when) + ": " + box->text);
        DismissBox(*box);
      }
    }
  }

  std::string folder_;
  std::mt19937 rng_;
  Lists& lists_;
  std::unique_ptr<Norvane> app_;
};

TEST(HostsReliability, UserLinesSurviveEveryStartSwitchKillAndExit) {
  char env[32] = {};
  unsigned seed = GetEnvironmentVariableA("NV_SEED", env, sizeof env)
                      ? static_cast<unsigned>(strtoul(env, nullptr, 10))
                      : static_cast<unsigned>(GetTickCount64() % 1000000);
  ClearSettings();
  SetSetting("Settings", "UseDNS", "1");
  WriteFile(HostsPath(), kUserHosts);
  const std::string folder = InstallFresh("reliability");
  Watcher watcher;
  Lists lists(folder, watcher);
  Walk walk(folder, seed, lists);
  const int steps = GetEnvironmentVariableA("NV_STEPS", env, sizeof env) ? atoi(env) : kSteps;
  for (int i = 0; i < steps; ++i) walk.Step();
  walk.Finish();
  watcher.Stop();

  std::printf("seed %u: %d steps, %d kill points survived, %d list lines added and %d removed, "
              "%d rewrites by another program, %ld observations of the HOSTS file\n",
              seed, steps, walk.kills_, lists.added_, lists.removed_, walk.rewrites_, watcher.reads_);
  std::vector<std::string> expected = HostsKeys(kUserHosts);
  if (walk.rewrites_) expected.push_back(kOtherLine);
  EXPECT_EQ(HostsKeys(ReadFile(HostsPath())), expected) << "seed " << seed << ": " << ReadFile(HostsPath());
  for (const std::string& b : watcher.bad_) ADD_FAILURE() << "seed " << seed << ": observed HOSTS [" << b << "]";
  for (const std::string& p : walk.problems_) ADD_FAILURE() << "seed " << seed << ": " << p;
}

}  // namespace

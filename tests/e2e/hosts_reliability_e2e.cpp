// A seeded random walk through starts, menu switches, kills (also during
// start-up and during a rewrite), clean exits, log-offs and starts with port 80
// taken. The user's HOSTS lines must survive all of it, and no observer may
// ever see an empty or partly written HOSTS file.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <set>
#include <thread>

#include "harness/harness.h"

using namespace e2e;

namespace {

constexpr int kBlockAds = 7, kSteps = 60;
const char kUserHosts[] =
    "# Copyright (c) the user\r\n#\tcomment with a tab\r\n127.0.0.1       localhost\r\n"
    "::1             localhost ip6-localhost ip6-loopback\r\n10.0.0.7\tnas.lan   \r\n"
    "192.168.0.1 router.lan \t \r\n";
const char kUserListForm[] =
    "# Copyright (c) the user\r\n#\tcomment with a tab\r\n127.0.0.1       localhost\r\n"
    "::1             localhost ip6-localhost ip6-loopback\r\n10.0.0.7\tnas.lan\r\n"
    "192.168.0.1 router.lan \t\r\n\r\n\r\n";

// What the HOSTS file may be at any moment: the user's file as written, its
// list form, or the block list.
std::set<std::string> AllowedContents(const std::string& folder) {
  std::string blocked;
  std::string list = ReadFile(folder + "\\data\\hosts.svr");
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find("\r\n", start);
    std::string name = list.substr(start, end - start);
    if (!name.empty()) blocked += "127.0.0.1 " + name + "\r\n";
    start = end + 2;
  }
  return {kUserHosts, kUserListForm, blocked + "\r\n\r\n"};
}

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

class Watcher {
 public:
  explicit Watcher(std::set<std::string> allowed) : allowed_(std::move(allowed)) {
    thread_ = std::thread([this] {
      while (!stop_) {
        std::string now = ReadShared(HostsPath());
        ++reads_;
        Sleep(1);
        if (!allowed_.count(now) && bad_.size() < 5) bad_.push_back(now);
      }
    });
  }
  ~Watcher() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<std::string> bad_;
  long reads_ = 0;

 private:
  std::set<std::string> allowed_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
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
  Walk(std::string folder, unsigned seed) : folder_(std::move(folder)), rng_(seed) {}

  void Step() {
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

  int kills_ = 0;
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
  void Toggle() {
    if (!app_->PickMenuItem(kBlockAds)) problems_.push_back("menu did not open");
    Sleep(50);
    CheckNoErrorBox("after toggle");
  }
  void ToggleAndKillDuringRewrite() {
    HWND menu = app_->OpenTrayMenu();
    if (!menu) return;
    for (int i = 0; i < kBlockAds; ++i) PostKeys(menu, {VK_DOWN});
    PostKeys(menu, {VK_RETURN});
    Kill(Pick(20));
  }
  void Kill(int afterMs) {
    Sleep(static_cast<DWORD>(afterMs));
    app_->Kill();
    ++kills_;
  }
  void Exit(bool logOff) {
    if (logOff) app_->EndSession();
    else app_->Close();
    if (!app_->WaitExit()) problems_.push_back(logOff ? "log-off did not end it" : "exit did not end it");
    CheckNoErrorBox("after exit");
  }
  void CheckNoErrorBox(const char* when) {
    if (auto box = FindBox("Error")) {
      problems_.push_back(std::string(when) + ": " + box->text);
      DismissBox(*box);
    }
  }

  std::string folder_;
  std::mt19937 rng_;
  std::unique_ptr<Norvane> app_;
};

TEST(HostsReliability, UserLinesSurviveEveryStartSwitchKillAndExit) {
  char env[32] = {};
  unsigned seed = GetEnvironmentVariableA("NV_SEED", env, sizeof env)
                      ? static_cast<unsigned>(strtoul(env, nullptr, 10))
                      : static_cast<unsigned>(GetTickCount64() % 1000000);
  ClearSettings();
  WriteFile(HostsPath(), kUserHosts);
  const std::string folder = InstallFresh("reliability");
  Watcher watcher(AllowedContents(folder));
  Walk walk(folder, seed);
  const int steps = GetEnvironmentVariableA("NV_STEPS", env, sizeof env) ? atoi(env) : kSteps;
  for (int i = 0; i < steps; ++i) walk.Step();
  walk.Finish();
  watcher.Stop();

  std::printf("seed %u: %d steps, %d kill points survived, %ld observations of the HOSTS file\n", seed,
              steps, walk.kills_, watcher.reads_);
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm) << "seed " << seed;
  for (const std::string& b : watcher.bad_) ADD_FAILURE() << "seed " << seed << ": observed HOSTS [" << b << "]";
  for (const std::string& p : walk.problems_) ADD_FAILURE() << "seed " << seed << ": " << p;
}

}  // namespace

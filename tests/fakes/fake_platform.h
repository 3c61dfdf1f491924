#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_desktop.h"
#include "fakes/fake_dns_cache.h"
#include "fakes/fake_files.h"
#include "fakes/fake_http_fetch.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_timers.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/tray.h"
#include "store/ascii_text.h"

namespace nv::test {

class FakeSettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& app, const std::string& section,
                                 const std::string& key) override;
  void Set(const std::string& app, const std::string& section, const std::string& key,
           const std::string& value) override;
  // "Section\Key" -> value, application "Norvane" only.
  std::map<std::string, std::string> values;
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
};

class FakeClock : public Clock {
 public:
  LocalTime Now() override { return now; }
  std::string ShortDate(const LocalTime& t) override;
  std::string LongTime(const LocalTime& t) override;
  std::uint64_t TickMs() override { return tickMs; }
  LocalTime now{2026, 12, 8, 11, 5, 9};
  std::uint64_t tickMs = 0;
};

class FakeDialogs : public Dialogs {
 public:
  struct Box {
    std::string text, title;
    unsigned style;
    WindowHandle owner = 0;
  };
  using Dialogs::Show;
  int Show(const std::string& text, const std::string& title, unsigned style, WindowHandle owner) override;
  std::vector<Box> shown;
  std::deque<int> answers;  // answers to give, in order; then kAnswerOk
  // Runs while a box is open, as the message loop of a modal box would.
  std::function<void()> whileOpen;
};

class FakeSystem : public System {
 public:
  std::string ProgramFolder() override { return programFolder; }
  std::vector<std::string> Arguments() override { return arguments; }
  std::string WindowsDirectory(unsigned) override { return windowsDir; }
  std::optional<std::string> SpecialFolder(int csidl) override;
  std::string UserName(unsigned) override { return userName; }
  bool ClaimSingleInstance() override {
    ++claims;
    return !otherInstance;
  }
  void EndProcess() override { ++endProcessCalls; }
  std::string programFolder = "C:\\Program Files\\Norvane";
  std::vector<std::string> arguments;
  std::string windowsDir = "C:\\WINDOWS";
  std::map<int, std::string> specialFolders{
      {33, "C:\\Users\\ann\\AppData\\Local\\Microsoft\\Windows\\INetCookies"}};
  std::string userName = "Ann";
  bool otherInstance = false;
  int endProcessCalls = 0;
  int claims = 0;
};

class FakeSound : public Sound {
 public:
  struct Played {
    std::string path;
    unsigned flags;
  };
  void Play(const std::string& path, unsigned flags) override { played.push_back({path, flags}); }
  std::vector<Played> played;
};

class FakeShell : public Shell {
 public:
  struct Call {
    std::string verb, file, params, dir;
    int show;
  };
  void Execute(const std::string& verb, const std::string& file, const std::string& params,
               const std::string& dir, int show) override {
    calls.push_back({verb, file, params, dir, show});
  }
  bool Elevated() override { return elevated; }
  bool ExecuteAsDesktopUser(const std::string& verb, const std::string& file, const std::string& params,
                            const std::string& dir, int show) override {
    desktopCalls.push_back({verb, file, params, dir, show});
    return desktopTakes;
  }
  std::vector<Call> calls;         // started by this process
  std::vector<Call> desktopCalls;  // handed to the desktop's shell
  bool elevated = false;
  bool desktopTakes = true;
};

// ASCII case folding stands in for the user's locale.
class FakeText : public AsciiText {};

class FakeTray : public Tray {
 public:
  struct Call {
    std::string op;
    NotifyIconRecord record;
  };
  // Refuses this many adds first, as the shell does before the taskbar is up.
  int refuseAdds = 0;
  bool Add(const NotifyIconRecord& r) override { return Record("Add", r) && refuseAdds-- <= 0; }
  bool Modify(const NotifyIconRecord& r) override { return Record("Modify", r); }
  bool Delete(const NotifyIconRecord& r) override { return Record("Delete", r); }
  bool Balloon(const NotifyIconRecord& r, const std::string& title, const std::string& text) override {
    balloons.push_back(title + ": " + text);
    return Record("Balloon", r);
  }
  std::vector<Call> calls;
  std::vector<std::string> balloons;

 private:
  bool Record(const char* op, const NotifyIconRecord& r) {
    calls.push_back({op, r});
    return true;
  }
};

// Every fake of the seam, wired into one Platform table.
struct FakePlatform {
  FakePlatform();
  FakeFiles files;
  FakeSettingsStore settings;
  FakeClock clock;
  FakeDialogs dialogs;
  FakeSystem system;
  FakeSound sound;
  FakeShell shell;
  FakeText text;
  FakeNetwork net;
  FakeTray tray;
  FakeDesktop desktop;
  FakeTimers timers;
  FakeUrlCache urlCache;
  FakeDnsCache dnsCache;
  FakeFolderWatch folderWatch;
  FakeRegistry registry;
  FakeLogonTask logonTask;
  FakeHttpFetch http;
  Platform platform;
};

}  // namespace nv::test

// Start-up's first decision: an earlier instance, and the start by the log-on task.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/start_gate.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

using test::FakePlatform;

constexpr char kPolicy[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
enum Lua { kLuaAbsent, kLuaOff, kLuaOn, kLuaOffAsText };

struct Case {
  std::vector<std::string> args;
  Lua lua;
  bool runValue, otherInstance;
  StartGate expected;
  int claims;
};

TEST(StartGate, DecisionTable) {
  const std::vector<std::string> none, logon{"/logon"};
  const Case cases[] = {
      {none, kLuaOff, true, false, StartGate::Go, 1},
      {none, kLuaOff, true, true, StartGate::Refuse, 1},  // a user's start is as before, UAC or not
      {{"/LOGON"}, kLuaOff, true, true, StartGate::EndQuietly, 0},
      {logon, kLuaOff, true, false, StartGate::EndQuietly, 0},  // the Run value's start is the one kept
      {logon, kLuaOff, false, false, StartGate::Go, 1},          // nothing else will start it
      {logon, kLuaOff, false, true, StartGate::EndQuietly, 1},
      {logon, kLuaAbsent, true, false, StartGate::Go, 1},  // UAC on by default: only the task starts it
      {logon, kLuaOn, true, true, StartGate::EndQuietly, 1},
      {logon, kLuaOffAsText, true, false, StartGate::Go, 1},
      {{"/logon", "x"}, kLuaOff, true, true, StartGate::Refuse, 1},
      {{"/logonx"}, kLuaOff, true, true, StartGate::Refuse, 1},
  };
  for (const Case& c : cases) {
    FakePlatform fp;
    fp.system.arguments = c.args;
    fp.system.otherInstance = c.otherInstance;
    const RegValue lua = c.lua == kLuaOffAsText
                             ? RegValue{kRegSz, std::string("0\0", 2)}
                             : RegValue{kRegDword, std::string(c.lua == kLuaOn ? "\1\0\0\0" : "\0\0\0\0", 4)};
    if (c.lua != kLuaAbsent) fp.registry.Put(kHkeyLocalMachine, kPolicy, "EnableLUA", lua);
    if (c.runValue) fp.registry.Put(kHkeyLocalMachine, kRunSubkey, kRunValueName, {kRegSz, "C:\\N.exe"});
    const std::string what = (c.args.empty() ? "-" : c.args[0]) + " lua " + std::to_string(c.lua) + " run " +
                             std::to_string(c.runValue) + " other " + std::to_string(c.otherInstance);
    EXPECT_EQ(PassStartGate(fp.system, fp.registry), c.expected) << what;
    EXPECT_EQ(fp.system.claims, c.claims) << what;
    EXPECT_TRUE(fp.registry.openKeys.empty()) << what;
    for (const auto& open : fp.registry.opens) {
      if (open.subkey == kPolicy) {
        EXPECT_EQ(open.access, kKeyQueryValue | kKeyWow64_64Key) << what;
      }
    }
  }
}

TEST(StartGate, LogonStartMeetingAnotherInstanceEndsWithoutBoxOrTrace) {
  FakePlatform fp;
  test::FakeMainView view;
  fp.system.arguments = {"/logon"};
  fp.system.otherInstance = true;
  frmMain main(fp.platform, view);
  main.Form_Load();
  EXPECT_TRUE(main.Ended());
  EXPECT_EQ(fp.system.endProcessCalls, 1);
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(fp.files.writes, 0);
  EXPECT_TRUE(fp.settings.values.empty());
  EXPECT_TRUE(fp.tray.calls.empty());
}

}  // namespace
}  // namespace nv

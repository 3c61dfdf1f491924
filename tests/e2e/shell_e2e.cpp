// The desktop's shell starting a program for its user, as an elevated
// Norvane opens the browser: the request must be carried out by the
// desktop's own process, not by ours. Wine has no UAC, so what is checked
// here is the way through the desktop's shell view; the choice of that way
// (elevated or not, and nothing started when it fails) is tested natively.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"
#include "platform/win32/win32_services.h"

using namespace e2e;

namespace {

DWORD ParentOf(DWORD pid) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  DWORD parent = 0;
  for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe))
    if (pe.th32ProcessID == pid) parent = pe.th32ParentProcessID;
  CloseHandle(snap);
  return parent;
}

std::string MarkerArgument() {
  for (int i = 1; i < __argc; ++i)
    if (std::string(__argv[i]).rfind("--marker=", 0) == 0) return std::string(__argv[i]).substr(9);
  return "";
}

}  // namespace

// Started through the desktop's shell by the next test: writes who started it.
TEST(DesktopShell, ChildWritesItsParent) {
  const std::string marker = MarkerArgument();
  if (marker.empty()) GTEST_SKIP() << "run by TheDesktopsProcessStartsWhatItIsHanded";
  WriteFile(marker, std::to_string(ParentOf(GetCurrentProcessId())));
}

TEST(DesktopShell, TheDesktopsProcessStartsWhatItIsHanded) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string marker = std::string(temp) + "norvane-shell-marker.txt";
  RemoveFile(marker);
  // The desktop window exists once this process has a window of its own.
  HWND own = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DWORD desktop = 0;
  GetWindowThreadProcessId(GetShellWindow() ? GetShellWindow() : GetDesktopWindow(), &desktop);
  nv::Win32Shell shell;
  ASSERT_TRUE(shell.ExecuteAsDesktopUser("open", self,
                                         "--gtest_filter=DesktopShell.ChildWritesItsParent --marker=" + marker, "",
                                         SW_SHOWNORMAL))
      << "the desktop's shell view and its dispatch object were not reached";
  ASSERT_TRUE(WaitUntil([&] { return !ReadFile(marker).empty(); }, 30000)) << "nothing was started";
  const DWORD parent = std::stoul(ReadFile(marker));
  EXPECT_NE(parent, GetCurrentProcessId()) << "started by this process, with its rights";
  EXPECT_EQ(parent, desktop) << "started by another process than the desktop's";
  DestroyWindow(own);
  RemoveFile(marker);
}

// The 100 ms tick of the real program under Wine: this driver plays the
// browser, opening toolbar-less "IEFrame" windows in front and writing cookie
// files into the cookies folder, and watches what the program does to them.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "platform/win32/win32_files.h"

using namespace e2e;

namespace {

// Handles the driver's own windows: a close request is recorded and obeyed.
int g_closes = 0;
LRESULT CALLBACK BrowserProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_CLOSE) ++g_closes;
  return DefWindowProcA(h, msg, w, l);
}

void Register(const char* className) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = BrowserProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A top-level window with its toolbar host "WorkerW" as first child, hidden
// unless the toolbars are shown. It is kept in front while the driver waits.
class BrowserWindow {
 public:
  BrowserWindow(const char* caption, bool toolbarsShown) {
    Register("IEFrame");
    Register("WorkerW");
    top_ = CreateWindowExA(0, "IEFrame", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "WorkerW", "", WS_CHILD | (toolbarsShown ? WS_VISIBLE : 0), 0, 0, 400, 30, top_,
                    nullptr, GetModuleHandleA(nullptr), nullptr);
    KeepInFront();
  }
  ~BrowserWindow() {
    if (IsWindow(top_)) DestroyWindow(top_);
    Pump();
  }
  // The splash may take the foreground while it shows; a browser would be
  // brought back in front by its user.
  void KeepInFront() {
    Pump();
    if (IsWindow(top_) && GetForegroundWindow() != top_) SetForegroundWindow(top_);
  }
  bool Open() const { return IsWindow(top_) != FALSE; }
  HWND hwnd() const { return top_; }

 private:
  HWND top_ = nullptr;
};

std::string CookiesFolder() {
  char buf[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, buf, CSIDL_COOKIES, TRUE);
  return buf;
}

std::string Cookie(const std::string& site) {
  return "id\nabc123\n" + site + "\n1024\n3567587328\n30121348\n*\n";
}
// The same as "\cookies.log" shows it.
std::string Logged(const std::string& site) {
  return "id\n(value removed)\n" + site + "\n1024\n3567587328\n30121348\n*\n";
}

class Tick : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    SetSetting("Data", "AdBlock", "False");
    g_closes = 0;
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
    cookies = CookiesFolder();
    ASSERT_FALSE(cookies.empty());
    RemoveCookies();
  }
  void TearDown() override { RemoveCookies(); }
  void RemoveCookies() {
    for (const char* name : {"ann@news[1].txt", "ann@ads[1].txt", "news@ads[2].txt", "a-bad.txt",
                             "ann@ads[3].txt", "ann@ads[1].dat", "ann@ads[1].txt~", "ann@ads[1].txtold"})
      RemoveFile(cookies + "\\" + name);
  }
  // Waits while the window stays in front, the way a popup would sit there.
  bool WaitWithWindow(BrowserWindow& w, const std::function<bool()>& cond, int ms) {
    return WaitUntil([&] {
      w.KeepInFront();
      return cond();
    }, ms, 10);
  }
  std::string folder, cookies;
};

TEST_F(Tick, ToolbarlessBrowserInFrontIsClosedAndCounted) {
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  BrowserWindow popup("Casino - Browser", false);
  ASSERT_TRUE(WaitWithWindow(popup, [&] { return g_closes > 0; }, 10000)) << "no WM_CLOSE arrived";
  EXPECT_FALSE(popup.Open());
  EXPECT_TRUE(WaitUntil([&] { return app.StatusLine() == "Banner Ads:0 Deleted Cookies:0 Blocked Popups:1"; }))
      << app.StatusLine();
  Sleep(500);
  EXPECT_EQ(g_closes, 1);
  EXPECT_EQ(app.StatusLine(), "Banner Ads:0 Deleted Cookies:0 Blocked Popups:1");
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

TEST_F(Tick, BrowserWithToolbarsShownIsNeverTouched) {
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  BrowserWindow browser("Casino - Browser", true);
  EXPECT_FALSE(WaitWithWindow(browser, [&] { return g_closes > 0; }, 2000));
  EXPECT_TRUE(browser.Open());
  EXPECT_EQ(GetForegroundWindow(), browser.hwnd());
  EXPECT_EQ(app.StatusLine(), "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The kept popup is checked again, with its wait, every tick it stays in
// front: the program must answer messages all the while.
TEST_F(Tick, PopupWhoseCaptionIsAllowedStaysOpenAndTheProgramStaysResponsive) {
  SetSetting("Settings", "AllPops", "0");
  WriteFile(folder + "\\data\\popups.svr", "Norvane Test Page\r\n");
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  HWND main = app.MainWindow();
  BrowserWindow popup("Welcome to the NORVANE TEST PAGE - Browser", false);

  DWORD slowest = 0;
  const ULONGLONG end = GetTickCount64() + 3000;
  while (GetTickCount64() < end) {
    popup.KeepInFront();
    const ULONGLONG t0 = GetTickCount64();
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    slowest = std::max(slowest, static_cast<DWORD>(GetTickCount64() - t0));
    Sleep(15);
  }
  EXPECT_EQ(g_closes, 0);
  EXPECT_TRUE(popup.Open());
  EXPECT_LT(slowest, 150u) << "the main window stopped answering for " << slowest << " ms";

  // The same window under a caption the list does not hold goes.
  SetWindowTextA(popup.hwnd(), "Casino - Browser");
  EXPECT_TRUE(WaitWithWindow(popup, [&] { return g_closes > 0; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return app.StatusLine() == "Banner Ads:0 Deleted Cookies:0 Blocked Popups:1"; }))
      << app.StatusLine();
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

TEST_F(Tick, CookiesOfSitesNotAllowedAreDeletedLoggedAndCounted) {
  SetSetting("Data", "Cookies", "True");
  WriteFile(folder + "\\data\\cookies.svr", "news\r\n");
  WriteFile(folder + "\\cookies.log", "");
  WriteFile(cookies + "\\ann@news[1].txt", Cookie("news.example/"));
  WriteFile(cookies + "\\ann@ads[1].txt", Cookie("ads.example/"));
  WriteFile(cookies + "\\news@ads[2].txt", Cookie("ads.example/deep/"));
  WriteFile(cookies + "\\ann@ads[1].dat", Cookie("ads.example/"));
  // Their short 8.3 names end in .TXT: a listing by pattern alone takes them.
  WriteFile(cookies + "\\ann@ads[1].txt~", Cookie("ads.example/"));
  WriteFile(cookies + "\\ann@ads[1].txtold", Cookie("ads.example/"));
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return !Exists(cookies + "\\ann@ads[1].txt") && !Exists(cookies + "\\news@ads[2].txt"); }));
  EXPECT_TRUE(WaitUntil([&] { return app.StatusLine() == "Banner Ads:0 Deleted Cookies:2 Blocked Popups:0"; }))
      << app.StatusLine();
  EXPECT_TRUE(Exists(cookies + "\\ann@news[1].txt"));
  EXPECT_TRUE(Exists(cookies + "\\ann@ads[1].dat"));
  EXPECT_TRUE(Exists(cookies + "\\ann@ads[1].txt~"));
  EXPECT_TRUE(Exists(cookies + "\\ann@ads[1].txtold"));

  const std::string log = ReadFile(folder + "\\cookies.log");
  const std::string record = Logged("ads.example/") + "\r\n" + cookies + "\\ann@ads[1].txt deleted on ";
  EXPECT_NE(log.find(record), std::string::npos) << log;
  EXPECT_NE(log.find(Logged("ads.example/deep/") + "\r\n" + cookies + "\\news@ads[2].txt deleted on "),
            std::string::npos);
  EXPECT_EQ(log.find("abc123"), std::string::npos) << "a cookie's value reached the log";
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log.substr(log.size() - 6), "\r\n\r\n\r\n");
  EXPECT_EQ(log.find("news[1]"), std::string::npos);

  // A cookie the browser writes while the program runs goes too.
  WriteFile(cookies + "\\ann@ads[3].txt", Cookie("ads.example/late/"));
  EXPECT_TRUE(WaitUntil([&] { return !Exists(cookies + "\\ann@ads[3].txt"); }));
  EXPECT_TRUE(WaitUntil([&] { return app.StatusLine() == "Banner Ads:0 Deleted Cookies:3 Blocked Popups:0"; }))
      << app.StatusLine();
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

TEST_F(Tick, CookieFileWithoutSiteHoldsUpNoOtherFile) {
  SetSetting("Data", "Cookies", "True");
  SetSetting("Settings", "All", "1");
  WriteFile(cookies + "\\a-bad.txt", "no\nsite\n");
  WriteFile(cookies + "\\ann@ads[1].txt", Cookie("ads.example/"));
  WriteFile(cookies + "\\ann@news[1].txt", Cookie("news.example/"));
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return !Exists(cookies + "\\ann@ads[1].txt") && !Exists(cookies + "\\ann@news[1].txt"); }));
  Sleep(500);
  EXPECT_TRUE(Exists(cookies + "\\a-bad.txt"));
  const std::string err = ReadFile(folder + "\\err.log");
  const size_t first = err.find("a-bad.txt");
  EXPECT_NE(first, std::string::npos) << err;
  EXPECT_EQ(err.find("a-bad.txt", first + 1), std::string::npos) << "logged more than once:\n" << err;
  EXPECT_EQ(app.StatusLine(), "Banner Ads:0 Deleted Cookies:2 Blocked Popups:0");
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The Windows listing itself keeps only names that end in ".txt", whatever
// the system matched through their short names.
TEST(Win32Listing, PatternKeepsOnlyNamesEndingInTheExtension) {
  const std::string dir = "C:\\nvtest\\listing";
  CreateDirectoryA("C:\\nvtest", nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char* name : {"b.txt", "C.TXT", "x.txt~", "a.txtold", "d.txt.bak", "e.dat"})
    WriteFile(dir + "\\" + name, "x");
  CreateDirectoryA((dir + "\\f.txt").c_str(), nullptr);

  int systemMatches = 0;
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA((dir + "\\*.txt").c_str(), &fd);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) ++systemMatches;
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  std::printf("FindFirstFileA(\"*.txt\") gave %d entries here (3 without short-name matches)\n", systemMatches);

  std::vector<std::string> names = nv::Win32Files().List(dir, "*.txt");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"C.TXT", "b.txt"}));
}

}  // namespace

// The XP-style button's window under Wine: messages in, notifications to the
// parent out, checked as whole sequences; the window shape and the minimum size.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"

namespace {

using Seq = std::vector<std::string>;
Seq g_heard;

const char* NotifyName(UINT code) {
  switch (code) {
    case nv::XPBN_KEYDOWN: return "KeyDown";
    case nv::XPBN_KEYPRESS: return "KeyPress";
    case nv::XPBN_KEYUP: return "KeyUp";
    case nv::XPBN_MOUSEDOWN: return "MouseDown";
    case nv::XPBN_MOUSEMOVE: return "MouseMove";
    case nv::XPBN_MOUSEUP: return "MouseUp";
    case nv::XPBN_MOUSEIN: return "MouseIn";
    default: return "MouseOut";
  }
}

// The parent writes down what its button tells it; mouse moves are left out.
LRESULT CALLBACK ParentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) g_heard.push_back("Click");
  if (msg == WM_NOTIFY) {
    auto* n = reinterpret_cast<nv::NMXPBS*>(lp);
    if (n->hdr.code != nv::XPBN_MOUSEMOVE) {
      std::string s = NotifyName(n->hdr.code);
      if (n->hdr.code == nv::XPBN_KEYDOWN || n->hdr.code == nv::XPBN_KEYUP) s += ' ' + std::to_string(n->keyCode);
      if (n->hdr.code == nv::XPBN_MOUSEDOWN || n->hdr.code == nv::XPBN_MOUSEUP) s += ' ' + std::to_string(n->button);
      g_heard.push_back(s);
    }
  }
  return DefWindowProcA(w, msg, wp, lp);
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// One parent for the suite: without a window manager, Wine waits up to two
// seconds for a destroyed top-level window to be withdrawn.
HWND g_parent = nullptr;

struct XpBsWindowTest : ::testing::Test {
  HWND parent = nullptr, button = nullptr;

  static void SetUpTestSuite() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = inst;
    wc.lpszClassName = "XpBsTestParent";
    RegisterClassA(&wc);
    g_parent = CreateWindowExA(0, wc.lpszClassName, "parent", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                               nullptr, inst, nullptr);
  }

  void SetUp() override {
    ASSERT_TRUE(nv::RegisterXpBsClass(GetModuleHandleA(nullptr)));
    parent = g_parent;
    ASSERT_TRUE(parent);
    button = Make(80, 30);
    nv::XpBsOf(button)->SetSoundClick("");
    SetCursorPos(900, 700);  // away from the windows
    Pump();
    g_heard.clear();
  }
  void TearDown() override {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(parent, GW_CHILD)) DestroyWindow(c);
  }

  HWND Make(int w, int h) {
    return CreateWindowExA(0, nv::kXpBsClassName, "&Yes", WS_CHILD | WS_VISIBLE, 10, 10, w, h, parent,
                           reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
  }
  void Send(UINT msg, WPARAM wp, int x, int y) { SendMessageA(button, msg, wp, MAKELPARAM(x, y)); }
};

TEST_F(XpBsWindowTest, ClickInsideNotifiesInOrderReleaseOutsideDoesNotClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  EXPECT_EQ(GetCapture(), button);
  Send(WM_LBUTTONUP, 0, 5, 5);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  Send(WM_LBUTTONUP, 0, 200, 5);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
  Send(WM_RBUTTONUP, 0, 5, 5);
  EXPECT_EQ(g_heard, (Seq{"MouseDown 1", "Click", "MouseUp 1", "MouseDown 1", "MouseUp 1", "MouseDown 2",
                          "MouseUp 2"}));
}

TEST_F(XpBsWindowTest, DoubleClickGivesASecondClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  Send(WM_LBUTTONUP, 0, 5, 5);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 5);
  Send(WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(g_heard, (Seq{"MouseDown 1", "Click", "MouseUp 1", "MouseDown 1", "Click", "MouseUp 1"}));
}

TEST_F(XpBsWindowTest, SpaceHeldWithRepeatsClicksOnceAtKeyUp) {
  SendMessageA(button, WM_KEYDOWN, VK_SPACE, 1);
  SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x40000001);
  SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x40000001);
  EXPECT_TRUE(nv::XpBsOf(button)->Flags().pressed);
  SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(g_heard, (Seq{"KeyDown 32", "KeyDown 32", "KeyDown 32", "Click", "MouseUp 1", "KeyUp 32"}));
}

TEST_F(XpBsWindowTest, AccessKeyFromTheCaptionReachesTheDialogManager) {
  char text[64];
  GetWindowTextA(button, text, sizeof text);
  EXPECT_STREQ(text, "&Yes");
  SetWindowTextA(button, "A&&B&c");
  EXPECT_EQ(nv::XpBsOf(button)->Caption(), "A&&B&c");
  EXPECT_EQ(nv::XpBsOf(button)->AccessKey(), 'c');
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(g_heard, (Seq{"Click"}));
  // Alt+C in the parent: the dialog manager's mnemonic search finds us.
  MSG m{button, WM_SYSCHAR, 'c', 0x20000000};
  EXPECT_TRUE(IsDialogMessageA(parent, &m));
  MSG b{button, WM_SYSCHAR, 'b', 0x20000000};
  IsDialogMessageA(parent, &b);  // "&&B" is no access key
  EXPECT_EQ(g_heard, (Seq{"Click", "Click"}));
}

TEST_F(XpBsWindowTest, PointerLeavingWhilePressedRaisesMouseOutAndLooksRaised) {
  nv::XpBsOf(button)->SetButtonStyle(0);
  POINT inside{20, 20};
  ClientToScreen(button, &inside);
  SetCursorPos(inside.x, inside.y);
  Send(WM_MOUSEMOVE, 0, 20, 20);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  SetCursorPos(900, 700);
  ASSERT_TRUE(e2e::WaitUntil([&] {
    Pump();
    return !g_heard.empty() && g_heard.back() == "MouseOut";
  }, 2000));
  HDC dc = GetDC(button);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_3DHILIGHT));  // raised, not sunken
  ReleaseDC(button, dc);
  EXPECT_TRUE(nv::XpBsOf(button)->Flags().pressed);
  Send(WM_LBUTTONUP, 0, 300, 300);
  EXPECT_EQ(g_heard, (Seq{"MouseIn", "MouseDown 1", "MouseOut", "MouseUp 1"}));
}

TEST_F(XpBsWindowTest, RoundedStyleCutsTwelvePixelsAndOtherStylesAreSquareAgain) {
  nv::XpBs& b = *nv::XpBsOf(button);
  b.SetButtonStyle(3);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(button, rgn), COMPLEXREGION);
  int missing = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) missing += !PtInRegion(rgn, x, y);
  EXPECT_EQ(missing, 12);
  b.SetButtonStyle(1);
  EXPECT_EQ(GetWindowRgn(button, rgn), ERROR);  // no region: the whole rectangle
  DeleteObject(rgn);
}

TEST_F(XpBsWindowTest, TooSmallButtonGrowsToOneHundredFiftyTwips) {
  HWND tiny = Make(5, 40);
  RECT rc{};
  GetClientRect(tiny, &rc);
  HDC dc = GetDC(tiny);
  EXPECT_EQ(rc.right, MulDiv(150, GetDeviceCaps(dc, LOGPIXELSX), 1440));
  EXPECT_EQ(rc.bottom, 40);
  ReleaseDC(tiny, dc);
}

}  // namespace

namespace {

// A form that closes itself when its button is clicked, as "Close" of the
// update window does: the button's window goes inside its own `Click`.
LRESULT CALLBACK ClosingFormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) DestroyWindow(w);
  return DefWindowProcA(w, msg, wp, lp);
}

// Whether freed blocks are filled (Wine's heap checking), so that reading
// one after its free is seen.
bool FreedBlocksAreFilled() {
  auto* block = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, 64));
  memset(block, 0x11, 64);
  HeapFree(GetProcessHeap(), 0, block);
  volatile unsigned char* seen = block;
  return seen[40] != 0x11;
}

}  // namespace

// Runs in a child with heap checking on (the next test starts it): a use of
// the freed button would read the fill pattern and crash the child.
TEST(XpBsClosingForm, ChildClicksThatDestroyTheForm) {
  if (!GetEnvironmentVariableA("NV_HEAP_CHILD", nullptr, 0)) GTEST_SKIP() << "run by ClickThatDestroysItsFormIsSafe";
  if (!FreedBlocksAreFilled()) std::exit(3);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  ASSERT_TRUE(nv::RegisterXpBsClass(inst));
  WNDCLASSA wc{};
  wc.lpfnWndProc = ClosingFormProc;
  wc.hInstance = inst;
  wc.lpszClassName = "XpBsClosingForm";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "STATIC", "top", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, inst, nullptr);
  const std::function<void(HWND)> ways[] = {
      [](HWND b) { SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)), SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); },
      [](HWND b) { SendMessageA(b, WM_KEYDOWN, VK_SPACE, 1), SendMessageA(b, WM_KEYUP, VK_SPACE, 0xC0000001); },
      [](HWND b) { SendMessageA(b, BM_CLICK, 0, 0); },
  };
  for (const auto& press : ways) {
    HWND form = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top, nullptr, inst,
                                nullptr);
    HWND button = CreateWindowExA(0, nv::kXpBsClassName, "Close", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, form,
                                  reinterpret_cast<HMENU>(7), inst, nullptr);
    nv::XpBsOf(button)->SetSoundClick("");
    nv::XpBsOf(button)->SetURL("http://example.test/");
    press(button);
    EXPECT_FALSE(IsWindow(form));
  }
  DestroyWindow(top);
}

TEST(XpBsClosingForm, ClickThatDestroysItsFormIsSafe) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  SetEnvironmentVariableA("NV_HEAP_CHILD", "1");
  SetEnvironmentVariableA("WINEDEBUG", "warn+heap");
  HANDLE child = nullptr;
  const bool started =
      e2e::Launch(std::string("\"") + self + "\" --gtest_filter=XpBsClosingForm.ChildClicksThatDestroyTheForm", &child);
  SetEnvironmentVariableA("NV_HEAP_CHILD", nullptr);
  SetEnvironmentVariableA("WINEDEBUG", "-all");
  ASSERT_TRUE(started && child);
  if (WaitForSingleObject(child, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(child, 9);
    CloseHandle(child);
    FAIL() << "the child did not end: it crashed into the debugger (a use of the freed button)";
  }
  DWORD code = 0;
  GetExitCodeProcess(child, &code);
  CloseHandle(child);
  ASSERT_NE(code, 3u) << "the child ran without heap checking: the test would prove nothing";
  EXPECT_EQ(code, 0u) << std::hex << "the child ended with 0x" << code << " (0xc0000005: it used the freed button)";
}

#include "app/message_loop_win32.h"

#include <iterator>

namespace nv {

namespace {

// How long messages may wait while the listeners keep the loop busy.
constexpr double kMessagesEveryMs = 2.0;

LoopWaits* g_waits = nullptr;
const MSG* g_loopMessage = nullptr;  // the message this loop is routing

// Dialog boxes, message boxes and menus run loops of their own, which pass
// each message here first: while one runs, nothing waits on the listeners'
// events, so they report as messages until this loop waits again. (This
// loop's own IsDialogMessage passes here too, with the message it routes.)
LRESULT CALLBACK OtherLoopFilter(int code, WPARAM wp, LPARAM lp) {
  if (code >= 0 && g_waits && reinterpret_cast<const MSG*>(lp) != g_loopMessage) g_waits->UseMessages();
  return CallNextHookEx(nullptr, code, wp, lp);
}

class Stopwatch {
 public:
  Stopwatch() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    ticksPerMs_ = static_cast<double>(f.QuadPart) / 1000;
    Restart();
  }
  void Restart() { QueryPerformanceCounter(&start_); }
  double Ms() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerMs_;
  }

 private:
  double ticksPerMs_ = 1;
  LARGE_INTEGER start_{};
};

// Every message queued now; false on WM_QUIT.
bool RouteQueued(MSG& msg, const std::function<void(MSG&)>& route) {
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    g_loopMessage = &msg;
    route(msg);
    g_loopMessage = nullptr;
  }
  return true;
}

}  // namespace

int RunMessageLoop(LoopWaits* waits, const std::function<void(MSG&)>& route) {
  g_waits = waits;
  HHOOK hook = waits ? SetWindowsHookExA(WH_MSGFILTER, OtherLoopFilter, nullptr, GetCurrentThreadId()) : nullptr;
  HANDLE events[MAXIMUM_WAIT_OBJECTS - 1];
  Stopwatch sinceMessages;
  MSG msg{};
  for (;;) {
    const DWORD n = waits ? static_cast<DWORD>(waits->WaitOn(events, std::size(events))) : 0;
    const DWORD r = MsgWaitForMultipleObjectsEx(n, events, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r < WAIT_OBJECT_0 + n) {
      waits->Signalled(r - WAIT_OBJECT_0);
      if (sinceMessages.Ms() < kMessagesEveryMs) continue;
    } else if (r == WAIT_FAILED && waits) {
      // Never expected; the listeners' messages keep the server answering.
      waits->UseMessages();
      g_waits = waits = nullptr;
    }
    if (!RouteQueued(msg, route)) break;
    sinceMessages.Restart();
  }
  if (hook) UnhookWindowsHookEx(hook);
  g_waits = nullptr;
  return static_cast<int>(msg.wParam);
}

}  // namespace nv

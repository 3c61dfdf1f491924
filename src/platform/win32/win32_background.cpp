#include "platform/win32/win32_background.h"

#include <memory>
#include <system_error>
#include <thread>

#include "platform/win32/message_window.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
constexpr char kClass[] = "NorvaneBackground";
constexpr UINT kFinished = WM_APP + 1;  // lParam: the Job, to take over

struct Job {
  std::function<void()> work, done;
};
}  // namespace

Win32Background::~Win32Background() {
  if (window_) DestroyWindow(window_);
}

bool Win32Background::EnsureWindow() {
  if (!window_) window_ = CreateMessageWindow(kClass, Proc, this);
  return window_ != nullptr;
}

// A job that cannot get a thread is finished without its work: its done
// still comes, and finds the result its work would have filled untouched.
void Win32Background::Run(std::function<void()> work, std::function<void()> done) {
  if (!EnsureWindow()) return;
  auto job = std::make_unique<Job>(Job{std::move(work), std::move(done)});
  Job* raw = job.get();
  try {
    std::thread([window = window_, raw] {
      raw->work();
      if (!PostMessageA(window, kFinished, 0, reinterpret_cast<LPARAM>(raw))) delete raw;
    }).detach();
    job.release();
  } catch (const std::system_error&) {
    if (PostMessageA(window_, kFinished, 0, reinterpret_cast<LPARAM>(job.get()))) job.release();
  }
}

LRESULT CALLBACK Win32Background::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == kFinished) {
    std::unique_ptr<Job> job(reinterpret_cast<Job*>(l));
    CallBarrier("background work", [&] { job->done(); });
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace nv

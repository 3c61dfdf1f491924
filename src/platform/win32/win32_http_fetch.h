#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>

#include "platform/http_fetch.h"

namespace nv {

// WinINet GETs, each on a worker thread of its own, so that a slow server
// never holds the UI thread. The answer is posted to a hidden window of the
// thread that asked (the UI thread). The request's time limit is WinINet's
// for each connect, send and receive; the caller keeps the clock of the
// whole fetch. An abandoned worker finishes on its own; its handles are only
// ever closed by itself, never from another thread.
class Win32HttpFetch : public HttpFetch {
 public:
  Win32HttpFetch() = default;
  ~Win32HttpFetch() override;
  Id Get(const HttpRequest& request, Done done) override;
  void Cancel(Id id) override;

 private:
  struct Pending {
    Done done;
    std::shared_ptr<std::atomic<bool>> abandoned;  // shared with the worker
  };
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  bool EnsureWindow();
  void Finish(Id id, const HttpAnswer& answer);

  HWND window_ = nullptr;
  std::map<Id, Pending> pending_;
  Id next_ = 1;
};

}  // namespace nv

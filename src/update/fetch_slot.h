#pragma once
#include <functional>
#include <string>

#include "platform/http_fetch.h"
#include "platform/timers.h"

namespace nv {

// Every fetch of live update: the whole body within a minute, and no body
// larger than 256 KB (a version line and release notes are far smaller; a
// bigger answer is not the update server's).
inline constexpr unsigned kFetchTimeoutMs = 60000;
inline constexpr std::size_t kFetchMaxBytes = 256 * 1024;

// A window's transfer component: one fetch at a time. A new fetch or the
// window's unload drops the one before, whose answer then never arrives.
// The minute covers the whole fetch: a server that sends its answer a few
// bytes at a time never runs into a single call's time-out, so the slot
// gives up on its own when the minute is over.
class FetchSlot {
 public:
  FetchSlot(HttpFetch* http, Timers* timers) : http_(http), timers_(timers) {}
  ~FetchSlot() { Cancel(); }
  FetchSlot(const FetchSlot&) = delete;
  FetchSlot& operator=(const FetchSlot&) = delete;

  void Start(const std::string& url, std::function<void(const HttpAnswer&)> done);
  void Cancel();
  bool Busy() const { return id_ != 0; }

 private:
  void Expire();

  HttpFetch* http_;
  Timers* timers_;
  HttpFetch::Id id_ = 0;
  Timers::Id deadline_ = 0;
  std::function<void(const HttpAnswer&)> done_;
};

}  // namespace nv

#include "update/fetch_slot.h"

namespace nv {

void FetchSlot::Start(const std::string& url, std::function<void(const HttpAnswer&)> done) {
  Cancel();
  done_ = std::move(done);
  if (timers_) deadline_ = timers_->StartOnce(kFetchTimeoutMs, [this] { Expire(); });
  id_ = http_->Get(HttpRequest{url, kFetchMaxBytes, kFetchTimeoutMs}, [this](const HttpAnswer& answer) {
    // The slot is free before the callback, which may fetch again.
    auto done = std::move(done_);
    id_ = 0;
    if (deadline_ != 0) timers_->Cancel(deadline_);
    deadline_ = 0;
    done(answer);
  });
}

void FetchSlot::Expire() {
  deadline_ = 0;
  if (id_ == 0) return;
  http_->Cancel(id_);
  id_ = 0;
  auto done = std::move(done_);
  done(HttpAnswer{false, "", "No answer came within " + std::to_string(kFetchTimeoutMs / 1000) + " seconds.", 0});
}

void FetchSlot::Cancel() {
  if (id_ != 0) http_->Cancel(id_);
  id_ = 0;
  if (deadline_ != 0) timers_->Cancel(deadline_);
  deadline_ = 0;
  done_ = nullptr;
}

}  // namespace nv

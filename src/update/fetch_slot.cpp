#include "update/fetch_slot.h"

namespace nv {

void FetchSlot::Start(const std::string& url, std::function<void(const HttpAnswer&)> done) {
  Cancel();
  id_ = http_->Get(HttpRequest{url, kFetchMaxBytes, kFetchTimeoutMs},
                   [this, done = std::move(done)](const HttpAnswer& answer) {
                     id_ = 0;  // before the callback, which may fetch again
                     done(answer);
                   });
}

void FetchSlot::Cancel() {
  if (id_ != 0) http_->Cancel(id_);
  id_ = 0;
}

}  // namespace nv

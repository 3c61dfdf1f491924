#include "fakes/fake_http_fetch.h"

#include <algorithm>
#include <stdexcept>

namespace nv::test {

HttpFetch::Id FakeHttpFetch::Get(const HttpRequest& request, Done done) {
  requests.push_back(request);
  waiting_.push_back(Entry{next_, request.url, std::move(done)});
  return next_++;
}

void FakeHttpFetch::Cancel(Id id) {
  auto it = std::find_if(waiting_.begin(), waiting_.end(), [id](const Entry& e) { return e.id == id; });
  if (it == waiting_.end()) return;
  waiting_.erase(it);
  ++cancels;
}

std::string FakeHttpFetch::WaitingUrl() const { return waiting_.empty() ? "" : waiting_.front().url; }

void FakeHttpFetch::Answer(const std::string& body) { Complete(HttpAnswer{true, body, ""}); }
void FakeHttpFetch::Fail(const std::string& reason) { Complete(HttpAnswer{false, "", reason}); }
void FakeHttpFetch::Refuse(int status, const std::string& reason) { Complete(HttpAnswer{false, "", reason, status}); }

// The entry leaves the queue before its callback runs, which may fetch again.
void FakeHttpFetch::Complete(const HttpAnswer& answer) {
  if (waiting_.empty()) throw std::logic_error("no fetch is waiting");
  Entry e = std::move(waiting_.front());
  waiting_.pop_front();
  e.done(answer);
}

}  // namespace nv::test

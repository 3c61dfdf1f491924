#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/http_fetch.h"

namespace nv::test {

// Fetches that wait until the test answers them, oldest first, as the event
// loop would deliver them.
class FakeHttpFetch : public HttpFetch {
 public:
  Id Get(const HttpRequest& request, Done done) override;
  void Cancel(Id id) override;

  // Completes the oldest waiting fetch with status 200 and this body.
  void Answer(const std::string& body);
  // Completes it as a failure: no HTTP answer at all, or an answer with
  // this status (or too large) that is no use.
  void Fail(const std::string& reason = "The connection was refused.");
  void Refuse(int status, const std::string& reason);
  // Completes it with this answer as it is (validators, a 304).
  void Reply(const HttpAnswer& answer) { Complete(answer); }
  size_t Waiting() const { return waiting_.size(); }
  // The URL of the oldest waiting fetch, "" when none waits.
  std::string WaitingUrl() const;

  std::vector<HttpRequest> requests;  // every Get, in order
  int cancels = 0;                    // Cancel calls that dropped a waiting fetch

 private:
  struct Entry {
    Id id;
    std::string url;
    Done done;
  };
  void Complete(const HttpAnswer& answer);
  std::deque<Entry> waiting_;
  Id next_ = 1;
};

}  // namespace nv::test

#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace nv {

// One GET: the whole body of url, no more than maxBytes of it; timeoutMs is
// the limit of each connect, send and receive (the caller times the whole).
struct HttpRequest {
  std::string url;
  std::size_t maxBytes = 0;
  unsigned timeoutMs = 0;
  // A conditional request: the validators of the last good answer, if any.
  // The server may then answer 304 (status 304, not ok, nothing read).
  std::string ifNoneMatch;
  std::string ifModifiedSince;
};

// How a GET ended. Only status 200 with the whole body in time counts as ok;
// anything else is a failure with a one-sentence reason a user can read.
struct HttpAnswer {
  bool ok = false;
  std::string body;
  std::string failure;
  int status = 0;  // the server's HTTP status; 0 when no HTTP answer came
  // The answer's validators for the next conditional request; "" when none.
  std::string etag;
  std::string lastModified;
};

// HTTP GET without holding the UI thread: the answer arrives later as an
// event on the UI thread, never from inside Get, and never after Cancel.
class HttpFetch {
 public:
  using Id = std::uint32_t;  // 0 is no fetch
  using Done = std::function<void(const HttpAnswer&)>;
  virtual ~HttpFetch() = default;
  virtual Id Get(const HttpRequest& request, Done done) = 0;
  // Drops a fetch that has not answered yet; other ids are ignored.
  virtual void Cancel(Id id) = 0;
};

}  // namespace nv

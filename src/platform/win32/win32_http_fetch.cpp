#include "platform/win32/win32_http_fetch.h"

#include <wininet.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "product/version.h"
#include "platform/win32/message_window.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {

constexpr char kClass[] = "NorvaneHttpFetch";
constexpr UINT kAnswered = WM_APP + 1;  // wParam: the fetch; lParam: a Completion to take over
constexpr char kAgent[] = "Norvane/" NV_VERSION_TEXT;
// Always from the server, never kept in the browser's cache or sent with its
// cookies, never a dialog; certificate checks stay as WinINet has them.
// Redirects are followed here, one at a time, so that every step is checked.
constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                         INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr int kMaxRedirects = 10;

struct Job {
  HttpFetch::Id id;
  HttpRequest request;
  HWND notify;
  std::shared_ptr<std::atomic<bool>> abandoned;
};

struct Completion {
  HttpAnswer answer;
};

HttpAnswer Failed(std::string reason, int status = 0) { return HttpAnswer{false, "", std::move(reason), status}; }

// WinINet's own text for its error numbers, else the system's.
std::string ErrorText(DWORD code) {
  char buf[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           GetModuleHandleA("wininet.dll"), code, 0, buf, sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  if (text.empty()) return "WinINet error " + std::to_string(code) + ".";
  return text + " (" + std::to_string(code) + ").";
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const int n = static_cast<int>(strlen(prefix));
  return text.size() >= static_cast<size_t>(n) &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), n, prefix, n) == CSTR_EQUAL;
}

bool IsRedirect(DWORD status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

// The address a redirect names, made whole against the one it came from.
std::string NextUrl(HINTERNET url, const std::string& from) {
  char location[2048] = {};
  DWORD size = sizeof location;
  if (!HttpQueryInfoA(url, HTTP_QUERY_LOCATION, location, &size, nullptr)) return "";
  char whole[2048] = {};
  DWORD wholeSize = sizeof whole;
  if (!InternetCombineUrlA(from.c_str(), location, whole, &wholeSize, ICU_NO_ENCODE)) return "";
  return whole;
}

// A response header as text; "" when the answer has none.
std::string HeaderText(HINTERNET url, DWORD which) {
  char text[1024] = {};
  DWORD size = sizeof text - 1;
  if (!HttpQueryInfoA(url, which, text, &size, nullptr)) return "";
  return std::string(text, size);
}

// The validators a later conditional request sends back; headers the caller
// chose, one per line, never a line end of their own.
std::string RequestHeaders(const HttpRequest& request) {
  std::string headers;
  auto add = [&](const char* name, const std::string& value) {
    if (value.empty() || value.find_first_of("\r\n") != std::string::npos) return;
    headers += std::string(name) + ": " + value + "\r\n";
  };
  add("If-None-Match", request.ifNoneMatch);
  add("If-Modified-Since", request.ifModifiedSince);
  return headers;
}

HttpAnswer ReadBody(HINTERNET url, const Job& job) {
  HttpAnswer answer{true, "", "", 200};
  answer.etag = HeaderText(url, HTTP_QUERY_ETAG);
  answer.lastModified = HeaderText(url, HTTP_QUERY_LAST_MODIFIED);
  char buf[8192];
  for (;;) {
    if (job.abandoned->load()) return Failed("Cancelled.");
    DWORD got = 0;
    if (!InternetReadFile(url, buf, sizeof buf, &got)) return Failed(ErrorText(GetLastError()), 200);
    if (got == 0) return answer;
    if (answer.body.size() + got > job.request.maxBytes)
      return Failed("The answer was larger than " + std::to_string(job.request.maxBytes / 1024) + " KB.", 200);
    answer.body.append(buf, got);
  }
}

// One step of the way: the body, a failure, or (next set) where to go on.
HttpAnswer Step(HINTERNET session, const Job& job, const std::string& at, std::string& next) {
  const std::string headers = RequestHeaders(job.request);
  HINTERNET url = InternetOpenUrlA(session, at.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                   static_cast<DWORD>(headers.size()), kFlags, 0);
  if (!url) return Failed(ErrorText(GetLastError()));
  DWORD status = 0, size = sizeof status;
  HttpAnswer answer;
  if (!HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    answer = Failed("The answer was not an HTTP answer.");
  else if (IsRedirect(status) && (next = NextUrl(url, at)).empty())
    answer = Failed("The server sent the request on without saying where.", static_cast<int>(status));
  else if (status == 304)
    answer = Failed("Not modified.", 304);
  else if (!IsRedirect(status) && status != 200)
    answer = Failed("The server answered with status " + std::to_string(status) + ".", static_cast<int>(status));
  else if (status == 200)
    answer = ReadBody(url, job);
  else
    answer.status = static_cast<int>(status);
  InternetCloseHandle(url);
  return answer;
}

// A secure request never goes on to a plain address, at any step; a server
// that keeps sending the request on is given up after ten steps.
HttpAnswer FollowRedirects(HINTERNET session, const Job& job) {
  std::string at = job.request.url;
  const bool secure = StartsWithNoCase(at, "https:");
  for (int step = 0; step <= kMaxRedirects; ++step) {
    std::string next;
    HttpAnswer answer = Step(session, job, at, next);
    if (next.empty()) return answer;
    if (secure && !StartsWithNoCase(next, "https:"))
      return Failed("The server sent the request on to an address without encryption.", answer.status);
    if (job.abandoned->load()) return Failed("Cancelled.");
    at = next;
  }
  return Failed("The server sent the request on more than " + std::to_string(kMaxRedirects) + " times.", 300);
}

HttpAnswer Fetch(const Job& job) {
  HINTERNET session = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) return Failed(ErrorText(GetLastError()));
  DWORD ms = job.request.timeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(session, option, &ms, sizeof ms);
  HttpAnswer answer = FollowRedirects(session, job);
  InternetCloseHandle(session);
  return answer;
}

DWORD WINAPI Work(LPVOID param) {
  std::unique_ptr<Job> job(static_cast<Job*>(param));
  auto* done = new Completion{Fetch(*job)};
  if (job->abandoned->load() ||
      !PostMessageA(job->notify, kAnswered, static_cast<WPARAM>(job->id), reinterpret_cast<LPARAM>(done)))
    delete done;
  return 0;
}

}  // namespace

Win32HttpFetch::~Win32HttpFetch() {
  for (auto& entry : pending_) entry.second.abandoned->store(true);
  if (window_) DestroyWindow(window_);
}

bool Win32HttpFetch::EnsureWindow() {
  if (!window_) window_ = CreateMessageWindow(kClass, Proc, this);
  return window_ != nullptr;
}

// A fetch that cannot even begin still answers later, as every fetch does.
HttpFetch::Id Win32HttpFetch::Get(const HttpRequest& request, Done done) {
  if (!EnsureWindow()) return 0;
  const Id id = next_++;
  if (next_ == 0) next_ = 1;
  auto abandoned = std::make_shared<std::atomic<bool>>(false);
  pending_[id] = Pending{std::move(done), abandoned};
  auto* job = new Job{id, request, window_, abandoned};
  if (HANDLE thread = CreateThread(nullptr, 0, Work, job, 0, nullptr)) {
    CloseHandle(thread);
  } else {
    const DWORD code = GetLastError();
    delete job;
    PostMessageA(window_, kAnswered, id, reinterpret_cast<LPARAM>(new Completion{Failed(ErrorText(code))}));
  }
  return id;
}

void Win32HttpFetch::Cancel(Id id) {
  auto it = pending_.find(id);
  if (it == pending_.end()) return;
  it->second.abandoned->store(true);
  pending_.erase(it);
}

// The entry leaves the table before its callback, which may fetch again.
void Win32HttpFetch::Finish(Id id, const HttpAnswer& answer) {
  auto it = pending_.find(id);
  if (it == pending_.end()) return;
  Done done = std::move(it->second.done);
  it->second.abandoned->store(true);
  pending_.erase(it);
  done(answer);
}

LRESULT CALLBACK Win32HttpFetch::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<Win32HttpFetch*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (m == kAnswered) {
    std::unique_ptr<Completion> done(reinterpret_cast<Completion*>(l));
    if (self) CallBarrier("HTTP fetch", [&] { self->Finish(static_cast<Id>(w), done->answer); });
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace nv

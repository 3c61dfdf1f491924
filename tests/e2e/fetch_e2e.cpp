// The live-update fetch (WinINet) under Wine against the test's own servers
// on 127.0.0.2: the size cap, redirects that never end, a secure request
// sent on to plain HTTP, and certificates that are not trusted. The whole
// fetch's minute is the caller's and is tested with fake timers natively.
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "harness/harness.h"
#include "harness/test_http_server.h"
#include "harness/tls_servers.h"
#include "platform/win32/win32_http_fetch.h"
#include "update/fetch_slot.h"

using namespace e2e;

namespace {

// One GET as live update makes it, with the message loop run until it ends.
nv::HttpAnswer Get(const std::string& url) {
  static nv::Win32HttpFetch http;
  nv::HttpAnswer answer;
  bool done = false;
  http.Get(nv::HttpRequest{url, nv::kFetchMaxBytes, 20000}, [&](const nv::HttpAnswer& a) {
    answer = a;
    done = true;
  });
  const ULONGLONG until = GetTickCount64() + 30000;
  MSG m;
  while (!done && GetTickCount64() < until) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(5);
  }
  if (!done) answer.failure = "(no answer within 30 s)";
  return answer;
}

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Listening()) << "Wine did not let the test listen on 127.0.0.2"; }
  TestHttpServer server;
};

TEST_F(Fetch, ABodyOverTheCapIsRefusedOneUnderItArrivesWhole) {
  const std::string under(nv::kFetchMaxBytes, 'u');
  server.Serve("/under", {200, under});
  server.Serve("/over", {200, std::string(300 * 1024, 'o')});
  const nv::HttpAnswer ok = Get(server.Url() + "/under");
  EXPECT_TRUE(ok.ok) << ok.failure;
  EXPECT_EQ(ok.body.size(), under.size());
  const nv::HttpAnswer over = Get(server.Url() + "/over");
  EXPECT_FALSE(over.ok);
  EXPECT_TRUE(over.body.empty());
  EXPECT_EQ(over.failure, "The answer was larger than 256 KB.");
}

TEST_F(Fetch, RedirectsAreFollowedButALoopEnds) {
  server.Serve("/moved", {302, "", 0, "/here"});
  server.Serve("/here", {200, "arrived"});
  server.Serve("/loop", {302, "", 0, "/loop"});
  const nv::HttpAnswer moved = Get(server.Url() + "/moved");
  EXPECT_TRUE(moved.ok) << moved.failure;
  EXPECT_EQ(moved.body, "arrived");
  const ULONGLONG t0 = GetTickCount64();
  const nv::HttpAnswer loop = Get(server.Url() + "/loop");
  EXPECT_FALSE(loop.ok);
  EXPECT_EQ(loop.failure, "The server sent the request on more than 10 times.");
  EXPECT_NE(loop.status, 0) << "the server was reached";
  EXPECT_LT(GetTickCount64() - t0, 10000u);
  EXPECT_LE(server.Count("/loop"), 11);
}

TEST_F(Fetch, CertificatesAreCheckedAndASecureRequestNeverGoesOnToPlainHttp) {
  TlsServers tls;
  ASSERT_TRUE(tls.ok()) << "the HTTPS servers did not start (python3 and openssl)";
  ASSERT_TRUE(tls.TrustAuthority());
  const nv::HttpAnswer selfSigned = Get(tls.Url(tls.selfSigned, "/ok"));
  EXPECT_FALSE(selfSigned.ok) << "a self-signed certificate was accepted";
  EXPECT_EQ(selfSigned.status, 0) << selfSigned.failure;
  EXPECT_EQ(selfSigned.failure.find("(12029)"), std::string::npos) << "refused for want of a connection, not for its certificate";

  const nv::HttpAnswer trusted = Get(tls.Url(tls.signedByTestAuthority, "/ok"));
  ASSERT_TRUE(trusted.ok) << "a certificate of a trusted authority: " << trusted.failure;
  EXPECT_EQ(trusted.body, "secure");

  server.Serve("/plain", {200, "swapped by anyone on the way"});
  const nv::HttpAnswer down = Get(tls.Url(tls.signedByTestAuthority, "/to-http?" + server.Url() + "/plain"));
  EXPECT_FALSE(down.ok);
  EXPECT_EQ(down.failure, "The server sent the request on to an address without encryption.");
  EXPECT_EQ(server.Count("/plain"), 0) << "the plain address was asked";
}

}  // namespace

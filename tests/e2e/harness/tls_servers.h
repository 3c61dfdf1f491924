#pragma once
#include <string>

namespace e2e {

// The HTTPS servers of servers/tls_server.py on 127.0.0.2, a Linux program:
// it is started through Wine and found by the files it writes. One presents
// a self-signed certificate, the other one signed by a throw-away authority
// that this Windows trusts only once TrustAuthority has run. They end with
// this object.
struct TlsServers {
  TlsServers();
  ~TlsServers();
  TlsServers(const TlsServers&) = delete;
  TlsServers& operator=(const TlsServers&) = delete;
  bool ok() const { return selfSigned != 0; }
  std::string Url(int port, const std::string& path) const;
  // The test's authority becomes one this Windows trusts: in the machine's
  // root store in the registry, and in the user's, before any secure request
  // of this process has read them.
  bool TrustAuthority() const;

  std::string folder;
  int selfSigned = 0, signedByTestAuthority = 0;
};

}  // namespace e2e

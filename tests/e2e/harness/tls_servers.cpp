#include "harness/tls_servers.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

#include "harness/harness.h"

namespace e2e {

namespace {

std::string UnixPath(std::string windows) {
  if (windows.size() > 2 && windows[1] == ':') windows.erase(0, 2);
  for (char& c : windows)
    if (c == '\\') c = '/';
  return windows;
}

}  // namespace

TlsServers::TlsServers() {
  char source[MAX_PATH] = {};
  GetEnvironmentVariableA("NV_SOURCE", source, sizeof source);
  // Wine reuses process ids from prefix to prefix: the time makes it new.
  folder = "/tmp/norvane-tls-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
  Launch("Z:\\usr\\bin\\python3 " + UnixPath(source) + "/tests/e2e/servers/tls_server.py " + folder);
  std::string ports;
  WaitUntil([&] { return !(ports = ReadFile("Z:" + folder + "/ports")).empty(); }, 60000, 100);
  if (sscanf(ports.c_str(), "%d %d", &selfSigned, &signedByTestAuthority) != 2) selfSigned = 0;
}

TlsServers::~TlsServers() { WriteFile("Z:" + folder + "/stop", ""); }

std::string TlsServers::Url(int port, const std::string& path) const {
  return "https://127.0.0.2:" + std::to_string(port) + path;
}

bool TlsServers::TrustAuthority() const {
  const std::string der = ReadFile("Z:" + folder + "/ca.der");
  auto add = [&](HCERTSTORE store) {
    const bool added = store && CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                                                 reinterpret_cast<const BYTE*>(der.data()),
                                                                 static_cast<DWORD>(der.size()),
                                                                 CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    if (store) CertCloseStore(store, 0);
    return added;
  };
  bool any = false;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\SystemCertificates\\Root", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    any = add(CertOpenStore(CERT_STORE_PROV_REG, 0, 0, 0, key));
    RegCloseKey(key);
  }
  return add(CertOpenSystemStoreA(0, "ROOT")) || any;
}

}  // namespace e2e

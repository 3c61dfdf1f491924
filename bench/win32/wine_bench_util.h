#pragma once
// What the Windows-side benchmarks share: a clock, the message pump, one ad
// request against the program's web server, and CPU time of Linux processes.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>

#include "harness/harness.h"

namespace e2e {

// Winsock started, and the settings of a first start with the three
// switches as given.
inline void StartWithSwitches(bool adBlock, bool popups, bool cookies) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  ClearSettings();
  SetSetting("Data", "AdBlock", adBlock ? "True" : "False");
  SetSetting("Data", "Popup", popups ? "True" : "False");
  SetSetting("Data", "Cookies", cookies ? "True" : "False");
}

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// One ad request answered by the program's web server, in ms; -1 when no
// server answers on 127.0.0.1:80.
inline double AdRequest() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const double t0 = Now();
  double ms = -1;
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    const char req[] = "GET /ads/banner.gif HTTP/1.0\r\nHost: ads.example\r\n\r\n";
    send(s, req, sizeof req - 1, 0);
    char buf[4096];
    int got = 0, n;
    while ((n = recv(s, buf, sizeof buf, 0)) > 0) got += n;
    if (got > 0) ms = Now() - t0;
  }
  closesocket(s);
  return ms;
}

// CPU time of the Linux processes whose command line holds `needle`, read
// from /proc through Wine's Z: drive: Wine does not report another process's
// times through GetProcessTimes.
inline double CpuMs(const std::string& needle) {
  double total = 0;
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  do {
    const std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    if (!std::isdigit(static_cast<unsigned char>(fd.cFileName[0]))) continue;
    std::string cmd = ReadFile(dir + "\\cmdline");
    std::replace(cmd.begin(), cmd.end(), '\0', ' ');
    if (cmd.find(needle) == std::string::npos) continue;
    const std::string stat = ReadFile(dir + "\\stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    // After the command: state is field 3; utime and stime are fields 14 and 15.
    std::istringstream fields(stat.substr(close + 2));
    std::string f;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
      if (i == 14) utime = std::atof(f.c_str());
      if (i == 15) stime = std::atof(f.c_str());
    }
    total += (utime + stime) * 10.0;  // clock ticks of 10 ms
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return total;
}

}  // namespace e2e

// How long norvane.exe's message loop keeps a message waiting: sends WM_NULL
// to its main window and times each round trip, for as long as asked, then
// prints the samples' median, 99th percentile and worst case in ms. Run it
// while clients load the web server to see whether windows, timers and
// dialogs stay responsive.
//   loop_latency <seconds>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
  HWND main = nullptr;
  for (int i = 0; i < 100 && !main; ++i, Sleep(100)) main = FindWindowA("NorvaneMain", nullptr);
  if (!main) {
    std::fprintf(stderr, "loop_latency: no norvane.exe main window\n");
    return 1;
  }
  LARGE_INTEGER freq, start, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  std::vector<double> ms;
  int lost = 0;
  for (;;) {
    QueryPerformanceCounter(&t0);
    if (static_cast<double>(t0.QuadPart - start.QuadPart) / freq.QuadPart >= seconds) break;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result)) ++lost;
    QueryPerformanceCounter(&t1);
    ms.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / freq.QuadPart);
    Sleep(5);  // a user's pace, not a flood of our own
  }
  if (ms.empty()) return 1;
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))]; };
  std::printf("%zu %.2f %.2f %.2f %d\n", ms.size(), at(0.5), at(0.99), ms.back(), lost);
  return 0;
}

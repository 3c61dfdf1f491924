// LoadListFile then SaveListFile of n distinct host names, against a plain
// read and write of the same bytes in the same run.
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/bench_util.h"
#include "platform/posix/posix_files.h"
#include "store/list_file.h"
#include "store/store.h"

using namespace nv;

static std::string HostList(int n) {
  std::string bytes;
  for (int i = 0; i < n; ++i) bytes += "ads" + std::to_string(i * 7919 % 1000003) + ".tracker" + std::to_string(i) + ".example\r\n";
  return bytes;
}

int main() {
  const std::string dir = "/tmp/norvane-bench-lists";
  std::system(("mkdir -p " + dir).c_str());
  PosixFiles files;
  Store store(files, dir);
  std::printf("%-10s %12s %12s %8s %12s\n", "names", "load+save ms", "raw r+w ms", "ratio", "ns/name");
  double per32k = 0;
  for (int n : {32767, 200000}) {
    const std::string in = dir + "/in.svr", out = dir + "/out.svr";
    std::ofstream(in, std::ios::binary) << HostList(n);
    ListBox list;
    double store_ms = bench::BestMs(5, [&] {
      store.LoadListFile(list, in);
      store.SaveListFile(list, out, true);
    });
    double raw_ms = bench::BestMs(5, [&] { files.WriteAtomic(out, files.ReadAll(in)); });
    std::printf("%-10d %12.2f %12.2f %8.1f %12.1f\n", n, store_ms, raw_ms, store_ms / raw_ms,
                store_ms * 1e6 / n);
    if (n == 32767) per32k = store_ms * 1e6 / n;
    else std::printf("growth per name 200000 vs 32767: %.2fx (1.0 is linear)\n", store_ms * 1e6 / n / per32k);
  }
  std::system(("rm -rf " + dir).c_str());
  return 0;
}

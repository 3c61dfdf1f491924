// The block scan of host names against the byte-at-a-time one.
#include <gtest/gtest.h>

#include <string>

#include "adblock/lists/host_name_scan.h"

namespace nv {
namespace {

void ExpectSameScan(const std::string& bytes, size_t limit, bool dropDot) {
  const ScannedName fast = ScanHostName(bytes.data(), limit, bytes.size(), dropDot);
  const ScannedName slow = ScanHostNameBytewise(bytes.data(), limit, dropDot);
  ASSERT_EQ(fast.scanned, slow.scanned) << bytes << " limit " << limit;
  ASSERT_EQ(fast.size, slow.size) << bytes << " limit " << limit;
  ASSERT_EQ(fast.good, slow.good) << bytes << " limit " << limit << " drop " << dropDot;
  ASSERT_EQ(fast.upper, slow.upper) << bytes << " limit " << limit;
}

// Names of every length across the 16-byte blocks and past the 64 the block
// scan covers, with each position in turn spoiled, and random mixes of the
// bytes the checks turn on; each scanned with and without room to read on.
TEST(HostNameScan, BlocksAgreeWithBytesOnEveryLengthAndPosition) {
  const std::string odd = std::string("-._.\0 #/\x80\xFF@[`{Z9\n", 18);
  size_t good = 0;
  for (size_t length = 1; length <= 80; ++length) {
    std::string name;
    for (size_t i = 0; i < length; ++i) name += i % 7 == 3 ? '.' : static_cast<char>('a' + i % 26);
    for (size_t at = 0; at <= length; ++at)
      for (char c : odd) {
        std::string spoilt = name;
        if (at < length) spoilt[at] = c;
        for (const std::string& tail : {std::string(" 0.0.0.0 next.example\n"), std::string()}) {
          const std::string bytes = spoilt + tail;
          for (bool dropDot : {true, false}) {
            ExpectSameScan(bytes, std::min<size_t>(bytes.size(), 254), dropDot);
            ExpectSameScan(bytes, length / 2, dropDot);
          }
          good += ScanHostNameBytewise(bytes.data(), bytes.size(), true).good;
        }
        if (at == length) break;
      }
  }
  unsigned x = 99;
  const char mix[] = "ab9-_.Z.0-";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (size_t n = 0, length = 1 + round % 70; n < length; ++n) {
      x = x * 1103515245u + 12345u;
      bytes += (x >> 16) % 50 == 0 ? odd[(x >> 8) % odd.size()] : mix[(x >> 20) % (sizeof mix - 1)];
    }
    ExpectSameScan(bytes, bytes.size(), round % 2 == 0);
    good += ScanHostNameBytewise(bytes.data(), bytes.size(), true).good;
  }
  EXPECT_GT(good, 1000u);  // the checks were passed as well as failed
}

}  // namespace
}  // namespace nv

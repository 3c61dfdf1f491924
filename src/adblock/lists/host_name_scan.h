#pragma once
#include <cstddef>

namespace nv {

// What one pass over the bytes of a would-be host name found.
struct ScannedName {
  size_t scanned;  // bytes from the start that a host name may hold
  size_t size;     // of those, the name's: less a trailing dot where one is dropped
  bool good;       // two labels or more, each 1 to 63 bytes without '-' at its ends,
                   // 253 bytes at most, and a top-level label not all digits
  bool upper;      // some of the scanned bytes are capital letters
};

// Scans in up to limit bytes or the first byte no host name holds, and checks
// the name found. readable: how many bytes from in may be read (limit or
// more); where that leaves room, 16 bytes are scanned at a time.
ScannedName ScanHostName(const char* in, size_t limit, size_t readable, bool dropTrailingDot);

// The same a byte at a time: for long names, the ends of buffers, and builds
// without SSE2 (the x86 one).
ScannedName ScanHostNameBytewise(const char* in, size_t limit, bool dropTrailingDot);

// n bytes of in to out, ASCII capitals made small.
void LowerInto(const char* in, size_t n, char* out);

}  // namespace nv

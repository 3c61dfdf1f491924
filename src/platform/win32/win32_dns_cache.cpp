#include "platform/win32/win32_dns_cache.h"

#include <windows.h>

namespace nv {

namespace {
using FlushFn = BOOL(WINAPI*)();

FlushFn LookUp() {
  HMODULE dll = LoadLibraryA("dnsapi.dll");
  if (!dll) return nullptr;
  return reinterpret_cast<FlushFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DnsFlushResolverCache")));
}
}  // namespace

// The library stays loaded for the run: it is looked up once.
bool Win32DnsCache::Flush() {
  static const FlushFn flush = LookUp();
  return flush && flush() != FALSE;
}

}  // namespace nv

#include "platform/win32/win32_url_cache.h"

#include <windows.h>
// wininet.h and winhttp.h clash under mingw: this file uses only the former.
#include <wininet.h>

namespace nv {

bool Win32UrlCache::DeleteEntry(const std::string& key) {
  return DeleteUrlCacheEntryA(key.c_str()) != FALSE;
}

}  // namespace nv

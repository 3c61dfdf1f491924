#pragma once
#include <string>

#include "platform/registry.h"

namespace nv {

// The registry routines of the start-with-Windows registration. They report
// nothing their callers use: a key that cannot be opened or a value that
// cannot be written or deleted passes silently.
class RegStuff {
 public:
  // KEY_QUERY_VALUE, KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS,
  // KEY_NOTIFY and KEY_CREATE_LINK.
  static constexpr unsigned kAccess = 63;

  explicit RegStuff(Registry& registry) : registry_(registry) {}

  void DeleteRegistryValue(RegKey root, const std::string& subkey, const std::string& name);
  void SetRegistryValue(RegKey root, const std::string& subkey, const std::string& name,
                        const std::string& data, unsigned type);
  // REG_SZ: the text, NUL-terminated. REG_DWORD: the text as a 32-bit number,
  // 4 bytes. Other types, or a REG_DWORD text that is no 32-bit number, write
  // nothing. Returns the status of the write.
  int WriteRegistryValue(RegKey key, const std::string& name, unsigned type, const std::string& data);

 private:
  Registry& registry_;
};

}  // namespace nv

#include "settings/reg_stuff.h"

#include <charconv>
#include <cstdint>

namespace nv {

namespace {
// Decimal text of a signed or unsigned 32-bit number, as its 32 bits.
bool ParseDword(const std::string& text, std::uint32_t& out) {
  std::int64_t v = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end || text.empty()) return false;
  if (v < INT32_MIN || v > static_cast<std::int64_t>(UINT32_MAX)) return false;
  out = static_cast<std::uint32_t>(v);
  return true;
}
}  // namespace

void RegStuff::DeleteRegistryValue(RegKey root, const std::string& subkey, const std::string& name) {
  auto key = registry_.OpenKey(root, subkey, kAccess);
  if (!key) return;
  registry_.DeleteValue(*key, name);
  registry_.CloseKey(*key);
}

void RegStuff::SetRegistryValue(RegKey root, const std::string& subkey, const std::string& name,
                                const std::string& data, unsigned type) {
  auto key = registry_.OpenKey(root, subkey, kAccess);
  if (!key) return;
  WriteRegistryValue(*key, name, type, data);
  registry_.CloseKey(*key);
}

int RegStuff::WriteRegistryValue(RegKey key, const std::string& name, unsigned type,
                                 const std::string& data) {
  if (type == kRegSz) return registry_.SetValue(key, name, kRegSz, data + '\0');
  std::uint32_t number = 0;
  if (type != kRegDword || !ParseDword(data, number)) return kRegInvalidParameter;
  const std::string bytes{static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                          static_cast<char>((number >> 16) & 0xFF), static_cast<char>(number >> 24)};
  return registry_.SetValue(key, name, kRegDword, bytes);
}

}  // namespace nv

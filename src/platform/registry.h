#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace nv {

// A registry key as the platform's handle value. The predefined roots carry
// their sign-extended numbers, as HKEY_LOCAL_MACHINE does on 32 and 64 bits.
using RegKey = std::intptr_t;
inline constexpr RegKey kHkeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr RegKey kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// Value types and access rights, numbered as the platform numbers them.
inline constexpr unsigned kRegSz = 1;
inline constexpr unsigned kRegDword = 4;
inline constexpr unsigned kKeyQueryValue = 0x0001;
inline constexpr unsigned kKeyWow64_64Key = 0x0100;

// Status codes the registry calls return.
inline constexpr int kRegSuccess = 0;
inline constexpr int kRegFileNotFound = 2;
inline constexpr int kRegInvalidParameter = 87;

struct RegValue {
  unsigned type = 0;
  std::string bytes;  // the raw data, as stored
};

// The system registry beyond the per-user settings store: one call each.
class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA: the open key, or nothing when it cannot be opened.
  virtual std::optional<RegKey> OpenKey(RegKey root, const std::string& subkey, unsigned access) = 0;
  // RegSetValueExA with exactly these bytes; returns its status.
  virtual int SetValue(RegKey key, const std::string& name, unsigned type, const std::string& bytes) = 0;
  // RegDeleteValueA; returns its status.
  virtual int DeleteValue(RegKey key, const std::string& name) = 0;
  // RegQueryValueExA: the value, or nothing when it is absent or unreadable.
  virtual std::optional<RegValue> QueryValue(RegKey key, const std::string& name) = 0;
  // RegCloseKey.
  virtual void CloseKey(RegKey key) = 0;
};

}  // namespace nv

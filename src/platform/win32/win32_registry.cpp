#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace nv {

namespace {
// RegKey holds the handle's value, the predefined roots sign-extended as
// <winreg.h> defines them, so the cast is the identity on both widths.
HKEY ToHandle(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

std::optional<RegKey> Win32Registry::OpenKey(RegKey root, const std::string& subkey, unsigned access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(ToHandle(root), subkey.c_str(), 0, access, &key) != ERROR_SUCCESS) return std::nullopt;
  return reinterpret_cast<RegKey>(key);
}

int Win32Registry::SetValue(RegKey key, const std::string& name, unsigned type, const std::string& bytes) {
  return RegSetValueExA(ToHandle(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

int Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(ToHandle(key), name.c_str());
}

std::optional<RegValue> Win32Registry::QueryValue(RegKey key, const std::string& name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  RegValue value{type, std::string(size, '\0')};
  if (size > 0 && RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(value.bytes.data()), &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.type = type;
  value.bytes.resize(size);
  return value;
}

void Win32Registry::CloseKey(RegKey key) { RegCloseKey(ToHandle(key)); }

}  // namespace nv

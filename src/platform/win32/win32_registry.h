#pragma once
#include "platform/registry.h"

namespace nv {

// The registry calls of advapi32, ANSI entry points.
class Win32Registry : public Registry {
 public:
  std::optional<RegKey> OpenKey(RegKey root, const std::string& subkey, unsigned access) override;
  int SetValue(RegKey key, const std::string& name, unsigned type, const std::string& bytes) override;
  int DeleteValue(RegKey key, const std::string& name) override;
  std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
  void CloseKey(RegKey key) override;
};

}  // namespace nv

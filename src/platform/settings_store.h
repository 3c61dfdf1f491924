#pragma once
#include <optional>
#include <string>

namespace nv {

// Per-user text values by application, section and key (the registry under
// HKEY_CURRENT_USER\Software\<app>\<section> on Windows).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Get(const std::string& app, const std::string& section,
                                         const std::string& key) = 0;
  virtual void Set(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) = 0;
};

}  // namespace nv

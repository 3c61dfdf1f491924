#pragma once
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/logon_task.h"
#include "platform/registry.h"

namespace nv::test {

// An in-memory registry: keys by root and path (case-insensitive, a trailing
// "\" ignored as the real calls ignore it). Every call is recorded.
class FakeRegistry : public Registry {
 public:
  // Holds the keys every Windows has: the machine's Run key and the UAC policy key.
  FakeRegistry();
  std::optional<RegKey> OpenKey(RegKey root, const std::string& subkey, unsigned access) override;
  int SetValue(RegKey key, const std::string& name, unsigned type, const std::string& bytes) override;
  int DeleteValue(RegKey key, const std::string& name) override;
  std::optional<RegValue> QueryValue(RegKey key, const std::string& name) override;
  void CloseKey(RegKey key) override;

  // Test helpers.
  void AddKey(RegKey root, const std::string& path);
  void RemoveKey(RegKey root, const std::string& path);
  void Put(RegKey root, const std::string& path, const std::string& name, RegValue value);
  std::optional<RegValue> Get(RegKey root, const std::string& path, const std::string& name) const;
  std::size_t ValueCount(RegKey root, const std::string& path) const;

  struct Open {
    RegKey root;
    std::string subkey;  // as asked for
    unsigned access;
  };
  std::vector<Open> opens;
  std::vector<std::string> calls;  // "open", "set <name>", "delete <name>", "query <name>", "close"
  std::set<RegKey> openKeys;       // handed out and not yet closed
  bool denyWrite = false;          // opening with more than read rights fails, as without admin rights
  bool failSet = false;            // the key opens, but writes fail
  std::function<void()> onOpen;    // runs at each OpenKey, before it answers

 private:
  static std::string Path(RegKey root, const std::string& subkey);
  std::map<std::string, std::map<std::string, RegValue>> keys_;  // lower-case path -> lower-case name
  std::map<RegKey, std::string> handles_;
  RegKey next_ = 0x100;
};

// A Task Scheduler library of log-on tasks by name.
class FakeLogonTask : public LogonTask {
 public:
  struct Task {
    std::string program, arguments, workingDir;
  };
  void Register(const std::string& name, const std::string& program, const std::string& arguments,
                const std::string& workingDir) override;
  void Delete(const std::string& name) override;
  bool Exists(const std::string& name) override;

  std::map<std::string, Task> tasks;
  std::optional<AppError> failure;  // thrown by every call while set
  std::vector<std::string> calls;   // "register", "delete", "exists"
};

}  // namespace nv::test

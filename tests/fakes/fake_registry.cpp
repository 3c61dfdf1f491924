#include "fakes/fake_registry.h"

#include <cctype>

namespace nv::test {

namespace {
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
constexpr unsigned kReadRights = kKeyQueryValue | kKeyWow64_64Key;
}  // namespace

FakeRegistry::FakeRegistry() {
  AddKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  AddKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System");
}

std::string FakeRegistry::Path(RegKey root, const std::string& subkey) {
  std::string path = Lower(subkey);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return std::to_string(root) + "\\" + path;
}

std::optional<RegKey> FakeRegistry::OpenKey(RegKey root, const std::string& subkey, unsigned access) {
  if (onOpen) onOpen();
  opens.push_back({root, subkey, access});
  calls.push_back("open");
  const std::string path = Path(root, subkey);
  if (!keys_.count(path)) return std::nullopt;
  if (denyWrite && (access & ~kReadRights)) return std::nullopt;
  const RegKey key = next_++;
  handles_[key] = path;
  openKeys.insert(key);
  return key;
}

int FakeRegistry::SetValue(RegKey key, const std::string& name, unsigned type, const std::string& bytes) {
  calls.push_back("set " + name);
  if (!openKeys.count(key)) return 6;  // ERROR_INVALID_HANDLE
  if (failSet) return 5;               // ERROR_ACCESS_DENIED
  keys_[handles_[key]][Lower(name)] = {type, bytes};
  return kRegSuccess;
}

int FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  calls.push_back("delete " + name);
  if (!openKeys.count(key)) return 6;
  if (failSet) return 5;
  return keys_[handles_[key]].erase(Lower(name)) ? kRegSuccess : kRegFileNotFound;
}

std::optional<RegValue> FakeRegistry::QueryValue(RegKey key, const std::string& name) {
  calls.push_back("query " + name);
  if (!openKeys.count(key)) return std::nullopt;
  const auto& values = keys_[handles_[key]];
  auto it = values.find(Lower(name));
  if (it == values.end()) return std::nullopt;
  return it->second;
}

void FakeRegistry::CloseKey(RegKey key) {
  calls.push_back("close");
  openKeys.erase(key);
}

void FakeRegistry::AddKey(RegKey root, const std::string& path) { keys_[Path(root, path)]; }

void FakeRegistry::RemoveKey(RegKey root, const std::string& path) { keys_.erase(Path(root, path)); }

void FakeRegistry::Put(RegKey root, const std::string& path, const std::string& name, RegValue value) {
  keys_[Path(root, path)][Lower(name)] = std::move(value);
}

std::optional<RegValue> FakeRegistry::Get(RegKey root, const std::string& path,
                                          const std::string& name) const {
  auto key = keys_.find(Path(root, path));
  if (key == keys_.end()) return std::nullopt;
  auto it = key->second.find(Lower(name));
  if (it == key->second.end()) return std::nullopt;
  return it->second;
}

std::size_t FakeRegistry::ValueCount(RegKey root, const std::string& path) const {
  auto key = keys_.find(Path(root, path));
  return key == keys_.end() ? 0 : key->second.size();
}

void FakeLogonTask::Register(const std::string& name, const std::string& program,
                             const std::string& arguments, const std::string& workingDir) {
  calls.push_back("register");
  if (failure) throw *failure;
  tasks[name] = {program, arguments, workingDir};
}

void FakeLogonTask::Delete(const std::string& name) {
  calls.push_back("delete");
  if (failure) throw *failure;
  tasks.erase(name);
}

bool FakeLogonTask::Exists(const std::string& name) {
  calls.push_back("exists");
  if (failure) throw *failure;
  return tasks.count(name) > 0;
}

}  // namespace nv::test

#include "settings/start_with_windows.h"

#include "platform/files.h"
#include "platform/logon_task.h"
#include "store/paths.h"
#include "store/store.h"

namespace nv {

namespace {
constexpr char kRunValuePath[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\Norvane.exe";

std::optional<RegValue> ReadRunValue(Registry& registry) {
  auto key = registry.OpenKey(kHkeyLocalMachine, kRunSubkey, kKeyQueryValue);
  if (!key) return std::nullopt;
  auto value = registry.QueryValue(*key, kRunValueName);
  registry.CloseKey(*key);
  return value;
}

std::string WithoutTrailingNuls(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}
}  // namespace

std::string ExecutablePath(const std::string& programFolder) {
  std::string path = programFolder;
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + "Norvane.exe";
}

bool RunValuePresent(Registry& registry) { return ReadRunValue(registry).has_value(); }

StartWithWindows::StartWithWindows(Store& store, Registry& registry, LogonTask& tasks)
    : store_(store), registry_(registry), tasks_(tasks), reg_(registry) {}

// The registry answers first: it is quicker to ask than the Task Scheduler.
bool StartWithWindows::Registered() {
  if (RunValuePresent(registry_)) return true;
  try {
    return tasks_.Exists(kLogonTaskName);
  } catch (const AppError&) {
    return false;  // no Task Scheduler to ask
  }
}

// The marker file comes first and is the only failure the caller sees.
void StartWithWindows::Update(bool startWithWindows) {
  store_.ReplaceFile(store_.Path(paths::kStartIni), startWithWindows ? "1\r\n" : "0\r\n");
  const std::string exe = ExecutablePath(store_.ProgramFolder());
  if (startWithWindows)
    reg_.SetRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName, exe, kRegSz);
  else
    reg_.DeleteRegistryValue(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  CheckRunValue(startWithWindows, exe);
  UpdateTask(startWithWindows, exe);
}

// RegStuff reports nothing, so the outcome is read back for the log.
void StartWithWindows::CheckRunValue(bool wanted, const std::string& exe) {
  const auto value = ReadRunValue(registry_);
  if (!wanted && value)
    LogOnce(AppError(err::kPermissionDenied, std::string("Could not remove ") + kRunValuePath));
  if (wanted && (!value || value->type != kRegSz || WithoutTrailingNuls(value->bytes) != exe))
    LogOnce(AppError(err::kPermissionDenied, std::string("Could not write ") + kRunValuePath));
}

void StartWithWindows::UpdateTask(bool wanted, const std::string& exe) {
  try {
    if (wanted)
      tasks_.Register(kLogonTaskName, exe, kLogonArgument, store_.ProgramFolder());
    else
      tasks_.Delete(kLogonTaskName);
  } catch (const AppError& e) {
    LogOnce(e);
  }
}

void StartWithWindows::LogOnce(const AppError& e) {
  if (logged_.insert(std::to_string(e.number) + ":" + e.description).second) store_.LogError(e);
}

}  // namespace nv

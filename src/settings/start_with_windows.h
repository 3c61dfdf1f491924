#pragma once
#include <set>
#include <string>

#include "platform/errors.h"
#include "settings/reg_stuff.h"
#include "settings/startup_registration.h"

namespace nv {

class LogonTask;
class Store;

inline constexpr char kRunSubkey[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
inline constexpr char kRunValueName[] = "Norvane.exe";
inline constexpr char kLogonTaskName[] = "Norvane";
// The one argument the log-on task starts the program with.
inline constexpr char kLogonArgument[] = "/logon";

// The program folder, a "\" unless it already ends with one, and "Norvane.exe".
std::string ExecutablePath(const std::string& programFolder);
// True when the Run key holds the program's value (in this build's registry view).
bool RunValuePresent(Registry& registry);

// Start with Windows: the marker file "\start.ini", the Run value under
// HKEY_LOCAL_MACHINE and the log-on task, kept in step with one choice.
class StartWithWindows : public StartupRegistration {
 public:
  StartWithWindows(Store& store, Registry& registry, LogonTask& tasks);

  // Either record counts: a registration that only half survived still shows
  // as chosen, so the next Apply mends it instead of removing the rest.
  bool Registered() override;
  void Update(bool startWithWindows) override;

 private:
  void CheckRunValue(bool wanted, const std::string& exe);
  void UpdateTask(bool wanted, const std::string& exe);
  // Each distinct failure reaches "\err.log" once per run, however often Apply repeats it.
  void LogOnce(const AppError& e);

  Store& store_;
  Registry& registry_;
  LogonTask& tasks_;
  RegStuff reg_;
  std::set<std::string> logged_;
};

}  // namespace nv

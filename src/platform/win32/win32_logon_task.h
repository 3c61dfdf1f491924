#pragma once
#include "platform/logon_task.h"

namespace nv {

// Log-on tasks through the Task Scheduler 2.0 COM interfaces.
class Win32LogonTask : public LogonTask {
 public:
  void Register(const std::string& name, const std::string& program, const std::string& arguments,
                const std::string& workingDir) override;
  void Delete(const std::string& name) override;
  bool Exists(const std::string& name) override;
};

}  // namespace nv

#pragma once
#include <string>

namespace nv {

// Tasks in the root folder of the Task Scheduler library that start a program
// when the current user logs on, with that user's highest rights. A program
// that asks for administrator rights is skipped in the Run key while UAC is
// on; such a task starts it all the same. Failures throw AppError.
class LogonTask {
 public:
  virtual ~LogonTask() = default;
  // Creates the task, or replaces one of the same name.
  virtual void Register(const std::string& name, const std::string& program,
                        const std::string& arguments, const std::string& workingDir) = 0;
  // Removes the task; a task that does not exist is no failure.
  virtual void Delete(const std::string& name) = 0;
  virtual bool Exists(const std::string& name) = 0;
};

}  // namespace nv

#pragma once
#include <string>

namespace nv {

// ShellExecute: opens a document or address with the program registered
// for it. A program started by an elevated process runs elevated too, so
// the shell of the user's desktop can carry the request out instead.
class Shell {
 public:
  virtual ~Shell() = default;
  // From this process: what starts runs with this process's rights.
  virtual void Execute(const std::string& verb, const std::string& file, const std::string& params,
                       const std::string& dir, int show) = 0;
  // Whether this process runs with an administrator's full (elevated) token.
  virtual bool Elevated() = 0;
  // The same request carried out by the desktop's own shell, which runs
  // unelevated for the user who is logged on. False when no desktop shell
  // could take it (none running, or it refused).
  virtual bool ExecuteAsDesktopUser(const std::string& verb, const std::string& file, const std::string& params,
                                    const std::string& dir, int show) = 0;
};

}  // namespace nv

#pragma once
#include <optional>
#include <string>
#include <vector>

namespace nv {

// Process-level services of the operating system.
class System {
 public:
  virtual ~System() = default;
  // The folder that holds the executable, without a trailing backslash.
  virtual std::string ProgramFolder() = 0;
  // The command-line arguments after the program's own name.
  virtual std::vector<std::string> Arguments() = 0;
  // GetWindowsDirectoryA with a buffer of maxChars: "" when it reports 0.
  virtual std::string WindowsDirectory(unsigned maxChars) = 0;
  // The path of a shell special folder (CSIDL number), cut at the first NUL,
  // or nothing when the shell cannot resolve it.
  virtual std::optional<std::string> SpecialFolder(int csidl) = 0;
  // GetUserNameA's raw answer (up to maxChars), or "" on failure.
  virtual std::string UserName(unsigned maxChars) = 0;
  // Claims the program's named mutex; false when another instance holds it.
  virtual bool ClaimSingleInstance() = 0;
  // Ends the process at once (timers, windows and sockets end with it).
  virtual void EndProcess() = 0;
};

}  // namespace nv

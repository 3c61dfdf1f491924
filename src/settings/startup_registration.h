#pragma once

namespace nv {

// Start with Windows as the settings dialog sees it: Check1 opens showing
// Registered(), and the third step of Apply calls Update() with its state.
class StartupRegistration {
 public:
  virtual ~StartupRegistration() = default;
  // True when the program is registered to start at log-on.
  virtual bool Registered() = 0;
  // Writes "\start.ini" first, then the registry and the log-on task.
  // Throws AppError when the marker file cannot be written; a registry or
  // task failure is not the caller's concern and is not thrown.
  virtual void Update(bool startWithWindows) = 0;
};

}  // namespace nv

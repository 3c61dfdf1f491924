#pragma once
#include <string>
#include <vector>

namespace nv {

class Registry;
class System;

// The first thing start-up decides: what to do about an earlier instance.
enum class StartGate {
  Go,          // this is the only instance: start up
  Refuse,      // the "Already running" box, then end
  EndQuietly,  // end at once, without a box
};

// A start by the log-on task (the one argument "/logon") never shows the box.
// Where UAC is off Windows also runs the Run value at log-on, so the task's
// start gives way to it at once, before it claims the single-instance mutex,
// and the two starts can never refuse each other. Any other start claims the
// mutex and is refused with the box when another instance holds it.
StartGate PassStartGate(System& system, Registry& registry);

bool StartedAtLogon(const std::vector<std::string>& arguments);
// EnableLUA 0 in the machine's UAC policy (read from the native registry view).
// A missing value means UAC is on, as it is by default.
bool UacOff(Registry& registry);

}  // namespace nv

#pragma once
#include <string>

namespace nv {

class Clock;
class System;

// The texts the log lines carry.

// The system's general date form: short date, a space and the long time, in
// the user's regional settings; at exactly midnight the time is left out.
std::string GeneralDateText(Clock& clock);

// The current user's login name, cut at the first NUL and trimmed of spaces.
std::string GetLoginName(System& system);

}  // namespace nv

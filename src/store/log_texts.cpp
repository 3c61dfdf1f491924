#include "store/log_texts.h"

#include "platform/clock.h"
#include "platform/system.h"
#include "store/list_file.h"

namespace nv {

std::string GeneralDateText(Clock& clock) {
  const LocalTime t = clock.Now();
  std::string text = clock.ShortDate(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    text += ' ';
    text += clock.LongTime(t);
  }
  return text;
}

std::string GetLoginName(System& system) {
  std::string raw = system.UserName(255);
  if (auto nul = raw.find('\0'); nul != std::string::npos) raw.resize(nul);
  return std::string(TrimSpaces(raw));
}

}  // namespace nv

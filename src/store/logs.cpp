#include "store/logs.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "store/list_file.h"
#include "store/store.h"

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

void PlaySoundFile(Sound& sound, const std::string& path) {
  sound.Play(path, kSoundNoDefault | kSoundAsync);
}

std::string ErrorBoxText(const AppError& e) { return std::to_string(e.number) + " : " + e.description; }

void ShowErrorBox(Dialogs& dialogs, const AppError& e, WindowHandle owner) {
  dialogs.Show(ErrorBoxText(e), "Error", kBoxOk | kBoxCritical, owner);
}

void ReportError(Dialogs& dialogs, Store& store, const AppError& e, WindowHandle owner) {
  ShowErrorBox(dialogs, e, owner);
  store.LogError(e);
}

}  // namespace nv

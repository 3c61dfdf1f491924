#pragma once
#include <string>

#include "platform/desktop.h"
#include "platform/errors.h"

namespace nv {

class Clock;
class Dialogs;
class Sound;
class System;
class Store;

// The system's general date form: short date, a space and the long time, in
// the user's regional settings; at exactly midnight the time is left out.
std::string GeneralDateText(Clock& clock);

// The current user's login name, cut at the first NUL and trimmed of spaces.
std::string GetLoginName(System& system);

// Plays a WAV file without a default sound when it is missing. It does not
// wait for the sound to end, so the message loop never stalls on it.
void PlaySoundFile(Sound& sound, const std::string& path);

// "53 : File not found".
std::string ErrorBoxText(const AppError& e);
// The error box: number, " : ", description; critical icon, title "Error".
// owner: the window whose handler failed (0: none).
void ShowErrorBox(Dialogs& dialogs, const AppError& e, WindowHandle owner = 0);
// The error box, then the "\err.log" entry: the usual handling of a trap.
void ReportError(Dialogs& dialogs, Store& store, const AppError& e, WindowHandle owner = 0);

}  // namespace nv

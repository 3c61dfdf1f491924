#include "popups/popup_scanner.h"

#include <cstring>

#include "platform/sound.h"
#include "platform/text.h"
#include "popups/log_trap.h"
#include "store/paths.h"

namespace nv {

namespace {
// Class names are read into room for 15 bytes (the window) and 8 bytes (its
// first child); only these prefixes are compared, case-sensitively.
constexpr int kWindowClassRoom = 15;
constexpr int kChildClassRoom = 8;

template <std::size_t N>
bool StartsWith(const char* buffer, const char (&prefix)[N]) {
  return std::memcmp(buffer, prefix, N - 1) == 0;
}
}  // namespace

void ScanState::Reset() {
  hwndFore = 0;
  hwndChild = 0;
  std::memset(className, ' ', sizeof className);
  kept = false;
}

PopupScanner::~PopupScanner() { CancelPending(); }

void PopupScanner::killpopups(bool enabled) {
  if (pending_ == Pending::Caption) CancelPending();
  lstpops.Clear();
  if (!enabled || !AllowListFromSettings()) return;
  s_.store.LoadListFile(lstpops, s_.store.Path(paths::kPopupsList));
}

// AllPops 0 means the allow list is in use; any other number, and no value at
// all, closes every popup. Text that is no whole number counts as that
// default and is logged, so a damaged value can be found.
bool PopupScanner::AllowListFromSettings() {
  try {
    return s_.settings.GetNumber(keys::kSettings, keys::kAllPops, 1) == 0;
  } catch (const AppError& e) {
    s_.store.LogError(e);
    return false;
  }
}

void PopupScanner::PopupStep() {
  if (CheckPending()) return;
  if (!FindToolbarlessWindow()) return;
  if (lstpops.Empty())
    CloseNow();
  else
    CheckCaptionLater();
}

// A browser or folder window in front whose first child, the toolbar host
// "WorkerW", is hidden. Without a child the buffer still holds the window's
// own class, which never reads "WorkerW".
bool PopupScanner::FindToolbarlessWindow() {
  Desktop& desktop = *s_.platform.desktop;
  scan.hwndFore = desktop.ForegroundWindow();
  desktop.ClassName(scan.hwndFore, scan.className, kWindowClassRoom);
  if (!StartsWith(scan.className, "IEFrame") && !StartsWith(scan.className, "CabinetWClass"))
    return false;
  if (!desktop.IsVisible(scan.hwndFore)) return false;
  scan.hwndChild = desktop.FirstChild(scan.hwndFore);
  desktop.ClassName(scan.hwndChild, scan.className, kChildClassRoom);
  return StartsWith(scan.className, "WorkerW") && !desktop.IsVisible(scan.hwndChild);
}

// A new window gets its title a moment after it appears: read it later.
void PopupScanner::CheckCaptionLater() {
  pendingWindow_ = scan.hwndFore;
  Resume(Pending::Caption, kTitleWaitMs, &PopupScanner::CheckCaption);
}

// Only a close request that reached the window is counted: a popup that went
// away by itself during the wait was not blocked by us.
void PopupScanner::CheckCaption() {
  const std::string caption = s_.platform.desktop->Caption(pendingWindow_, kCaptionBuffer);
  scan.kept = CaptionAllowed(caption);
  if (scan.kept) return;
  if (s_.platform.desktop->PostClose(pendingWindow_)) s_.counters.Increment(BlockedPopupsCount);
}

bool PopupScanner::CaptionAllowed(const std::string& caption) {
  TextCompare& text = *s_.platform.text;
  for (const std::string& entry : lstpops.Items())
    if (text.FindNoCase(caption, entry) > 0) return true;
  return false;
}

// Every popup goes: ask it to close, give it a moment, then count it and play
// the sound (which does not wait for the sound to end).
void PopupScanner::CloseNow() {
  pendingWindow_ = scan.hwndFore;
  if (s_.platform.desktop->PostClose(pendingWindow_))
    Resume(Pending::Count, kCloseSettleMs, &PopupScanner::CountClosed);
}

void PopupScanner::CountClosed() {
  s_.counters.Increment(BlockedPopupsCount);
  // Never waits for the sound, and a missing file plays nothing at all.
  s_.platform.sound->Play(s_.store.Path(paths::kPopupSound), kSoundNoDefault | kSoundAsync);
}

void PopupScanner::Resume(Pending stage, unsigned ms, void (PopupScanner::*step)()) {
  timer_ = s_.platform.timers->StartOnce(ms, [this, step] {
    timer_ = 0;
    RunLoggingFailures(s_.store, [&] { (this->*step)(); });
    pending_ = Pending::None;
    pendingWindow_ = 0;
  });
  pending_ = stage;  // only once the timer runs, or the step would wait forever
}

void PopupScanner::CancelPending() {
  if (timer_ != 0) s_.platform.timers->Cancel(timer_);
  timer_ = 0;
  pending_ = Pending::None;
  pendingWindow_ = 0;
}

}  // namespace nv

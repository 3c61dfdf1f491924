#pragma once
#include "platform/desktop.h"
#include "platform/timers.h"
#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// What one tick found out about the foreground window. Reset at the start of
// every tick; the class buffer keeps whatever the last read left in it, so a
// window without children still shows its own class where the child's should be.
struct ScanState {
  WindowHandle hwndFore = 0;
  WindowHandle hwndChild = 0;
  char className[16];
  bool kept = false;

  ScanState() { Reset(); }
  void Reset();
};

// Closes toolbar-less browser and folder windows in the foreground unless
// their caption holds an entry of the popup allow list.
//
// The two pauses of a check (500 ms for a new window to get its title before
// the caption is read, 100 ms after a close before it is counted) are
// one-shot timers: the step returns at once and the check resumes from the
// message loop, so the web server and the tray never wait for it. While a
// check is pending, further ticks leave the desktop alone, as they would
// have while the pause held the thread.
class PopupScanner {
 public:
  explicit PopupScanner(Services& services) : s_(services) {}
  ~PopupScanner();
  PopupScanner(const PopupScanner&) = delete;
  PopupScanner& operator=(const PopupScanner&) = delete;

  // Clears lstpops; when enabled and AllPops is 0, loads "\data\popups.svr".
  // Drops a caption check still waiting: it was made against the old list.
  void killpopups(bool enabled);
  void ResetScanState() { scan.Reset(); }
  void PopupStep();
  bool CheckPending() const { return pending_ != Pending::None; }

  ListBox lstpops;
  ScanState scan;

  static constexpr unsigned kTitleWaitMs = 500;
  static constexpr unsigned kCloseSettleMs = 100;
  static constexpr int kCaptionBuffer = 100;

 private:
  enum class Pending { None, Caption, Count };

  bool FindToolbarlessWindow();
  void CheckCaptionLater();
  void CheckCaption();
  void CloseNow();
  void CountClosed();
  bool CaptionAllowed(const std::string& caption);
  void Resume(Pending stage, unsigned ms, void (PopupScanner::*step)());
  void CancelPending();
  bool AllowListFromSettings();

  Services& s_;
  Pending pending_ = Pending::None;
  WindowHandle pendingWindow_ = 0;
  Timers::Id timer_ = 0;
};

}  // namespace nv

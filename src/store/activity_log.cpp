#include "store/activity_log.h"

#include "platform/files.h"
#include "platform/platform.h"
#include "store/list_file.h"
#include "store/store.h"

namespace nv {

ActivityLog::ActivityLog(Store& store, Platform& platform, std::string path)
    : store_(store), platform_(platform), path_(std::move(path)) {}

ActivityLog::~ActivityLog() { Close(); }

void ActivityLog::Write(const std::string& entry) {
  std::string bytes = FormatListFile({entry});
  if (file_ && !file_->StillNamed()) Close();
  if (!file_ && !Open(bytes)) return;
  try {
    file_->Write(bytes);
    wroteSinceTimer_ = true;
  } catch (const AppError& e) {
    store_.LogError(e);
  }
}

// A log created here starts as the file of an empty list, in the same write
// as its first entry, so no reader ever sees it without that entry.
bool ActivityLog::Open(std::string& bytes) {
  bool created = false;
  try {
    file_ = store_.files().OpenAppend(path_, created);
  } catch (const AppError& e) {
    if (store_.files().Size(path_) < 0) throw;
    store_.LogError(e);
    return false;
  }
  if (created) bytes.insert(0, FormatListFile({}));
  StartIdleTimer();
  return true;
}

void ActivityLog::Close() {
  if (idleTimer_ != 0 && platform_.timers) platform_.timers->Cancel(idleTimer_);
  idleTimer_ = 0;
  file_.reset();
}

void ActivityLog::StartIdleTimer() {
  if (!platform_.timers) return;
  wroteSinceTimer_ = false;
  idleTimer_ = platform_.timers->StartOnce(kIdleCloseMs, [this] { OnIdleTimer(); });
}

// One timer per second of activity, rather than one per entry.
void ActivityLog::OnIdleTimer() {
  idleTimer_ = 0;
  if (wroteSinceTimer_) StartIdleTimer();
  else Close();
}

}  // namespace nv

#pragma once
#include <memory>
#include <string>

#include "platform/append_file.h"
#include "platform/timers.h"

namespace nv {

struct Platform;
class Store;

// An activity log written at the rate of a busy server: kept open between
// entries, each entry appended with one write before the caller goes on (so
// an entry is in the file once its work is answered, whatever happens to the
// process after). A log the user deleted or renamed is noticed at the next
// entry, closed and created anew. After a second without entries the file is
// closed, so that a deletion the system can only carry out once the file is
// closed by everyone takes effect then.
class ActivityLog {
 public:
  // Files are the store's; without platform timers the file stays open
  // until Close.
  ActivityLog(Store& store, Platform& platform, std::string path);
  ~ActivityLog();
  ActivityLog(const ActivityLog&) = delete;
  ActivityLog& operator=(const ActivityLog&) = delete;

  // Appends the entry in the list-file format; a new log starts as the file
  // of an empty list. A log that is missing and cannot be created throws;
  // any other failure is logged and the entry dropped.
  void Write(const std::string& entry);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  static constexpr unsigned kIdleCloseMs = 1000;

 private:
  bool Open(std::string& bytes);
  void StartIdleTimer();
  void OnIdleTimer();

  Store& store_;
  Platform& platform_;
  std::string path_;
  std::unique_ptr<AppendFile> file_;
  Timers::Id idleTimer_ = 0;
  bool wroteSinceTimer_ = false;
};

}  // namespace nv

#include "platform/win32/win32_change_watch.h"

#include <utility>

namespace nv {

Win32ChangeWatch::Win32ChangeWatch(std::string folder, DWORD filter)
    : folder_(std::move(folder)), filter_(filter), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32ChangeWatch::~Win32ChangeWatch() {
  Close();
  if (done_) CloseHandle(done_);
}

bool Win32ChangeWatch::Changed() {
  if (givenUp_) return true;
  if (dir_ == INVALID_HANDLE_VALUE) {
    // A folder that opens but takes no request (some network shares) is
    // asked by path from then on; retrying would cost an open per call.
    if (Open() && !Arm()) {
      Close();
      givenUp_ = true;
    }
    return true;
  }
  if (!Completed()) return false;
  if (!Arm()) Close();
  return true;
}

bool Win32ChangeWatch::Open() {
  if (!done_) return false;
  dir_ = CreateFileA(folder_.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  return dir_ != INVALID_HANDLE_VALUE;
}

bool Win32ChangeWatch::Arm() {
  ov_ = OVERLAPPED{};
  ov_.hEvent = done_;
  armed_ = ReadDirectoryChangesW(dir_, records_, sizeof records_, FALSE, filter_, nullptr, &ov_, nullptr) != FALSE;
  return armed_;
}

// HasOverlappedIoCompleted, read through volatile: the system (or, under
// Wine, an APC on this thread) writes the word behind the compiler's back.
bool Win32ChangeWatch::Completed() const {
  return *static_cast<const volatile ULONG_PTR*>(&ov_.Internal) != STATUS_PENDING;
}

// A pending request writes into records_ and ov_ when it ends, so it is
// cancelled and waited for before they can go.
void Win32ChangeWatch::Close() {
  if (dir_ == INVALID_HANDLE_VALUE) return;
  if (armed_ && !Completed()) {
    DWORD bytes = 0;
    CancelIoEx(dir_, &ov_);
    GetOverlappedResult(dir_, &ov_, &bytes, TRUE);
  }
  armed_ = false;
  CloseHandle(dir_);
  dir_ = INVALID_HANDLE_VALUE;
}

}  // namespace nv

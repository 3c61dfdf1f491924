#pragma once
#include <windows.h>

#include <string>

namespace nv {

// One folder watched by an overlapped ReadDirectoryChangesW. Asking whether
// anything changed reads the request's status word and makes no system
// call, so it is cheap enough to ask before every ad reply. The object must
// not move while a request is pending: keep it behind a pointer.
class Win32ChangeWatch {
 public:
  // filter: FILE_NOTIFY_CHANGE_* flags. Nothing is opened until Changed().
  Win32ChangeWatch(std::string folder, DWORD filter);
  ~Win32ChangeWatch();
  Win32ChangeWatch(const Win32ChangeWatch&) = delete;
  Win32ChangeWatch& operator=(const Win32ChangeWatch&) = delete;

  // True on the first call, whenever a change was seen since the previous
  // true, and always for a folder that cannot be watched. The request is
  // made again before it answers true, so a change made while the caller
  // looks is seen by the next call. A folder that is missing, or went away,
  // is opened again on the next call.
  bool Changed();

 private:
  bool Open();
  bool Arm();
  bool Completed() const;
  void Close();

  std::string folder_;
  DWORD filter_;
  HANDLE dir_ = INVALID_HANDLE_VALUE;
  HANDLE done_;
  OVERLAPPED ov_{};
  bool armed_ = false;
  bool givenUp_ = false;
  // What changed is never read: an overflow completes the request just the same.
  alignas(DWORD) char records_[256];
};

}  // namespace nv

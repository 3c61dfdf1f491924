#include <windows.h>

#include "platform/win32/win32_change_watch.h"
#include "platform/win32/win32_files.h"

namespace nv {

namespace {

// Kept open with every sharing right, so the user can read, rename or delete
// the file at any time; FILE_APPEND_DATA alone makes each write land at the
// end, also behind another writer's.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32AppendFile : public AppendFile {
 public:
  Win32AppendFile(HANDLE h, std::string path, std::int64_t size)
      : h_(h), path_(std::move(path)), end_(size), names_(FolderOf(path_), FILE_NOTIFY_CHANGE_FILE_NAME) {}
  ~Win32AppendFile() override { CloseHandle(h_); }
  Win32AppendFile(const Win32AppendFile&) = delete;
  Win32AppendFile& operator=(const Win32AppendFile&) = delete;

  void Write(std::string_view bytes) override {
    WriteAllToFile(h_, bytes);
    end_ += static_cast<std::int64_t>(bytes.size());
  }

  // Asked before each entry, so it must cost next to nothing. While the
  // folder reports no renamed, deleted or created name, the handle alone is
  // asked (a delete that waits for the last handle leaves the name in place
  // and reports nothing). Otherwise the path is asked, as below.
  bool StillNamed() override {
    if (!names_.Changed()) return Linked();
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &d)) return false;
    const std::int64_t size = (static_cast<std::int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    if (size == end_) return true;
    // The sizes differ: another program appended, or the path names another file.
    FILE_STANDARD_INFO info{};
    if (!Info(info) || info.EndOfFile.QuadPart != size) return false;
    end_ = size;
    return true;
  }

 private:
  // The handle's own view; false also once a delete of the file is pending.
  bool Info(FILE_STANDARD_INFO& info) {
    return GetFileInformationByHandleEx(h_, FileStandardInfo, &info, sizeof info) && !info.DeletePending;
  }
  bool Linked() {
    FILE_STANDARD_INFO info{};
    return Info(info) && info.NumberOfLinks > 0;
  }

  HANDLE h_;
  std::string path_;
  std::int64_t end_;
  Win32ChangeWatch names_;
};

}  // namespace

std::unique_ptr<AppendFile> Win32Files::OpenAppend(const std::string& path, bool& created) {
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    throw err::PathFileAccess();
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw FileErrorFromLastError();
  created = GetLastError() != ERROR_ALREADY_EXISTS;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    const AppError e = FileErrorFromLastError();
    CloseHandle(h);
    throw e;
  }
  return std::make_unique<Win32AppendFile>(h, path, size.QuadPart);
}

}  // namespace nv

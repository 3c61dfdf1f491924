#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/file_pattern.h"

namespace nv {

AppError FileErrorFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return err::FileNotFound();
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return err::PermissionDenied();
    default:
      return err::PathFileAccess();
  }
}

void WriteAllToFile(void* handle, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      throw FileErrorFromLastError();
    done += written;
  }
}

namespace {

// Closes the handle on every way out.
struct Handle {
  HANDLE h;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};


}  // namespace

std::string Win32Files::ReadAll(const std::string& path) {
  Handle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.h == INVALID_HANDLE_VALUE) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) throw err::PathFileAccess();
    throw FileErrorFromLastError();
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.h, &size)) throw FileErrorFromLastError();
  std::string out(static_cast<size_t>(size.QuadPart), '\0');
  size_t got = 0;
  while (got < out.size()) {
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - got, 1u << 20));
    if (!ReadFile(f.h, out.data() + got, want, &n, nullptr)) throw FileErrorFromLastError();
    if (n == 0) break;
    got += n;
  }
  out.resize(got);
  return out;
}

// The new content goes to a temporary file beside the target, which is then
// moved over it in one step: readers and a crash see the old or the new file,
// never a partial one.
void Win32Files::WriteAtomic(const std::string& path, const std::string& bytes) {
  const DWORD old = GetFileAttributesA(path.c_str());
  if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    throw err::PathFileAccess();
  const std::string tmp = path + ".nvtmp" + std::to_string(GetCurrentProcessId());
  {
    Handle f(CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.h == INVALID_HANDLE_VALUE) throw FileErrorFromLastError();
    try {
      WriteAllToFile(f.h, bytes);
      FlushFileBuffers(f.h);
    } catch (...) {
      CloseHandle(f.h);
      f.h = INVALID_HANDLE_VALUE;
      DeleteFileA(tmp.c_str());
      throw;
    }
  }
  if (!MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileA(tmp.c_str());
    // Another program reading the target at this moment (the resolver, a
    // scanner): the caller may try again.
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION)
      throw FileInUseError();
    SetLastError(error);
    throw FileErrorFromLastError();
  }
  if (old != INVALID_FILE_ATTRIBUTES && old != FILE_ATTRIBUTE_NORMAL)
    SetFileAttributesA(path.c_str(), old);
}

void Win32Files::Append(const std::string& path, const std::string& bytes) {
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    throw err::PathFileAccess();
  Handle f(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.h == INVALID_HANDLE_VALUE) throw FileErrorFromLastError();
  WriteAllToFile(f.h, bytes);
}

unsigned Win32Files::GetAttributes(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) throw err::FileNotFound();
  return a & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory);
}

void Win32Files::SetAttributes(const std::string& path, unsigned attrs) {
  if (!SetFileAttributesA(path.c_str(), attrs == 0 ? FILE_ATTRIBUTE_NORMAL : attrs))
    throw FileErrorFromLastError();
}

std::int64_t Win32Files::Size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return -1;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<std::int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool Win32Files::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::vector<std::string> Win32Files::List(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && NameMatchesPattern(fd.cFileName, pattern))
      names.emplace_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

bool Win32Files::CanOpenForRead(const std::string& path) {
  Handle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return f.h != INVALID_HANDLE_VALUE;
}

// A name whose attributes cannot be read for another reason (access denied,
// a file in use by the system) is there all the same.
bool Win32Files::Exists(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME &&
         error != ERROR_INVALID_DRIVE && error != ERROR_BAD_NETPATH && error != ERROR_BAD_PATHNAME;
}

}  // namespace nv

#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/file_pattern.h"

namespace nv {

std::string PosixFiles::Native(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

static AppError ErrorFromErrno() {
  if (errno == ENOENT || errno == ENOTDIR) return err::FileNotFound();
  if (errno == EACCES || errno == EPERM) return err::PermissionDenied();
  return err::PathFileAccess();
}

std::string PosixFiles::ReadAll(const std::string& path) {
  const std::string p = Native(path);
  int fd = ::open(p.c_str(), O_RDONLY);
  if (fd < 0) throw ErrorFromErrno();
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw err::PathFileAccess();
  }
  std::string out;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0) {
      ::close(fd);
      throw err::PathFileAccess();
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  ::close(fd);
  return out;
}

static void WriteFd(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) throw err::PathFileAccess();
    done += static_cast<size_t>(n);
  }
}

namespace {

// O_APPEND puts every write at the end, also behind another writer's.
class PosixAppendFile : public AppendFile {
 public:
  PosixAppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixAppendFile() override { ::close(fd_); }
  PosixAppendFile(const PosixAppendFile&) = delete;
  PosixAppendFile& operator=(const PosixAppendFile&) = delete;
  void Write(std::string_view bytes) override { WriteFd(fd_, bytes); }
  bool StillNamed() override {
    struct stat named {}, open {};
    return ::stat(path_.c_str(), &named) == 0 && ::fstat(fd_, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<AppendFile> PosixFiles::OpenAppend(const std::string& path, bool& created) {
  const std::string p = Native(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR)))
    throw err::PathFileAccess();
  int fd = ::open(p.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(p.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) throw ErrorFromErrno();
  return std::make_unique<PosixAppendFile>(fd, p);
}

void PosixFiles::WriteAtomic(const std::string& path, const std::string& bytes) {
  const std::string p = Native(path);
  struct stat st {};
  const bool exists = ::stat(p.c_str(), &st) == 0;
  if (exists && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) throw err::PathFileAccess();
  const std::string tmp = p + ".nvtmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, exists ? (st.st_mode & 07777) : 0644);
  if (fd < 0) throw ErrorFromErrno();
  try {
    WriteFd(fd, bytes);
  } catch (...) {
    ::close(fd);
    ::unlink(tmp.c_str());
    throw;
  }
  ::fsync(fd);
  ::close(fd);
  if (::rename(tmp.c_str(), p.c_str()) != 0) {
    ::unlink(tmp.c_str());
    throw err::PathFileAccess();
  }
}

void PosixFiles::Append(const std::string& path, const std::string& bytes) {
  const std::string p = Native(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR)))
    throw err::PathFileAccess();
  int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0) throw ErrorFromErrno();
  try {
    WriteFd(fd, bytes);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
}

unsigned PosixFiles::GetAttributes(const std::string& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) throw err::FileNotFound();
  unsigned a = kAttrNormal;
  if (S_ISDIR(st.st_mode)) a |= kAttrDirectory;
  if (!(st.st_mode & S_IWUSR)) a |= kAttrReadOnly;
  return a;
}

void PosixFiles::SetAttributes(const std::string& path, unsigned attrs) {
  const std::string p = Native(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) throw err::FileNotFound();
  mode_t mode = st.st_mode & 07777;
  mode = (attrs & kAttrReadOnly) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
  if (::chmod(p.c_str(), mode) != 0) throw ErrorFromErrno();
}

std::int64_t PosixFiles::Size(const std::string& path) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return st.st_size;
}

bool PosixFiles::Remove(const std::string& path) { return ::unlink(Native(path).c_str()) == 0; }

std::vector<std::string> PosixFiles::List(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  const std::string dir = Native(folder);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (::stat((dir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (NameMatchesPattern(name, pattern)) names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

bool PosixFiles::CanOpenForRead(const std::string& path) {
  int fd = ::open(Native(path).c_str(), O_RDONLY);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool PosixFiles::Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(Native(path).c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

}  // namespace nv

#include "platform/posix/posix_file_probe.h"

#include "platform/posix/posix_files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nv {

FileStamp PosixFileProbe::Stamp(const std::string& path) {
  struct stat st {};
  if (stat(PosixFiles::Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return {static_cast<std::int64_t>(st.st_size),
          static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
}

FileHold PosixFileProbe::Hold(const std::string& path) {
  const int fd = open(PosixFiles::Native(path).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileHold::Missing : FileHold::Denied;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;  // to the end of every possible file
  const bool held = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return held ? FileHold::InUse : FileHold::Free;
}

}  // namespace nv

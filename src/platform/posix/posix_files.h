#pragma once
#include "platform/files.h"

namespace nv {

// Real files on a POSIX system. Windows-style paths are mapped by turning
// backslashes into slashes. Only the read-only and folder attributes exist
// here (from the owner's write bit); hidden and system are not kept.
class PosixFiles : public Files {
 public:
  std::string ReadAll(const std::string& path) override;
  void WriteAtomic(const std::string& path, const std::string& bytes) override;
  void Append(const std::string& path, const std::string& bytes) override;
  std::unique_ptr<AppendFile> OpenAppend(const std::string& path, bool& created) override;
  unsigned GetAttributes(const std::string& path) override;
  void SetAttributes(const std::string& path, unsigned attrs) override;
  std::int64_t Size(const std::string& path) override;
  bool Remove(const std::string& path) override;
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) override;
  bool CanOpenForRead(const std::string& path) override;
  bool Exists(const std::string& path) override;

  static std::string Native(const std::string& path);
};

}  // namespace nv

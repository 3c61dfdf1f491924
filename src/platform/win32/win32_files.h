#pragma once
#include "platform/files.h"

namespace nv {

// The program's failure for the last Win32 file error: 53, 70 or 75.
AppError FileErrorFromLastError();
// Writes every byte to an open file handle; throws the error above.
void WriteAllToFile(void* handle, std::string_view bytes);

// Files through the ANSI Win32 calls.
class Win32Files : public Files {
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
};

}  // namespace nv

#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/append_file.h"
#include "platform/errors.h"

namespace nv {

// The folder a path names a file in: "." for a bare name, "C:\\" for a file
// at a drive's root (the drive letter alone would mean its current folder).
inline std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return ".";
  return path.substr(0, cut + (cut == 2 && path[1] == ':'));
}

// File attribute bits as the platform numbers them.
enum FileAttr : unsigned {
  kAttrNormal = 0,
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrSystem = 4,
  kAttrDirectory = 16,
};

// Whole-file operations on paths written the Windows way ("C:\dir\file").
// Each call opens, works and closes, but for OpenAppend. Failures throw AppError (53 missing,
// 75 not accessible, 70 denied).
class Files {
 public:
  virtual ~Files() = default;
  virtual std::string ReadAll(const std::string& path) = 0;
  // Replaces the file through a temporary file in the same folder and a move,
  // so readers never see a half-written file. Keeps the target's attributes.
  // A read-only target is refused with 75, as opening it for output would be.
  // One attempt: a target another program holds open throws FileInUseError
  // at once, and the caller decides whether to try again.
  virtual void WriteAtomic(const std::string& path, const std::string& bytes) = 0;
  // Appends, creating the file when missing.
  virtual void Append(const std::string& path, const std::string& bytes) = 0;
  // Opens the file for appending until the result is destroyed, creating it
  // when missing (created tells). Refused with 75 for a read-only file.
  virtual std::unique_ptr<AppendFile> OpenAppend(const std::string& path, bool& created) = 0;
  // Attributes of an existing file or folder; throws 53 when there is none.
  virtual unsigned GetAttributes(const std::string& path) = 0;
  virtual void SetAttributes(const std::string& path, unsigned attrs) = 0;
  // Size in bytes, or -1 when there is no such file.
  virtual std::int64_t Size(const std::string& path) = 0;
  // Returns false when there was nothing to delete or it could not be deleted.
  virtual bool Remove(const std::string& path) = 0;
  // Bare names of the files in folder whose own (long) names match a "*.ext"
  // pattern (NameMatchesPattern), in the order the platform lists them. Empty
  // when the folder cannot be listed.
  virtual std::vector<std::string> List(const std::string& folder, const std::string& pattern) = 0;
  // True when the file can be opened for reading (and is closed again).
  virtual bool CanOpenForRead(const std::string& path) = 0;
  // True when something of that name exists, whatever its attributes and
  // whether it can be opened; false only when there is nothing of that name.
  virtual bool Exists(const std::string& path) = 0;
};

}  // namespace nv

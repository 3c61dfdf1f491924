#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/files.h"

namespace nv::test {

// An in-memory file system with Windows path rules (case-insensitive, "\").
// Writes and reads can be made to fail per path; every write is counted.
class FakeFiles : public Files {
 public:
  struct Node {
    std::string bytes;
    unsigned attrs = kAttrNormal;
    unsigned id = 0;  // which file: a path written anew names a new one
  };

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

  // Test helpers.
  void Put(const std::string& path, const std::string& bytes, unsigned attrs = kAttrNormal);
  void MakeFolder(const std::string& path);
  bool Has(const std::string& path) const;
  std::string Get(const std::string& path) const;  // "" when missing
  unsigned Attrs(const std::string& path) const;
  std::set<std::string> failWrites;  // lower-case paths whose writes throw 70
  std::set<std::string> failReads;   // lower-case paths whose reads throw 75
  // Lower-case path -> how many more WriteAtomic calls find it held open by
  // another program (FileInUseError).
  std::map<std::string, int> heldOpen;
  int heldRefusals = 0;
  int writes = 0;
  // What open files wrote after their path was deleted or replaced.
  std::string lostWrites;
  int opens = 0;  // OpenAppend calls that opened a file

  static std::string Key(const std::string& path);

 private:
  class OpenFile;
  void CheckWritable(const std::string& key) const;
  Node& Create(const std::string& key, const std::string& path);
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> names_;  // key -> path as first written
  unsigned nextId_ = 1;
};

}  // namespace nv::test

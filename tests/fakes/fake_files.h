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
  };

  std::string ReadAll(const std::string& path) override;
  void WriteAtomic(const std::string& path, const std::string& bytes) override;
  void Append(const std::string& path, const std::string& bytes) override;
  unsigned GetAttributes(const std::string& path) override;
  void SetAttributes(const std::string& path, unsigned attrs) override;
  std::int64_t Size(const std::string& path) override;
  bool Remove(const std::string& path) override;
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) override;
  bool CanOpenForRead(const std::string& path) override;

  // Test helpers.
  void Put(const std::string& path, const std::string& bytes, unsigned attrs = kAttrNormal);
  void MakeFolder(const std::string& path);
  bool Has(const std::string& path) const;
  std::string Get(const std::string& path) const;  // "" when missing
  unsigned Attrs(const std::string& path) const;
  std::set<std::string> failWrites;  // lower-case paths whose writes throw 70
  std::set<std::string> failReads;   // lower-case paths whose reads throw 75
  int writes = 0;

  static std::string Key(const std::string& path);

 private:
  void CheckWritable(const std::string& key) const;
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> names_;  // key -> path as first written
};

}  // namespace nv::test

#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace nv::test {

// A fresh folder under /tmp, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/norvane-it-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace nv::test

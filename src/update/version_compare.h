#pragma once
#include <string>

namespace nv {

// "major.minor.revision" of this build, each number in plain decimal.
std::string LocalVersionString();

// What a fetched "application.ver" says about the running version.
enum class VersionAnswer {
  kEmpty,     // nothing but spaces and line ends: no answer
  kGarbage,   // not a version (an error page, a stray file): no answer either
  kNotNewer,  // the same version or an older one
  kNewer,
};

struct VersionCheck {
  VersionAnswer answer = VersionAnswer::kEmpty;
  std::string text;  // the fetched text without surrounding spaces and line ends
};

// Compares dot-separated numbers as numbers ("2.0.10" is newer than "2.0.9"),
// after trimming spaces, line ends and a UTF-8 byte-order mark; a missing
// number counts as 0, so "2.0.1.0" is the same as "2.0.1".
VersionCheck TestVersion(const std::string& fetched, const std::string& local = LocalVersionString());

}  // namespace nv

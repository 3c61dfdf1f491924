#pragma once
#include <string>

namespace nv {

class Files;

// Existence test in the manner of a directory listing with an attribute mask:
// a file is found when it is not a folder and every hidden or system bit it
// carries is in the mask. Read-only files are always found.
bool FileFound(Files& files, const std::string& path, unsigned mask);

}  // namespace nv

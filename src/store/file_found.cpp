#include "store/file_found.h"

#include "platform/files.h"

namespace nv {

bool FileFound(Files& files, const std::string& path, unsigned mask) {
  try {
    const unsigned attrs = files.GetAttributes(path);
    if (attrs & kAttrDirectory) return false;
    return (attrs & (kAttrHidden | kAttrSystem) & ~mask) == 0;
  } catch (const AppError&) {
    return false;
  }
}

}  // namespace nv

#include "app/frm_help.h"

#include "platform/files.h"

namespace nv {

HelpText LoadHelpText(Files& files, const std::string& path) {
  try {
    std::string bytes = files.ReadAll(path);
    if (bytes.rfind("{\\rtf", 0) == 0) return {std::move(bytes), true};
    return {"The help file " + path + " is not in rich text format.", false};
  } catch (const AppError&) {
    return {"The help file " + path + " could not be read.", false};
  }
}

}  // namespace nv

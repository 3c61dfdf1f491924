#pragma once
#include <string>

namespace nv {

class Files;

inline constexpr char kHelpCaption[] = "Help!";
inline constexpr char kHelpSiteLine[] = "For Online help, Please visit our site. ";

// What the help window's text box shows: the rich text of "help.rtf", or one
// plain line saying why it cannot be shown.
struct HelpText {
  std::string text;
  bool rtf = false;
};
HelpText LoadHelpText(Files& files, const std::string& path);

}  // namespace nv

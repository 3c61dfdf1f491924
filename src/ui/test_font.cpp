#include "ui/test_font.h"

namespace nv {

ShownText StripPrefixes(const std::string& caption) {
  ShownText out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && out.underline < 0) out.underline = static_cast<int>(out.text.size());
    }
    out.text += caption[i];
  }
  return out;
}

std::vector<TextLine> WrapFixed(const std::string& text, int maxChars) {
  std::vector<TextLine> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t hardEnd = text.find('\n', start);
    if (hardEnd == std::string::npos) hardEnd = text.size();
    size_t end = hardEnd;
    if (static_cast<int>(end - start) > maxChars) {
      size_t space = text.rfind(' ', start + maxChars);
      if (space != std::string::npos && space > start) {
        end = space;
      } else {
        end = text.find(' ', start + 1);
        if (end == std::string::npos || end > hardEnd) end = hardEnd;
      }
    }
    size_t e = end;
    if (e > start && text[e - 1] == '\r') --e;
    lines.push_back({start, e});
    if (end >= text.size()) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace nv

#pragma once
#include <string>
#include <vector>

namespace nv {

// A caption as the text drawing shows it: "&x" underlines x, "&&" prints one
// ampersand. `underline` is the index in `text` of the underlined character,
// or -1.
struct ShownText {
  std::string text;
  int underline = -1;
};
ShownText StripPrefixes(const std::string& caption);

// Word wrap for a fixed-width font: lines of at most `maxChars` characters,
// broken at spaces and line breaks; a longer word keeps its own line. Each
// line is given as [begin, end) into the text.
struct TextLine {
  size_t begin, end;
};
std::vector<TextLine> WrapFixed(const std::string& text, int maxChars);

}  // namespace nv

#include "store/list_file.h"

namespace nv {

std::vector<std::string_view> SplitListLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string_view TrimSpaces(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(' ');
  return text.substr(b, e - b + 1);
}

std::string FormatListFile(const std::vector<std::string>& entries) {
  size_t size = 4;
  for (const auto& e : entries) size += e.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& e : entries) {
    out += TrimSpaces(e);
    out += "\r\n";
  }
  out += "\r\n\r\n";
  return out;
}

}  // namespace nv

#include "adblock/lists/list_parser.h"

#include <algorithm>
#include <array>

namespace nv {

namespace {

constexpr std::array<std::string_view, 4> kBlockAddresses = {"0.0.0.0", "127.0.0.1", "::1", "::"};
constexpr std::array<std::string_view, 4> kLoopbackNames = {"localhost", "localhost.localdomain", "local",
                                                           "broadcasthost"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && EqualNoCase(text.substr(text.size() - tail.size()), tail);
}

bool IsLabelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Labels as a host name needs them; returns the number of labels, 0 if any is bad.
int CountLabels(std::string_view name, bool& lastAllDigits) {
  int labels = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = std::min(name.find('.', start), name.size());
    const std::string_view label = name.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return 0;
    lastAllDigits = true;
    for (char c : label) {
      if (!IsLabelChar(c)) return 0;
      if (c < '0' || c > '9') lastAllDigits = false;
    }
    ++labels;
    if (dot == name.size()) return labels;
    start = dot + 1;
  }
}

bool IsLoopbackName(std::string_view name) {
  for (std::string_view n : kLoopbackNames)
    if (EqualNoCase(name, n)) return true;
  return EndsWithNoCase(name, ".localhost") || EndsWithNoCase(name, ".localdomain") ||
         (name.size() > 4 && EqualNoCase(name.substr(0, 4), "ip6-"));
}

bool IsBlockAddress(std::string_view field) {
  return std::find(kBlockAddresses.begin(), kBlockAddresses.end(), field) != kBlockAddresses.end();
}

// The next field of a line, spaces and tabs between; empty at the end.
std::string_view NextField(std::string_view& rest) {
  size_t i = 0;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  size_t j = i;
  while (j < rest.size() && !IsBlank(rest[j])) ++j;
  const std::string_view field = rest.substr(i, j - i);
  rest.remove_prefix(j);
  return field;
}

bool LooksLikeHtml(std::string_view bytes) {
  size_t i = bytes.find_first_not_of(" \t\r\n");
  if (i == std::string_view::npos) return false;
  if (bytes.compare(i, 3, "\xEF\xBB\xBF") == 0) i = bytes.find_first_not_of(" \t\r\n", i + 3);
  if (i == std::string_view::npos || bytes[i] != '<') return false;
  const std::string_view head = bytes.substr(i, 512);
  return head.find("html") != std::string_view::npos || head.find("HTML") != std::string_view::npos ||
         head.find("<head") != std::string_view::npos || head.find("<body") != std::string_view::npos;
}

class LineReader {
 public:
  LineReader(NameSetBuilder& out, const std::vector<std::string>& skip) : out_(out), skip_(skip) {}

  // True when the line gave at least one name.
  bool Read(std::string_view line) {
    if (!line.empty() && (line.front() == '!' || line.front() == '[')) return false;
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#') {
        line = line.substr(0, i);
        break;
      }
    std::string_view rest = line;
    const std::string_view first = NextField(rest);
    if (first.empty()) return false;
    if (IsBlockAddress(first)) {
      bool any = false;
      for (std::string_view name = NextField(rest); !name.empty(); name = NextField(rest)) any |= Take(name);
      return any;
    }
    if (!NextField(rest).empty()) return false;  // another address, or not a list line
    if (first.size() > 3 && first.substr(0, 2) == "||") {
      if (first.back() != '^') return false;
      return Take(first.substr(2, first.size() - 3));
    }
    return Take(first);
  }

 private:
  bool Take(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    if (!IsBlockableName(name)) return false;
    for (const std::string& s : skip_)
      if (EqualNoCase(name, s)) return false;
    out_.Add(name);
    return true;
  }

  NameSetBuilder& out_;
  const std::vector<std::string>& skip_;
};

}  // namespace

bool IsBlockableName(std::string_view name) {
  if (name.empty() || name.size() > 253) return false;
  bool lastAllDigits = false;
  // An address is no name, and a top-level label is never all digits.
  if (CountLabels(name, lastAllDigits) < 2 || lastAllDigits) return false;
  return !IsLoopbackName(name);
}

ParsedList ParseBlockList(std::string_view bytes, const std::vector<std::string>& skip) {
  ParsedList parsed;
  parsed.looksLikeHtml = LooksLikeHtml(bytes);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  NameSetBuilder builder;
  LineReader reader(builder, skip);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    if (reader.Read(bytes.substr(start, end - start))) ++parsed.lines;
    start = end + 1;
  }
  parsed.names = builder.Build();
  return parsed;
}

}  // namespace nv

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

constexpr std::array<bool, 256> kLabelChars = [] {
  std::array<bool, 256> is{};
  for (int c = 0; c < 256; ++c)
    is[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  return is;
}();

bool IsLabelChar(char c) { return kLabelChars[static_cast<unsigned char>(c)]; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Labels as a host name needs them, in one pass over the name; returns the
// number of labels, 0 if any is bad.
int CountLabels(std::string_view name, bool& lastAllDigits) {
  int labels = 0;
  size_t length = 0;
  bool digits = true;
  char previous = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '.') {
      if (length == 0 || length > 63 || previous == '-') return 0;
      ++labels;
      lastAllDigits = digits;
      length = 0;
      digits = true;
      continue;
    }
    const char c = name[i];
    if (!IsLabelChar(c) || (length == 0 && c == '-')) return 0;
    if (c < '0' || c > '9') digits = false;
    ++length;
    previous = c;
  }
  return labels;
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

bool LooksLikeHtml(std::string_view bytes) {
  size_t i = bytes.find_first_not_of(" \t\r\n");
  if (i == std::string_view::npos) return false;
  if (bytes.compare(i, 3, "\xEF\xBB\xBF") == 0) i = bytes.find_first_not_of(" \t\r\n", i + 3);
  if (i == std::string_view::npos || bytes[i] != '<') return false;
  const std::string_view head = bytes.substr(i, 512);
  return head.find("html") != std::string_view::npos || head.find("HTML") != std::string_view::npos ||
         head.find("<head") != std::string_view::npos || head.find("<body") != std::string_view::npos;
}

// Fields straight off the list's bytes, one pass and no copies: a field ends
// at a blank, at a line's end, or at '#', which hides the rest of its line.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
  bool AtEnd() const { return p_ == end_; }
  char LineStart() const { return *p_; }
  // The line's next field; empty once the line or its text ends.
  std::string_view Next() {
    while (p_ < end_ && IsBlank(*p_)) ++p_;
    const char* start = p_;
    while (p_ < end_ && !kEndsField[static_cast<unsigned char>(*p_)]) ++p_;
    return {start, static_cast<size_t>(p_ - start)};
  }
  // Past the rest of the line and its CR or LF (a CR LF leaves an empty line).
  void NextLine() {
    while (p_ < end_ && *p_ != '\n' && *p_ != '\r') ++p_;
    if (p_ < end_) ++p_;
  }

 private:
  static constexpr std::array<bool, 256> kEndsField = [] {
    std::array<bool, 256> ends{};
    for (unsigned char c : {' ', '\t', '\r', '\n', '#'}) ends[c] = true;
    return ends;
  }();
  const char* p_;
  const char* end_;
};

class LineReader {
 public:
  LineReader(NameSetBuilder& out, const std::vector<std::string>& skip) : out_(out), skip_(skip) {}

  // Reads the line at in's position, up to its end; true when it gave at least one name.
  bool Read(FieldReader& in) {
    if (in.LineStart() == '!' || in.LineStart() == '[') return false;
    const std::string_view first = in.Next();
    if (first.empty()) return false;
    if (IsBlockAddress(first)) {
      bool any = false;
      for (std::string_view name = in.Next(); !name.empty(); name = in.Next()) any |= Take(name);
      return any;
    }
    if (!in.Next().empty()) return false;  // another address, or not a list line
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
  builder.Reserve(bytes.size() / 32, bytes.size());  // a hosts line is some 30 bytes
  LineReader reader(builder, skip);
  for (FieldReader in(bytes); !in.AtEnd(); in.NextLine())
    if (reader.Read(in)) ++parsed.lines;
  parsed.names = builder.Build();
  return parsed;
}

}  // namespace nv

#include "adblock/lists/list_parser.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

// Per byte: what it is in a host name, and its lower case.
enum : std::uint8_t { kNotInName = 1, kDot = 2 };
constexpr std::array<std::uint8_t, 256> kNameClass = [] {
  std::array<std::uint8_t, 256> is{};
  for (int c = 0; c < 256; ++c) {
    const bool label = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    is[c] = c == '.' ? kDot : label ? 0 : kNotInName;
  }
  return is;
}();
constexpr std::array<char, 256> kLowerOf = [] {
  std::array<char, 256> lower{};
  for (int c = 0; c < 256; ++c) lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}();

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A label is 1 to 63 bytes and neither begins nor ends with '-'.
bool IsLabel(const char* name, size_t from, size_t to) {
  return to > from && to - from <= 63 && name[from] != '-' && name[to - 1] != '-';
}

// Writes name in lower case to out (name.size() bytes) and checks its labels
// in the same pass: at least two, and a top-level one that is not all
// digits, so that an address is no name.
bool LowerHostName(std::string_view name, char* out) {
  const char* in = name.data();
  const size_t n = name.size();
  std::uint8_t bad = 0;
  size_t label = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    const std::uint8_t what = kNameClass[c];
    out[i] = kLowerOf[c];
    bad |= what;
    if (what == kDot) {
      if (!IsLabel(in, label, i)) return false;
      label = i + 1;
    }
  }
  if ((bad & kNotInName) || label == 0 || !IsLabel(in, label, n)) return false;
  for (size_t i = label; i < n; ++i)
    if (in[i] < '0' || in[i] > '9') return true;
  return false;
}

// name in lower case.
bool IsLoopbackName(std::string_view name) {
  for (std::string_view n : kLoopbackNames)
    if (name == n) return true;
  return name.ends_with(".localhost") || name.ends_with(".localdomain") || (name.size() > 4 && name.starts_with("ip6-"));
}

bool IsCheckedName(std::string_view name, char* lowered) {
  if (name.empty() || name.size() > 253 || !LowerHostName(name, lowered)) return false;
  return !IsLoopbackName({lowered, name.size()});
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
    if (name.size() > 253) return false;
    char* lowered = out_.Room(name.size());
    if (!IsCheckedName(name, lowered)) return false;
    for (const std::string& s : skip_)
      if (EqualNoCase({lowered, name.size()}, s)) return false;
    out_.Keep(name.size());
    return true;
  }

  NameSetBuilder& out_;
  const std::vector<std::string>& skip_;
};

}  // namespace

bool IsBlockableName(std::string_view name) {
  char lowered[253];
  return name.size() <= sizeof lowered && IsCheckedName(name, lowered);
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

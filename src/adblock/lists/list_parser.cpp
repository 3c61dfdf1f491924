#include "adblock/lists/list_parser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace nv {

namespace {

// Comparisons with a fixed text of known length, which compile to a few
// loads where a general compare is a library call per line.
template <size_t N>
bool Is(std::string_view text, const char (&fixed)[N]) {
  return text.size() == N - 1 && std::memcmp(text.data(), fixed, N - 1) == 0;
}
template <size_t N>
bool StartsWith(std::string_view text, const char (&fixed)[N]) {
  return text.size() >= N - 1 && std::memcmp(text.data(), fixed, N - 1) == 0;
}
template <size_t N>
bool EndsWith(std::string_view text, const char (&fixed)[N]) {
  return text.size() >= N - 1 && std::memcmp(text.data() + text.size() - (N - 1), fixed, N - 1) == 0;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Per byte: its lower case, and in the high byte what it is in a host name;
// one table, so that the pass over a name loads once per byte.
enum : std::uint16_t { kNotInName = 0x100, kDot = 0x200 };
constexpr std::array<std::uint16_t, 256> kNameByte = [] {
  std::array<std::uint16_t, 256> is{};
  for (int c = 0; c < 256; ++c) {
    const bool label = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    const int lower = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    is[c] = static_cast<std::uint16_t>(lower | (c == '.' ? kDot : label ? 0 : kNotInName));
  }
  return is;
}();

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A label is 1 to 63 bytes and neither begins nor ends with '-'.
bool IsLabel(const char* name, size_t from, size_t to) {
  return to > from && to - from <= 63 && name[from] != '-' && name[to - 1] != '-';
}

bool AllDigits(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

// What one pass over a name's bytes found: how many could be part of a host
// name, and whether they (less a trailing dot, where one is allowed) make a
// good one.
struct ScannedName {
  size_t scanned;
  size_t size;
  bool good;
};

// Writes in's bytes in lower case to out up to limit or the first byte no
// host name holds, and checks their labels in the same pass: at least two,
// and a top-level one that is not all digits, so that an address is no name.
ScannedName LowerHostName(const char* in, size_t limit, char* out, bool dropTrailingDot) {
  size_t i = 0, label = 0, previous = 0;
  bool good = true;
  for (; i < limit; ++i) {
    const std::uint16_t what = kNameByte[static_cast<unsigned char>(in[i])];
    if (what & kNotInName) break;
    out[i] = static_cast<char>(what & 0xFF);
    if (what & kDot) {
      good &= IsLabel(in, label, i);
      previous = std::exchange(label, i + 1);
    }
  }
  size_t n = i;
  if (dropTrailingDot && n > 0 && in[n - 1] == '.') {
    --n;
    label = previous;
  }
  good = good && n <= 253 && label > 0 && IsLabel(in, label, n) && !AllDigits(in + label, n - label);
  return {i, n, good};
}

// name in lower case.
bool IsLoopbackName(std::string_view name) {
  return Is(name, "localhost") || Is(name, "localhost.localdomain") || Is(name, "local") ||
         Is(name, "broadcasthost") || EndsWith(name, ".localhost") || EndsWith(name, ".localdomain") ||
         (name.size() > 4 && StartsWith(name, "ip6-"));
}

bool IsCheckedName(std::string_view name, char* lowered) {
  const ScannedName scan = LowerHostName(name.data(), name.size(), lowered, false);
  return scan.scanned == name.size() && scan.good && !IsLoopbackName({lowered, name.size()});
}

bool IsBlockAddress(std::string_view field) {
  return Is(field, "0.0.0.0") || Is(field, "127.0.0.1") || Is(field, "::1") || Is(field, "::");
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
    if (!AtField()) return {};
    const char* start = p_;
    while (!AtFieldEnd()) ++p_;
    return {start, static_cast<size_t>(p_ - start)};
  }
  // Past blanks; true when a field begins there. Rest and Skip let a caller
  // read the field itself.
  bool AtField() {
    while (p_ < end_ && IsBlank(*p_)) ++p_;
    return !AtFieldEnd();
  }
  std::string_view Rest() const { return {p_, static_cast<size_t>(end_ - p_)}; }
  void Skip(size_t n) { p_ += n; }
  bool AtFieldEnd() const { return p_ == end_ || kEndsField[static_cast<unsigned char>(*p_)]; }
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
      while (in.AtField()) any |= TakeField(in);
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
  // The field at in's position, read while it is checked and lowered.
  bool TakeField(FieldReader& in) {
    const std::string_view rest = in.Rest();
    char* lowered = out_.Room(kLongestField);
    const ScannedName name = LowerHostName(rest.data(), std::min(rest.size(), kLongestField), lowered, true);
    in.Skip(name.scanned);
    if (!in.AtFieldEnd()) {  // a byte no host name holds, or too long for one
      in.Next();
      return false;
    }
    return name.good && Keep(lowered, name.size);
  }

  bool Take(std::string_view field) {
    if (field.size() > kLongestField) return false;
    char* lowered = out_.Room(field.size());
    const ScannedName name = LowerHostName(field.data(), field.size(), lowered, true);
    return name.scanned == field.size() && name.good && Keep(lowered, name.size);
  }

  bool Keep(const char* lowered, size_t size) {
    const std::string_view name(lowered, size);
    if (IsLoopbackName(name)) return false;
    for (const std::string& s : skip_)
      if (EqualNoCase(name, s)) return false;
    out_.Keep(size);
    return true;
  }

  // The longest name with its trailing dot.
  static constexpr size_t kLongestField = 254;

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

#include "adblock/lists/list_parser.h"

#include "adblock/lists/host_name_scan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// name in lower case.
bool IsLoopbackName(std::string_view name) {
  if (name.size() > 4 && StartsWith(name, "ip6-")) return true;
  switch (name.back()) {  // most names end otherwise, and are done with here
    case 't':
      return Is(name, "localhost") || Is(name, "broadcasthost") || EndsWith(name, ".localhost");
    case 'n':
      return EndsWith(name, ".localdomain") || Is(name, "localhost.localdomain");
    case 'l':
      return Is(name, "local");
    default:
      return false;
  }
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
  // The most common first field, seen at once; a field of known size.
  template <size_t N>
  bool StartsWithField(const char (&fixed)[N]) const {
    return static_cast<size_t>(end_ - p_) > N - 1 && std::memcmp(p_, fixed, N - 1) == 0 && IsBlank(p_[N - 1]);
  }
  std::string_view Next(size_t size) {
    const std::string_view field(p_, size);
    p_ += size;
    return field;
  }
  // Past blanks; true when a field begins there. Rest and Skip let a caller
  // read the field itself.
  bool AtField() {
    while (p_ < end_ && IsBlank(*p_)) ++p_;
    return !AtFieldEnd();
  }
  std::string_view Rest() const { return {p_, static_cast<size_t>(end_ - p_)}; }
  const char* End() const { return end_; }
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
  // borrow: the builder may keep names where they lie in the list's bytes.
  LineReader(NameSetBuilder& out, const std::vector<std::string>& skip, bool borrow)
      : out_(out), skip_(skip), borrow_(borrow) {}

  // Reads the line at in's position, up to its end; true when it gave at least one name.
  bool Read(FieldReader& in) {
    if (in.LineStart() == '!' || in.LineStart() == '[') return false;
    const std::string_view first = in.StartsWithField("0.0.0.0") ? in.Next(7) : in.Next();
    if (first.empty()) return false;
    if (IsBlockAddress(first)) {
      bool any = false;
      while (in.AtField()) any |= TakeField(in);
      return any;
    }
    if (!in.Next().empty()) return false;  // another address, or not a list line
    if (first.size() > 3 && first.substr(0, 2) == "||") {
      if (first.back() != '^') return false;
      return Take(first.substr(2, first.size() - 3), in);
    }
    return Take(first, in);
  }

 private:
  // The field at in's position, read while it is checked.
  bool TakeField(FieldReader& in) {
    const std::string_view rest = in.Rest();
    const ScannedName name = ScanHostName(rest.data(), std::min(rest.size(), kLongestField), rest.size(), true);
    in.Skip(name.scanned);
    if (!in.AtFieldEnd()) {  // a byte no host name holds, or too long for one
      in.Next();
      return false;
    }
    return name.good && Keep(rest.data(), name);
  }

  bool Take(std::string_view field, const FieldReader& in) {
    if (field.size() > kLongestField) return false;
    const ScannedName name =
        ScanHostName(field.data(), field.size(), static_cast<size_t>(in.End() - field.data()), true);
    return name.scanned == field.size() && name.good && Keep(field.data(), name);
  }

  // Most names are in lower case already and stay where they are; the rest
  // are lowered into the builder's room.
  bool Keep(const char* at, const ScannedName& scanned) {
    const bool copy = scanned.upper || !borrow_;
    const char* lowered = at;
    if (copy) {
      char* room = out_.Room(scanned.size);
      LowerInto(at, scanned.size, room);
      lowered = room;
    }
    const std::string_view name(lowered, scanned.size);
    if (IsLoopbackName(name)) return false;
    for (const std::string& s : skip_)
      if (EqualNoCase(name, s)) return false;
    if (copy) out_.Keep(scanned.size);
    else out_.KeepBorrowed(at, scanned.size);
    return true;
  }

  // The longest name with its trailing dot.
  static constexpr size_t kLongestField = 254;

  NameSetBuilder& out_;
  const std::vector<std::string>& skip_;
  const bool borrow_;
};

}  // namespace

bool IsBlockableName(std::string_view name) {
  if (name.size() > 253) return false;
  const ScannedName scan = ScanHostName(name.data(), name.size(), name.size(), false);
  if (scan.scanned != name.size() || !scan.good) return false;
  char lowered[253];
  LowerInto(name.data(), name.size(), lowered);
  return !IsLoopbackName({lowered, name.size()});
}

ParsedList ParseBlockList(std::string_view bytes, const std::vector<std::string>& skip) {
  ParsedList parsed;
  parsed.looksLikeHtml = LooksLikeHtml(bytes);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  NameSetBuilder builder;
  builder.Reserve(bytes.size() / 32);  // a hosts line is some 30 bytes
  const bool borrow = bytes.size() <= UINT32_MAX;
  if (borrow) builder.Borrow(bytes);
  LineReader reader(builder, skip, borrow);
  for (FieldReader in(bytes); !in.AtEnd(); in.NextLine())
    if (reader.Read(in)) ++parsed.lines;
  parsed.names = builder.Build();
  return parsed;
}

}  // namespace nv

#include "adblock/lists/hosts_lines.h"

namespace nv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The names of the user's own HOSTS lines: every field after the address.
NameSet OwnNames(const std::vector<std::string>& ownLines) {
  NameSetBuilder builder;
  for (std::string_view line : ownLines) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    while (i < line.size() && !IsBlank(line[i])) ++i;  // the address
    while (i < line.size()) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      const size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      if (i > start) builder.Add(line.substr(start, i - start));
    }
  }
  return builder.Build();
}

}  // namespace

std::string SubscribedHostsLines(const std::vector<std::string>& ownLines, const SubscribedNames& subscribed) {
  const NameSet own = OwnNames(ownLines);
  const NameSet& names = subscribed.names;
  std::string out;
  out.reserve(names.Size() * 24);
  size_t onLine = 0, o = 0;
  for (size_t i = 0; i < names.Size(); ++i) {
    const std::string_view name = names.At(i);
    // Both sets are sorted alike, so the user's names are passed in one walk.
    while (o < own.Size() && own.At(o) < name) ++o;
    if (o < own.Size() && own.At(o) == name) continue;
    if (!subscribed.allow.Empty() && subscribed.allow.Allows(name)) continue;
    if (subscribed.isProtected && subscribed.isProtected(name)) continue;
    if (onLine == kNamesPerHostsLine) {
      out += "\r\n";
      onLine = 0;
    }
    if (onLine == 0) out += subscribed.address;
    out += ' ';
    out += name;
    ++onLine;
  }
  if (onLine) out += "\r\n";
  return out;
}

}  // namespace nv

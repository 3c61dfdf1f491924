#pragma once
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace nv {

// Whose a line of the HOSTS file is. Norvane's lines are the ones it recorded
// in "\data\hosts.own" before it wrote them; every other line belongs to the
// user or to another program. Other programs (hosts editors, scripts, other
// blockers) re-write the file in their own way, so lines are compared by a
// key that does not change under such a rewrite: runs of spaces and tabs count
// as one space and the ends of a line do not count. A line with several names
// ("0.0.0.0 a.example b.example") is compared whole, like any other, and so is
// a line of either redirect address: whatever was recorded is Norvane's.

// The key under which a line is compared; "" for a blank line.
std::string OwnershipKey(std::string_view line);

// The lines of a HOSTS file however it was written: a leading UTF-8 byte
// order mark is not part of the first line, and CR LF, a lone CR and a lone
// LF each end a line. Lines come as written, blank ones included.
std::vector<std::string_view> SplitHostsLines(std::string_view bytes);

// The set of lines that are Norvane's.
class HostsOwnership {
 public:
  void Add(std::string_view line);
  // Every line of a file's bytes (a record, a HOSTS file).
  void AddLines(std::string_view bytes);
  bool Owns(std::string_view line) const { return OwnsKey(OwnershipKey(line)); }
  bool OwnsKey(const std::string& key) const { return keys_.count(key) > 0; }

 private:
  std::unordered_set<std::string> keys_;
};

// A HOSTS file's non-blank lines sorted by owner. Norvane's come as written;
// the others trimmed of spaces at their ends (the list-file form) and
// otherwise exactly as written.
struct HostsLines {
  std::vector<std::string> norvane;
  std::vector<std::string> others;
};
HostsLines SortByOwner(std::string_view hostsBytes, const HostsOwnership& ownership);

}  // namespace nv

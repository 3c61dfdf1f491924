#include "adblock/lists/subscription.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "store/list_file.h"

namespace nv {

namespace {

std::vector<std::string> SplitTabs(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// No tab or line end may reach a field of the state file.
std::string Field(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i)
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

std::string CopyFileName(const std::string& url) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : url) h = (h ^ c) * 16777619u;
  char name[40];
  std::snprintf(name, sizeof name, "\\data\\list-%08x.txt", h);
  return name;
}

std::string FormatSubscriptionState(const std::vector<Subscription>& subs) {
  std::vector<std::string> lines;
  for (const Subscription& s : subs)
    lines.push_back(Field(s.url) + '\t' + std::to_string(s.count) + '\t' + s.lastGood + '\t' + Field(s.etag) + '\t' +
                    Field(s.lastModified) + '\t' + Field(s.state));
  return FormatListFile(lines);
}

void ParseSubscriptionState(const std::string& bytes, std::vector<Subscription>& subs) {
  for (std::string_view raw : SplitListLines(bytes)) {
    const std::vector<std::string> f = SplitTabs(TrimSpaces(raw));
    if (f.size() < 6) continue;
    for (Subscription& s : subs) {
      if (s.url != f[0]) continue;
      s.count = static_cast<size_t>(std::strtoull(f[1].c_str(), nullptr, 10));
      s.lastGood = MinutesOf(f[2]) >= 0 ? f[2] : "";
      s.etag = f[3];
      s.lastModified = f[4];
      // A fetch that was on its way when the state was written never came.
      s.state = f[5].empty() || f[5] == kStateFetching ? kStateWaiting : f[5];
    }
  }
}

std::string TimeText(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

std::int64_t MinutesOf(const LocalTime& t) {
  return DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) * 1440 + t.hour * 60 +
         t.minute;
}

std::int64_t MinutesOf(const std::string& text) {
  LocalTime t;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                  &tail) != 6)
    return -1;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59) return -1;
  return MinutesOf(t);
}

bool MayFetch(const std::string& url) {
  if (StartsWithNoCase(url, "https://")) return url.size() > 8;
  if (!StartsWithNoCase(url, "http://")) return false;
  const std::string rest = url.substr(7);
  const std::string host = rest.substr(0, rest.find_first_of(":/?#"));
  if (host == "localhost" || rest.rfind("[::1]", 0) == 0) return true;
  return host.rfind("127.", 0) == 0 && host.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace nv

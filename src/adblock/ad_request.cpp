#include "adblock/ad_request.h"

#include "store/list_file.h"

namespace nv {

std::optional<std::string> CutRequestTarget(std::string_view text) {
  const std::size_t at = text.find("HTTP");
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  // Keep the characters before the one preceding "HTTP", then drop "GET".
  const std::string_view line = text.substr(0, at - 1);
  return std::string(line.size() > 3 ? line.substr(3) : std::string_view{});
}

RequestJudgement JudgeRequest(std::string_view received, std::size_t judgedBefore) {
  const std::string_view data = received.substr(0, kMaxRequestBytes);
  constexpr std::string_view kGet = "GET";
  if (data.size() < kGet.size())
    return {kGet.starts_with(data) ? RequestVerdict::Incomplete : RequestVerdict::NotGet, {}};
  if (!data.starts_with(kGet)) return {RequestVerdict::NotGet, {}};
  // "HTTP" may straddle the old end; the line's end cannot be before it.
  const std::size_t http = data.find("HTTP", judgedBefore > 3 ? judgedBefore - 3 : 0);
  const std::size_t lineEnd = data.find('\n', judgedBefore);
  if (http != std::string_view::npos && (lineEnd == std::string_view::npos || http < lineEnd))
    return {RequestVerdict::Get, *CutRequestTarget(data)};
  if (lineEnd != std::string_view::npos) return {RequestVerdict::NoProtocol, {}};
  if (data.size() >= kMaxRequestBytes) return {RequestVerdict::TooLarge, {}};
  return {RequestVerdict::Incomplete, {}};
}

std::string EscapeForLog(std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(target.size());
  for (const char ch : target) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7F) {
      out += ch;
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  }
  return out;
}

std::string NormalizeTarget(std::string_view target) {
  std::string out(TrimSpaces(target));
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

AppError UnparsableRequest() { return AppError(5, "Invalid procedure call or argument"); }
AppError OversizedRequest() { return AppError(5, "Request line longer than 16384 bytes"); }

}  // namespace nv

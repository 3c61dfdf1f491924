#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace nv {

// A connection may hold this much of a request before its line must be
// complete; a browser's request line is far shorter.
inline constexpr std::size_t kMaxRequestBytes = 16 * 1024;

enum class RequestVerdict {
  Incomplete,  // wait for more bytes
  NotGet,      // not a GET request: close without a reply or log entry
  Get,         // target holds the cut-out request target
  NoProtocol,  // the request line ended without "HTTP": cannot be cut
  TooLarge,    // kMaxRequestBytes arrived without a complete request line
};

struct RequestJudgement {
  RequestVerdict verdict = RequestVerdict::Incomplete;
  std::string target;  // as received, e.g. " /ads/banner.gif?ord=1"
};

// Judges the bytes received so far on one connection. A request line that
// arrives in pieces gets the same judgement as one that arrives whole: it is
// judged as soon as "HTTP" or the line's end is present. judgedBefore: how
// many of the bytes an earlier call found Incomplete, so a request that
// trickles in is not searched again from its start each time.
RequestJudgement JudgeRequest(std::string_view received, std::size_t judgedBefore = 0);

// The cut: up to the character before the space that precedes the first
// "HTTP", without the leading "GET". Nothing when the text has no "HTTP".
std::optional<std::string> CutRequestTarget(std::string_view text);

// The target for the log: control characters (CR, LF, NUL, TAB, DEL, ...)
// become %HH, so a request can never forge or split log lines.
std::string EscapeForLog(std::string_view target);

// The target as the reply builder takes it: lower-case, trimmed of spaces.
std::string NormalizeTarget(std::string_view target);

// Failures of a request that cannot be answered; they go to "\err.log".
AppError UnparsableRequest();
AppError OversizedRequest();

}  // namespace nv

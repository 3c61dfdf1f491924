#include <gtest/gtest.h>

#include "adblock/ad_request.h"

namespace nv {
namespace {

TEST(AdRequestCut, KeepsTheTargetBetweenGetAndTheSpaceBeforeTheFirstHttp) {
  EXPECT_EQ(CutRequestTarget("GET /ads/banner.gif HTTP/1.1\r\nHost: ads.example\r\n\r\n"),
            " /ads/banner.gif");
  EXPECT_EQ(CutRequestTarget("GET /AdFrame.HTM?ord=1 HTTP/1.0\r\n"), " /AdFrame.HTM?ord=1");
  // A target holding HTTP itself is cut there, one character before it.
  EXPECT_EQ(CutRequestTarget("GET /r?u=HTTP://x HTTP/1.1\r\n"), " /r?u");
  EXPECT_EQ(CutRequestTarget("GET HTTP/1.1\r\n"), "");
  EXPECT_EQ(CutRequestTarget("GETHTTP"), "");
  EXPECT_EQ(CutRequestTarget("GET / http/1.1\r\n"), std::nullopt);
  EXPECT_EQ(CutRequestTarget("HTTP/1.1"), std::nullopt);
}

TEST(AdRequestJudge, OnlyAnUpperCaseGetIsAnswered) {
  for (const char* other : {"POST / HTTP/1.1\r\n", "HEAD / HTTP/1.1\r\n", "get / HTTP/1.1\r\n",
                            "GEX", "X", "\x16\x03\x01\x02\x00"})
    EXPECT_EQ(JudgeRequest(other).verdict, RequestVerdict::NotGet) << other;
  EXPECT_EQ(JudgeRequest("").verdict, RequestVerdict::Incomplete);
  EXPECT_EQ(JudgeRequest("GE").verdict, RequestVerdict::Incomplete);
  EXPECT_EQ(JudgeRequest("GET /a").verdict, RequestVerdict::Incomplete);
}

TEST(AdRequestJudge, ALineWithoutHttpCannotBeCut) {
  EXPECT_EQ(JudgeRequest("GET /\r\n").verdict, RequestVerdict::NoProtocol);
  // HTTP in a later header line does not rescue the request line.
  EXPECT_EQ(JudgeRequest("GET /a\nX: HTTP/1.1\r\n").verdict, RequestVerdict::NoProtocol);
}

TEST(AdRequestJudge, ARequestLineIsCollectedUpToTheLimit) {
  std::string line = "GET /" + std::string(kMaxRequestBytes - 6, 'a');
  EXPECT_EQ(JudgeRequest(line).verdict, RequestVerdict::Incomplete);
  line += "a";
  EXPECT_EQ(JudgeRequest(line).verdict, RequestVerdict::TooLarge);
  // Bytes beyond the limit are never looked at.
  EXPECT_EQ(JudgeRequest(line + " HTTP/1.1\r\n").verdict, RequestVerdict::TooLarge);
}

// Byte by byte, in halves, or whole: the judgement and the target are the
// same, and it comes as soon as the bytes allow it.
TEST(AdRequestJudge, APieceMealRequestIsJudgedAsTheWholeOne) {
  for (const std::string& whole : {std::string("GET /ads/b.gif HTTP/1.1\r\nHost: x\r\n\r\n"),
                                  std::string("GET /a\r\n"), std::string("POST / HTTP/1.1\r\n")}) {
    const RequestJudgement once = JudgeRequest(whole);
    std::string got;
    RequestJudgement step;
    std::size_t judged = 0;
    for (char c : whole) {
      got += c;
      step = JudgeRequest(got, judged);
      if (step.verdict != RequestVerdict::Incomplete) break;
      judged = got.size();
    }
    EXPECT_EQ(step.verdict, once.verdict) << whole;
    EXPECT_EQ(step.target, once.target) << whole;
  }
  // "HTTP" straddling two pieces is still found.
  EXPECT_EQ(JudgeRequest("GET /x HTTP/1.1", 9).target, " /x");
}

TEST(AdRequestLog, ControlCharactersCannotForgeLogLines) {
  EXPECT_EQ(EscapeForLog(" /a\r\n/b send on 1.1.2000"), " /a%0D%0A/b send on 1.1.2000");
  const std::string raw = std::string(" /a\r\nb") + '\0' + "\t\x7f\xe9";
  EXPECT_EQ(EscapeForLog(raw), " /a%0D%0Ab%00%09%7F\xe9");
}

TEST(AdRequestNormalize, LowerCasesAndTrimsSpacesOnly) {
  EXPECT_EQ(NormalizeTarget(" /AdFrame.HTM "), "/adframe.htm");
  EXPECT_EQ(NormalizeTarget("  "), "");
  EXPECT_EQ(NormalizeTarget(" /A\tB"), "/a\tb");
}

}  // namespace
}  // namespace nv

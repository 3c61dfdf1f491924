#include <gtest/gtest.h>

#include "adblock/ad_reply.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

using test::FakePlatform;

TEST(AdReplyKind, TheRulesAreTriedInOrder) {
  const std::pair<const char*, AdReplyKind> cases[] = {
      {"/", AdReplyKind::Page},
      {"/ads/", AdReplyKind::Page},
      {"/adframe.htm?x=1", AdReplyKind::Page},
      {"/a.html", AdReplyKind::Page},
      {"/ad.asp", AdReplyKind::Page},
      {"/page.aspx", AdReplyKind::Page},
      {"/banner.gif?coord=10", AdReplyKind::Page},  // ord= inside coord=
      {"/ads/show.js?ord=7", AdReplyKind::Page},    // page rules come first
      {"/ads/show.js", AdReplyKind::Script},
      {"/ads/show.jsp", AdReplyKind::Script},
      {"/banner.gif", AdReplyKind::Image},
      {"/images/ad.png", AdReplyKind::Image},
      {"", AdReplyKind::Image},
      {"/a.htm/x.gif", AdReplyKind::Page},
      {"/js/ad.gif", AdReplyKind::Image},  // "js" without the dot
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(ChooseReplyKind(path), kind) << path;
}

TEST(AdReplyKind, WildcardsMatchAnyRunAndOtherCharactersExactly) {
  EXPECT_TRUE(WildcardMatch("*ord=*", "ord="));
  EXPECT_TRUE(WildcardMatch("*/", "/a/b/"));
  EXPECT_FALSE(WildcardMatch("*/", "/a/b"));
  EXPECT_FALSE(WildcardMatch("*.htm*", "/A.HTM"));  // case-sensitive
  EXPECT_TRUE(WildcardMatch("*.js*", "/x.j.js"));   // backtracks past a false start
  EXPECT_FALSE(WildcardMatch("*.js*", "/x.j?s"));
}

TEST(AdReplyColour, TableValuesOtherTextUnchangedAfterTrimming) {
  const std::pair<const char*, const char*> cases[] = {
      {"0", ""}, {"1", "#FFFFFF"}, {"2", "#0000FF"}, {"3", "#00FF00"}, {"4", "#FF0000"},
      {"5", "#000000"}, {" 2 ", "#0000FF"}, {"7", "7"}, {" red ", "red"}, {"02", "02"}, {"", ""},
  };
  for (const auto& [setting, value] : cases) EXPECT_EQ(PageBackground(setting), value) << setting;
}

struct AdReplyTest : ::testing::Test {
  FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services s{fp.platform, store, settings, counters};

  static std::string Body(const std::string& reply) {
    return reply.substr(reply.find("\r\n\r\n") + 4);
  }
  static std::string Header(const std::string& reply) {
    return reply.substr(0, reply.find("\r\n\r\n") + 4);
  }
};

TEST_F(AdReplyTest, PageInTheChosenColourByteForByte) {
  fp.settings.values["Settings\\Color"] = "2";
  const std::string body = "<html><body bgcolor=#0000FF>This Ad was Blocked By Norvane!</body></html>";
  EXPECT_EQ(BuildAdResponse(s, "/adframe.htm"),
            "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
            "Content-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n\r\n" + body);
  fp.settings.values.clear();  // no Color stored: "0", an empty attribute
  EXPECT_EQ(Body(BuildAdResponse(s, "/")),
            "<html><body bgcolor=>This Ad was Blocked By Norvane!</body></html>");
}

// The script's picture comes from this server, which answers it with the GIF.
TEST_F(AdReplyTest, ScriptWritesTheBlockedTableWithOurOwnPicture) {
  const std::string reply = BuildAdResponse(s, "/ads/show.js");
  EXPECT_NE(Header(reply).find("\r\nContent-Type: text/javascript\r\n"), std::string::npos);
  EXPECT_EQ(Body(reply),
            "document.write(\"<table width=100% background=http://127.0.0.1/3.gif>"
            "<tr><td>Ad blocked by Norvane!(KVX)</td></tr></table>\")");
  fp.files.Put("C:\\N\\images\\4.gif", "GIF89a");
  EXPECT_EQ(Body(BuildAdResponse(s, "/3.gif")), "GIF89a");
}

TEST_F(AdReplyTest, PictureBytesPassUnchanged) {
  const std::string gif = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + "\xff\r\n\x1a";
  fp.files.Put("C:\\N\\images\\4.gif", gif);
  const std::string reply = BuildAdResponse(s, "/banner.gif");
  EXPECT_EQ(Header(reply),
            "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
            "Content-Type: image/gif\r\nContent-Length: 17\r\n\r\n");
  EXPECT_EQ(Body(reply), gif);
}

TEST_F(AdReplyTest, ContentLengthCountsBodyBytesForEveryKind) {
  fp.files.Put("C:\\N\\images\\4.gif", std::string(32767, '\0'));
  fp.settings.values["Settings\\Color"] = "\xe4rger";  // a non-ASCII colour text
  for (const char* path : {"/", "/a.js", "/a.gif"}) {
    const std::string reply = BuildAdResponse(s, path);
    const std::size_t at = reply.find("Content-Length: ") + 16;
    const std::size_t length = std::stoul(reply.substr(at, reply.find("\r\n", at) - at));
    EXPECT_EQ(length, Body(reply).size()) << path;
  }
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif")).size(), 32767u);
}

TEST_F(AdReplyTest, EachBuiltReplyIsCountedAFailedOneIsEmptyAndNotCounted) {
  EXPECT_EQ(BuildAdResponse(s, "/missing.gif"), "");  // no picture installed
  EXPECT_EQ(counters.Get(BannerAdsCount), 0);
  BuildAdResponse(s, "/");
  BuildAdResponse(s, "/x.js");
  EXPECT_EQ(counters.Get(BannerAdsCount), 2);

  fp.files.Put("C:\\N\\images\\4.gif", std::string(32768, 'x'));
  EXPECT_EQ(BuildAdResponse(s, "/big.gif"), "");
  fp.files.Put("C:\\N\\images\\4.gif", "GIF");
  fp.files.failReads.insert(test::FakeFiles::Key("C:\\N\\images\\4.gif"));
  EXPECT_EQ(BuildAdResponse(s, "/locked.gif"), "");
  EXPECT_EQ(counters.Get(BannerAdsCount), 2);
  EXPECT_EQ(fp.files.Get("C:\\N\\err.log"), "");  // nothing logged
}

// The picture is kept between replies, yet a changed or removed picture is
// what the next replies carry: without a folder watch, a change of size at
// once and any other within a second.
TEST_F(AdReplyTest, AKeptPictureFollowsChangesToTheFile) {
  fp.platform.folderWatch = nullptr;
  AdImageCache image;
  fp.files.Put("C:\\N\\images\\4.gif", "GIF-one");
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-one");
  fp.files.Put("C:\\N\\images\\4.gif", "GIF-longer");  // another size: read at once
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-longer");
  fp.files.Put("C:\\N\\images\\4.gif", "GIF-same-s");  // same size: within a second
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-longer");
  fp.clock.tickMs += 1000;
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-same-s");
  fp.files.Remove("C:\\N\\images\\4.gif");
  EXPECT_EQ(BuildAdResponse(s, "/a.gif", image), "");
  EXPECT_EQ(counters.Get(BannerAdsCount), 4);
}

// With a watch on the picture's folder, its word alone decides: a quiet
// folder keeps the picture without a look at the file, a change of any
// kind (here one that keeps the size) is read for the next reply.
TEST_F(AdReplyTest, AWatchedPictureIsReadAgainWhenItsFolderReportsAChange) {
  AdImageCache image;
  fp.files.Put("C:\\N\\images\\4.gif", "GIF-one");
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-one");
  fp.folderWatch.filesAlways = fp.folderWatch.filesChanged = false;
  fp.files.Put("C:\\N\\images\\4.gif", "GIF-two");
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-one");
  fp.folderWatch.filesChanged = true;
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-two");
  fp.files.Remove("C:\\N\\images\\4.gif");
  EXPECT_EQ(Body(BuildAdResponse(s, "/a.gif", image)), "GIF-two");
  fp.clock.tickMs += 1000;  // read again within a second all the same
  EXPECT_EQ(BuildAdResponse(s, "/a.gif", image), "");
}

}  // namespace
}  // namespace nv

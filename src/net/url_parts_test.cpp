#include "net/url_parts.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

struct Parts {
  GbkText host;
  int port;
  GbkText path;
  bool https;
  bool operator==(const Parts&) const = default;
};

void PrintTo(const Parts& p, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(p.host) << ", " << p.port << ", "
      << ::testing::PrintToString(p.path) << ", " << p.https << "}";
}

Parts Split(GbkView url) {
  return {UrlHost(url), UrlPort(url), UrlPath(url), IsHttpsUrl(url)};
}

TEST(UrlPartsTest, PlainHttpUrls) {
  EXPECT_EQ(Split("http://notice.example.com/info.txt"_gbk),
            (Parts{"notice.example.com"_gbk, 80, "/info.txt"_gbk, false}));
  EXPECT_EQ(Split("http://127.0.0.1:8080/a/b?q=1"_gbk),
            (Parts{"127.0.0.1"_gbk, 8080, "/a/b?q=1"_gbk, false}));
  EXPECT_EQ(Split("Http://Example.COM/Path"_gbk),
            (Parts{"example.com"_gbk, 80, "/Path"_gbk, false}));
}

TEST(UrlPartsTest, SchemeLessUrlsAreHttp) {
  EXPECT_EQ(Split("example/x"_gbk), (Parts{"example"_gbk, 80, "/x"_gbk, false}));
  EXPECT_EQ(Split("example:81"_gbk), (Parts{"example"_gbk, 81, "/"_gbk, false}));
  // Only a leading scheme counts: the host is not taken from the query.
  EXPECT_EQ(Split("example/go?to=http://other/"_gbk),
            (Parts{"example"_gbk, 80, "/go?to=http://other/"_gbk, false}));
}

TEST(UrlPartsTest, HttpsInCapitalsWithAPortAndAQuery) {
  EXPECT_EQ(Split("HTTPS://WWW.Example.COM:8443/Some/Path?Q=Yes&r=1"_gbk),
            (Parts{"www.example.com"_gbk, 8443, "/Some/Path?Q=Yes&r=1"_gbk, true}));
  EXPECT_EQ(Split("https://secure.example"_gbk),
            (Parts{"secure.example"_gbk, 443, "/"_gbk, true}));
}

TEST(UrlPartsTest, NothingAfterTheHostGivesTheRootPath) {
  EXPECT_EQ(UrlPath("http://example.com"_gbk), "/"_gbk);
  EXPECT_EQ(UrlPath("http://example.com:99"_gbk), "/"_gbk);
  EXPECT_EQ(UrlPath("http://example.com/"_gbk), "/"_gbk);
}

TEST(UrlPartsTest, PortNumbers) {
  EXPECT_EQ(UrlPort("http://example:abc/x"_gbk), 0);
  EXPECT_EQ(UrlPort("http://example:/x"_gbk), 0);
  EXPECT_EQ(UrlPort("http://example:12ab/x"_gbk), 12);
  // The last ":" of the host part counts; the host is cut at the first.
  EXPECT_EQ(UrlPort("http://a:1:2/"_gbk), 2);
  EXPECT_EQ(UrlHost("http://a:1:2/"_gbk), "a"_gbk);
  // A scheme-less host that begins with "https" is plain http on port 80.
  EXPECT_EQ(UrlPort("httpsite/x"_gbk), 80);
  EXPECT_FALSE(IsHttpsUrl("httpsite/x"_gbk));
  EXPECT_EQ(UrlPort("HTTPS://x/"_gbk), 443);
}

TEST(UrlPartsTest, AHostSpelledLikeTheSchemeIsFoundBehindTheScheme) {
  EXPECT_EQ(UrlPath("http://h/x"_gbk), "/x"_gbk);
  EXPECT_EQ(UrlPath("http://http/x"_gbk), "/x"_gbk);
  EXPECT_EQ(UrlPath("https://s:8/x"_gbk), "/x"_gbk);
  EXPECT_EQ(UrlPath("http://tp"_gbk), "/"_gbk);
}

TEST(UrlPartsTest, ThePathKeepsItsBytesAndCase) {
  EXPECT_EQ(UrlPath(GbkView("http://Host/A%20b/\xD6\xD0?x=Y#frag")),
            GbkView("/A%20b/\xD6\xD0?x=Y#frag"));
  // The host is found again ignoring case, and the first "/" after it starts the path.
  EXPECT_EQ(UrlPath("HTTP://HOST:80//double"_gbk), "//double"_gbk);
}

}  // namespace
}  // namespace vantry

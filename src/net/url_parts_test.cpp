#include "net/url_parts.h"

#include <gtest/gtest.h>

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
  *os << "{" << p.host << ", " << p.port << ", " << p.path << ", " << p.https << "}";
}

Parts Split(std::string_view url) {
  return {UrlHost(url), UrlPort(url), UrlPath(url), IsHttpsUrl(url)};
}

TEST(UrlPartsTest, PlainHttpUrls) {
  EXPECT_EQ(Split("http://notice.example.com/info.txt"),
            (Parts{"notice.example.com", 80, "/info.txt", false}));
  EXPECT_EQ(Split("http://127.0.0.1:8080/a/b?q=1"),
            (Parts{"127.0.0.1", 8080, "/a/b?q=1", false}));
  EXPECT_EQ(Split("Http://Example.COM/Path"), (Parts{"example.com", 80, "/Path", false}));
}

TEST(UrlPartsTest, SchemeLessUrlsAreHttp) {
  EXPECT_EQ(Split("example/x"), (Parts{"example", 80, "/x", false}));
  EXPECT_EQ(Split("example:81"), (Parts{"example", 81, "/", false}));
  // Only a leading scheme counts: the host is not taken from the query.
  EXPECT_EQ(Split("example/go?to=http://other/"),
            (Parts{"example", 80, "/go?to=http://other/", false}));
}

TEST(UrlPartsTest, HttpsInCapitalsWithAPortAndAQuery) {
  EXPECT_EQ(Split("HTTPS://WWW.Example.COM:8443/Some/Path?Q=Yes&r=1"),
            (Parts{"www.example.com", 8443, "/Some/Path?Q=Yes&r=1", true}));
  EXPECT_EQ(Split("https://secure.example"), (Parts{"secure.example", 443, "/", true}));
}

TEST(UrlPartsTest, NothingAfterTheHostGivesTheRootPath) {
  EXPECT_EQ(UrlPath("http://example.com"), "/");
  EXPECT_EQ(UrlPath("http://example.com:99"), "/");
  EXPECT_EQ(UrlPath("http://example.com/"), "/");
}

TEST(UrlPartsTest, PortNumbers) {
  EXPECT_EQ(UrlPort("http://example:abc/x"), 0);
  EXPECT_EQ(UrlPort("http://example:/x"), 0);
  EXPECT_EQ(UrlPort("http://example:12ab/x"), 12);
  // The last ":" of the host part counts; the host is cut at the first.
  EXPECT_EQ(UrlPort("http://a:1:2/"), 2);
  EXPECT_EQ(UrlHost("http://a:1:2/"), "a");
  // A scheme-less host that begins with "https" is plain http on port 80.
  EXPECT_EQ(UrlPort("httpsite/x"), 80);
  EXPECT_FALSE(IsHttpsUrl("httpsite/x"));
  EXPECT_EQ(UrlPort("HTTPS://x/"), 443);
}

TEST(UrlPartsTest, AHostSpelledLikeTheSchemeIsFoundBehindTheScheme) {
  EXPECT_EQ(UrlPath("http://h/x"), "/x");
  EXPECT_EQ(UrlPath("http://http/x"), "/x");
  EXPECT_EQ(UrlPath("https://s:8/x"), "/x");
  EXPECT_EQ(UrlPath("http://tp"), "/");
}

TEST(UrlPartsTest, ThePathKeepsItsBytesAndCase) {
  EXPECT_EQ(UrlPath("http://Host/A%20b/\xD6\xD0?x=Y#frag"), "/A%20b/\xD6\xD0?x=Y#frag");
  // The host is found again ignoring case, and the first "/" after it starts the path.
  EXPECT_EQ(UrlPath("HTTP://HOST:80//double"), "//double");
}

}  // namespace
}  // namespace vantry

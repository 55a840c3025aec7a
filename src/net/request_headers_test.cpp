#include "net/request_headers.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

constexpr GbkView kUrl = "http://example/x"_gbk;

TEST(HttpMethodTest, CodesAndVerbs) {
  const char* verbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                         "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(HttpMethodVerb(HttpMethodFromCode(code)), verbs[code]);
  }
  EXPECT_EQ(HttpMethodFromCode(9), HttpMethod::kGet);
  EXPECT_EQ(HttpMethodFromCode(-1), HttpMethod::kGet);
  EXPECT_EQ(HttpMethodFromCode(8), HttpMethod::kGet);
}

TEST(RequestAgentTest, DefaultWhenNoAgentLine) {
  EXPECT_EQ(DefaultUserAgent(), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(RequestAgent(""_gbk), GbkView(DefaultUserAgent()));
  EXPECT_EQ(RequestAgent("Accept: text/html"_gbk), GbkView(DefaultUserAgent()));
}

TEST(RequestAgentTest, TakesTheAgentLineOrFallsBackToTheFirstValue) {
  EXPECT_EQ(RequestAgent("User-Agent:  Foo "_gbk), "Foo"_gbk);
  EXPECT_EQ(RequestAgent("Accept: a\r\nUser-Agent: Bar/1.0\r\nX: y"_gbk), "Bar/1.0"_gbk);
  EXPECT_EQ(RequestAgent("user-agent: Foo"_gbk), "Foo"_gbk);
  // An empty agent line falls back too.
  EXPECT_EQ(RequestAgent("X-Id: 7\r\nUser-Agent:  "_gbk), "7"_gbk);
  // The fallback reads the first line's value, and never more than one line.
  EXPECT_EQ(RequestAgent("Accept: text/html\r\nuser-agent: Foo"_gbk), "text/html"_gbk);
}

TEST(CompleteRequestHeadersTest, NothingGivenGivesTheThreeDefaultLines) {
  EXPECT_EQ(CompleteRequestHeaders(""_gbk, kUrl, HttpMethod::kGet, ""_gbk),
            "Accept: */*\r\nReferer: http://example/x\r\nAccept-Language: zh-cn"_gbk);
  // The Referer is the URL exactly as passed.
  EXPECT_EQ(CompleteRequestHeaders(""_gbk, "Example/Y?Z"_gbk, HttpMethod::kGet, ""_gbk),
            "Accept: */*\r\nReferer: Example/Y?Z\r\nAccept-Language: zh-cn"_gbk);
}

TEST(CompleteRequestHeadersTest, OnlyPostGetsTheFormContentType) {
  EXPECT_EQ(CompleteRequestHeaders(""_gbk, kUrl, HttpMethod::kPost, ""_gbk),
            "Accept: */*\r\nReferer: http://example/x\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded"_gbk);
  EXPECT_EQ(CompleteRequestHeaders("Content-Type: text/plain"_gbk, kUrl,
                                   HttpMethod::kPost, ""_gbk),
            "Content-Type: text/plain\r\nAccept: */*\r\nReferer: http://example/x\r\n"
            "Accept-Language: zh-cn"_gbk);
  EXPECT_EQ(CompleteRequestHeaders(""_gbk, kUrl, HttpMethod::kPut, ""_gbk)
                .find("Content-Type"_gbk),
            std::string::npos);
}

}  // namespace
}  // namespace vantry

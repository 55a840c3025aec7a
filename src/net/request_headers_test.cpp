#include "net/request_headers.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

constexpr std::string_view kUrl = "http://example/x";

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
  EXPECT_EQ(RequestAgent(""), DefaultUserAgent());
  EXPECT_EQ(RequestAgent("Accept: text/html"), DefaultUserAgent());
}

TEST(RequestAgentTest, TakesTheAgentLineOrFallsBackToTheFirstValue) {
  EXPECT_EQ(RequestAgent("User-Agent:  Foo "), "Foo");
  EXPECT_EQ(RequestAgent("Accept: a\r\nUser-Agent: Bar/1.0\r\nX: y"), "Bar/1.0");
  EXPECT_EQ(RequestAgent("user-agent: Foo"), "Foo");
  // An empty agent line falls back too.
  EXPECT_EQ(RequestAgent("X-Id: 7\r\nUser-Agent:  "), "7");
  // The fallback reads the first line's value, and never more than one line.
  EXPECT_EQ(RequestAgent("Accept: text/html\r\nuser-agent: Foo"), "text/html");
}

TEST(CompleteRequestHeadersTest, NothingGivenGivesTheThreeDefaultLines) {
  EXPECT_EQ(CompleteRequestHeaders("", kUrl, HttpMethod::kGet, ""),
            "Accept: */*\r\nReferer: http://example/x\r\nAccept-Language: zh-cn");
  // The Referer is the URL exactly as passed.
  EXPECT_EQ(CompleteRequestHeaders("", "Example/Y?Z", HttpMethod::kGet, ""),
            "Accept: */*\r\nReferer: Example/Y?Z\r\nAccept-Language: zh-cn");
}

TEST(CompleteRequestHeadersTest, OnlyPostGetsTheFormContentType) {
  EXPECT_EQ(CompleteRequestHeaders("", kUrl, HttpMethod::kPost, ""),
            "Accept: */*\r\nReferer: http://example/x\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded");
  EXPECT_EQ(
      CompleteRequestHeaders("Content-Type: text/plain", kUrl, HttpMethod::kPost, ""),
      "Content-Type: text/plain\r\nAccept: */*\r\nReferer: http://example/x\r\n"
      "Accept-Language: zh-cn");
  EXPECT_EQ(CompleteRequestHeaders("", kUrl, HttpMethod::kPut, "").find("Content-Type"),
            std::string::npos);
}

}  // namespace
}  // namespace vantry

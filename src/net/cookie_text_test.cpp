#include "net/cookie_text.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(CollectSetCookiesTest, TakesEachSetCookiePairWithoutAttributes) {
  EXPECT_EQ(CollectSetCookies(
                "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"_gbk),
            "a=1; b=2"_gbk);
  // Order of the lines, repeats kept, other header lines ignored.
  EXPECT_EQ(
      CollectSetCookies("HTTP/1.1 302 Found\r\nSet-Cookie: z=9; HttpOnly\r\n"_gbk
                        "Location: /\r\nSet-Cookie:  z=9 \r\nSet-Cookie: sid=a b; x"),
      "z=9; z=9; sid=a b"_gbk);
}

TEST(CollectSetCookiesTest, OnlyExactSetCookieLinesCount) {
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 200 OK\r\nset-cookie: a=1\r\n"_gbk), ""_gbk);
  EXPECT_EQ(
      CollectSetCookies("HTTP/1.1 200 OK\r\nSet-Cookie2: a=1\r\nX-Set-Cookie: b=1"_gbk),
      ""_gbk);
  // The name must be followed by ": ".
  EXPECT_EQ(CollectSetCookies("Set-Cookie:a=1"_gbk), ""_gbk);
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"_gbk),
            ""_gbk);
  EXPECT_EQ(CollectSetCookies(""_gbk), ""_gbk);
}

TEST(CookieNameTest, IsThePartBeforeTheFirstEqualsSign) {
  EXPECT_EQ(CookieName("a=1"_gbk), "a"_gbk);
  EXPECT_EQ(CookieName(" sid =x=y"_gbk), "sid"_gbk);
  EXPECT_EQ(CookieName("=v"_gbk), ""_gbk);
  EXPECT_EQ(CookieName("flag"_gbk), "flag"_gbk);
  EXPECT_EQ(CookieName(""_gbk), ""_gbk);
}

TEST(HasCookieNamedTest, ComparesNamesExactly) {
  const std::vector<GbkText> items = {GbkText("a=1"), GbkText(" b =2"), GbkText("flag")};
  EXPECT_TRUE(HasCookieNamed(items, "a"_gbk));
  EXPECT_TRUE(HasCookieNamed(items, "b"_gbk));
  EXPECT_TRUE(HasCookieNamed(items, "flag"_gbk));
  EXPECT_FALSE(HasCookieNamed(items, "A"_gbk));
  EXPECT_FALSE(HasCookieNamed(items, "a=1"_gbk));
  EXPECT_FALSE(HasCookieNamed({}, ""_gbk));
}

struct MergeCase {
  GbkText sent;
  GbkText returned;
};

GbkText Merge(MergeCase& c) { return MergeCookies(c.sent, c.returned); }

TEST(MergeCookiesTest, ReturnedCookiesReplaceSentOnesOfTheSameName) {
  MergeCase c{"a=1; c=3"_gbk, "a=5"_gbk};
  EXPECT_EQ(Merge(c), "a=5; c=3"_gbk);
  EXPECT_EQ(c.sent, "a=5; c=3"_gbk);
  EXPECT_EQ(c.returned, "a=5"_gbk);
  // Sent cookies the response did not name follow the returned ones.
  MergeCase d{"x=1; y=2"_gbk, "z=3; y=4"_gbk};
  EXPECT_EQ(Merge(d), "z=3; y=4; x=1"_gbk);
}

TEST(MergeCookiesTest, DeletionsDropTheCookieTheyName) {
  MergeCase c{"a=1; c=3"_gbk, "c=deleted"_gbk};
  EXPECT_EQ(Merge(c), "a=1"_gbk);
  EXPECT_EQ(c.sent, "a=1"_gbk);
  MergeCase all{"a=1"_gbk, "a=deleted"_gbk};
  EXPECT_EQ(Merge(all), ""_gbk);
  EXPECT_EQ(all.sent, ""_gbk);
  // "deleted" as a value only counts after "=".
  MergeCase value{""_gbk, "a=undeleted; b=xdeleted"_gbk};
  EXPECT_EQ(Merge(value), "a=undeleted; b=xdeleted"_gbk);
}

TEST(MergeCookiesTest, EmptySentTextGivesTheReturnedCookiesCleaned) {
  MergeCase c{""_gbk, "a=1; b=deleted; a=1; c=x y"_gbk};
  EXPECT_EQ(Merge(c), "a=1; c=xy"_gbk);
  EXPECT_EQ(c.sent, "a=1; c=xy"_gbk);
  EXPECT_EQ(c.returned, "a=1;b=deleted;a=1;c=xy"_gbk);
  MergeCase none{""_gbk, ""_gbk};
  EXPECT_EQ(Merge(none), ""_gbk);
}

TEST(MergeCookiesTest, SpacesAreRemovedEverywhere) {
  MergeCase c{"  k = v ;  w=1"_gbk, "a=b c"_gbk};
  EXPECT_EQ(Merge(c), "a=bc; k=v; w=1"_gbk);
  // The full-width space too.
  MergeCase wide{""_gbk, GbkView("n=\xA1\xA1v")};
  EXPECT_EQ(Merge(wide), "n=v"_gbk);
}

TEST(MergeCookiesTest, EmptyReturnedTextKeepsTheSentCookies) {
  MergeCase c{"a=1; a=1; b=2"_gbk, ""_gbk};
  EXPECT_EQ(Merge(c), "a=1; b=2"_gbk);
}

}  // namespace
}  // namespace vantry

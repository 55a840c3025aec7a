#include "net/cookie_text.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(CollectSetCookiesTest, TakesEachSetCookiePairWithoutAttributes) {
  EXPECT_EQ(CollectSetCookies(
                "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"),
            "a=1; b=2");
  // Order of the lines, repeats kept, other header lines ignored.
  EXPECT_EQ(
      CollectSetCookies("HTTP/1.1 302 Found\r\nSet-Cookie: z=9; HttpOnly\r\n"
                        "Location: /\r\nSet-Cookie:  z=9 \r\nSet-Cookie: sid=a b; x"),
      "z=9; z=9; sid=a b");
}

TEST(CollectSetCookiesTest, OnlyExactSetCookieLinesCount) {
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 200 OK\r\nset-cookie: a=1\r\n"), "");
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 200 OK\r\nSet-Cookie2: a=1\r\nX-Set-Cookie: b=1"),
            "");
  // The name must be followed by ": ".
  EXPECT_EQ(CollectSetCookies("Set-Cookie:a=1"), "");
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"), "");
  EXPECT_EQ(CollectSetCookies(""), "");
}

TEST(CookieNameTest, IsThePartBeforeTheFirstEqualsSign) {
  EXPECT_EQ(CookieName("a=1"), "a");
  EXPECT_EQ(CookieName(" sid =x=y"), "sid");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_EQ(CookieName(""), "");
}

TEST(HasCookieNamedTest, ComparesNamesExactly) {
  const std::vector<GbkText> items = {"a=1", " b =2", "flag"};
  EXPECT_TRUE(HasCookieNamed(items, "a"));
  EXPECT_TRUE(HasCookieNamed(items, "b"));
  EXPECT_TRUE(HasCookieNamed(items, "flag"));
  EXPECT_FALSE(HasCookieNamed(items, "A"));
  EXPECT_FALSE(HasCookieNamed(items, "a=1"));
  EXPECT_FALSE(HasCookieNamed({}, ""));
}

struct MergeCase {
  GbkText sent;
  GbkText returned;
};

GbkText Merge(MergeCase& c) { return MergeCookies(c.sent, c.returned); }

TEST(MergeCookiesTest, ReturnedCookiesReplaceSentOnesOfTheSameName) {
  MergeCase c{"a=1; c=3", "a=5"};
  EXPECT_EQ(Merge(c), "a=5; c=3");
  EXPECT_EQ(c.sent, "a=5; c=3");
  EXPECT_EQ(c.returned, "a=5");
  // Sent cookies the response did not name follow the returned ones.
  MergeCase d{"x=1; y=2", "z=3; y=4"};
  EXPECT_EQ(Merge(d), "z=3; y=4; x=1");
}

TEST(MergeCookiesTest, DeletionsDropTheCookieTheyName) {
  MergeCase c{"a=1; c=3", "c=deleted"};
  EXPECT_EQ(Merge(c), "a=1");
  EXPECT_EQ(c.sent, "a=1");
  MergeCase all{"a=1", "a=deleted"};
  EXPECT_EQ(Merge(all), "");
  EXPECT_EQ(all.sent, "");
  // "deleted" as a value only counts after "=".
  MergeCase value{"", "a=undeleted; b=xdeleted"};
  EXPECT_EQ(Merge(value), "a=undeleted; b=xdeleted");
}

TEST(MergeCookiesTest, EmptySentTextGivesTheReturnedCookiesCleaned) {
  MergeCase c{"", "a=1; b=deleted; a=1; c=x y"};
  EXPECT_EQ(Merge(c), "a=1; c=xy");
  EXPECT_EQ(c.sent, "a=1; c=xy");
  EXPECT_EQ(c.returned, "a=1;b=deleted;a=1;c=xy");
  MergeCase none{"", ""};
  EXPECT_EQ(Merge(none), "");
}

TEST(MergeCookiesTest, SpacesAreRemovedEverywhere) {
  MergeCase c{"  k = v ;  w=1", "a=b c"};
  EXPECT_EQ(Merge(c), "a=bc; k=v; w=1");
  // The full-width space too.
  MergeCase wide{"", "n=\xA1\xA1v"};
  EXPECT_EQ(Merge(wide), "n=v");
}

TEST(MergeCookiesTest, EmptyReturnedTextKeepsTheSentCookies) {
  MergeCase c{"a=1; a=1; b=2", ""};
  EXPECT_EQ(Merge(c), "a=1; b=2");
}

}  // namespace
}  // namespace vantry

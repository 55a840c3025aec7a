#include "export/html_text.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(HtmlTextTest, MarkupFromTheInputFilesStaysText) {
  struct Case {
    std::string_view text;
    std::string_view html;
  } cases[] = {
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"\"><img src=x onerror='a()'>",
       "&quot;&gt;&lt;img src=x onerror=&#39;a()&#39;&gt;"},
      {"A&B &amp;", "A&amp;B &amp;amp;"},
      {"王小明", "王小明"},
  };
  for (const Case& c : cases) {
    std::string html;
    AppendHtml(c.text, html);
    EXPECT_EQ(html, c.html);
    std::string from_gbk;
    AppendGbkHtml(Gbk(c.text), from_gbk);
    EXPECT_EQ(from_gbk, c.html);
  }
  // One line: breaks and TABs shown, bytes that are not GBK and control bytes replaced.
  std::string line;
  AppendGbkHtml(Gbk("张\r\n三\t<b>") + GbkView("\x81\x20") + GbkText(1, '\0'), line);
  EXPECT_EQ(line, "张↵三⇥&lt;b&gt;\uFFFD \uFFFD");
}

TEST(HtmlTextTest, ScriptJsonCannotEndTheScriptElement) {
  struct Case {
    std::string_view text;
    std::string_view json;
  } cases[] = {
      {"</script><script>alert(1)</script>",
       R"("\u003c/script\u003e\u003cscript\u003ealert(1)\u003c/script\u003e")"},
      {"<!-- a & b -->", R"("\u003c!-- a \u0026 b --\u003e")"},
      {"say \"hi\" \\ ok", R"("say \"hi\" \\ ok")"},
      {"a\nb\x01", R"("a\u000ab\u0001")"},
      {"\u2028\u2029得分", R"("\u2028\u2029得分")"},
  };
  for (const Case& c : cases) {
    std::string json;
    AppendScriptJsonString(c.text, json);
    EXPECT_EQ(json, c.json);
  }
}

}  // namespace
}  // namespace vantry

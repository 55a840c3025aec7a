#include "text/tagged_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/message_pump.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;

std::vector<GbkText> Fields(GbkView text, GbkView start, GbkView end,
                            const TaggedFieldOptions& options = {}) {
  std::vector<GbkText> fields{"stale"_gbk};
  const TaggedFieldsResult result =
      ExtractTaggedFields(text, start, end, fields, options);
  EXPECT_EQ(result.count, static_cast<int64_t>(fields.size()));
  return fields;
}

TEST(TaggedFieldsTest, CollectsFieldsInOrderAndEmptiesTheResultFirst) {
  EXPECT_THAT(Fields("<a>1</a> <a>2</a>"_gbk, "<a>"_gbk, "</a>"_gbk),
              ElementsAre("1"_gbk, "2"_gbk));
  EXPECT_THAT(Fields("<a></a>"_gbk, "<a>"_gbk, "</a>"_gbk), ElementsAre(""_gbk));
  EXPECT_THAT(Fields("nothing"_gbk, "<a>"_gbk, "</a>"_gbk), IsEmpty());
  EXPECT_THAT(Fields(""_gbk, "<a>"_gbk, "</a>"_gbk), IsEmpty());
}

TEST(TaggedFieldsTest, NestedStartMarkersOpenNestedFields) {
  EXPECT_THAT(Fields("<a>1<a>2</a>"_gbk, "<a>"_gbk, "</a>"_gbk),
              ElementsAre("1<a>2"_gbk, "2"_gbk));
  EXPECT_THAT(Fields("<a>1</a><a>open"_gbk, "<a>"_gbk, "</a>"_gbk), ElementsAre("1"_gbk));
  // An unclosed start marker ends the collection, also when later fields are complete
  // only for markers that stand after it... here the later end marker closes it.
  EXPECT_THAT(Fields("</a><a>x"_gbk, "<a>"_gbk, "</a>"_gbk), IsEmpty());
}

TEST(TaggedFieldsTest, AnswerSheetTagsNeedTheirOwnTabs) {
  const GbkText start = Gbk("<姓名>\t"), end = Gbk("\t</姓名>");
  EXPECT_THAT(Fields(start + end, start, end), ElementsAre(""_gbk));
  // A single TAB between the tags belongs to only one of them: the field runs on.
  const GbkText text = Gbk("<姓名>\t</姓名> 甲 <姓名>\t乙\t</姓名>");
  EXPECT_THAT(Fields(text, start, end),
              ElementsAre(Gbk("</姓名> 甲 <姓名>\t乙"), Gbk("乙")));
}

TEST(TaggedFieldsTest, OptionsShapeAndFilterFields) {
  TaggedFieldOptions options;
  options.prefix = "["_gbk;
  options.suffix = "]"_gbk;
  options.keep_start_marker = 1;
  options.keep_end_marker = 1;
  EXPECT_THAT(Fields("<a>x</a>"_gbk, "<a>"_gbk, "</a>"_gbk, options),
              ElementsAre("<a>[x]</a>"_gbk));

  TaggedFieldOptions limit;
  limit.length_limit = 3;
  EXPECT_THAT(Fields("<a>12</a><a>123</a>"_gbk, "<a>"_gbk, "</a>"_gbk, limit),
              ElementsAre("12"_gbk));

  TaggedFieldOptions from;
  from.start_position = 2;
  EXPECT_THAT(Fields("<a>1</a><a>2</a>"_gbk, "<a>"_gbk, "</a>"_gbk, from),
              ElementsAre("2"_gbk));
  from.start_position = -5;
  EXPECT_THAT(Fields("<a>1</a>"_gbk, "<a>"_gbk, "</a>"_gbk, from), ElementsAre("1"_gbk));

  TaggedFieldOptions fold;
  fold.ignore_case = true;
  EXPECT_THAT(Fields("<A>1</a>"_gbk, "<a>"_gbk, "</A>"_gbk, fold), ElementsAre("1"_gbk));
  EXPECT_THAT(Fields("<A>1</a>"_gbk, "<a>"_gbk, "</A>"_gbk), IsEmpty());
}

TEST(TaggedFieldsTest, MarkersNeverBeginInsideATwoByteCharacter) {
  // B0 D6 D6 B5: the marker D6 D6 would straddle two characters.
  EXPECT_THAT(Fields(GbkView("\xB0\xD6\xD6\xB5x\xD6\xD6"), GbkView("\xD6\xD6"), "x"_gbk),
              IsEmpty());
}

TEST(TaggedFieldsTest, EmptyMarkersGiveNoFieldsAndNeverLoop) {
  EXPECT_THAT(Fields("abc"_gbk, ""_gbk, "c"_gbk), IsEmpty());
  EXPECT_THAT(Fields("abc"_gbk, "a"_gbk, ""_gbk), IsEmpty());
}

TEST(TaggedFieldsTest, StackedStartMarkersGiveEveryFieldAsAView) {
  // 200,000 start markers before one end marker: every one opens a field that runs to
  // the end. As views they are all collected (16 bytes each); as copies they would
  // take 1.2 TB.
  const GbkText start = Gbk("<姓名>\t");
  GbkText text;
  for (int i = 0; i < 200000; ++i) text += start;
  text += Gbk("甲\t</姓名>");
  std::vector<GbkView> views;
  EXPECT_EQ(ExtractTaggedFieldViews(text, start, Gbk("\t</姓名>"), views), 200000);
  ASSERT_EQ(views.size(), 200000u);
  for (size_t i = 0; i < views.size(); ++i) {
    ASSERT_EQ(views[i].data(), text.data() + (i + 1) * start.size());
    ASSERT_EQ(views[i].data() + views[i].size(), text.data() + text.size() - 8);
  }
}

TEST(TaggedFieldsTest, CopiesStopAtTheirBudgetAndSaySo) {
  // Copies of stacked fields stop once they hold more than four times the text plus
  // 64 MiB; the result says the collection was cut.
  const GbkText start = Gbk("<姓名>\t");
  GbkText text;
  for (int i = 0; i < 200000; ++i) text += start;
  text += Gbk("甲\t</姓名>");
  std::vector<GbkText> fields;
  const TaggedFieldsResult cut =
      ExtractTaggedFields(text, start, Gbk("\t</姓名>"), fields);
  EXPECT_FALSE(cut.complete);
  ASSERT_EQ(cut.count, static_cast<int64_t>(fields.size()));
  ASSERT_GT(fields.size(), 1u);
  int64_t total = 0;
  for (const GbkText& field : fields) total += static_cast<int64_t>(field.size());
  EXPECT_LE(total, 4 * static_cast<int64_t>(text.size()) + (int64_t{64} << 20));
  EXPECT_EQ(fields[0], text.substr(start.size(), text.size() - start.size() - 8));
  EXPECT_EQ(fields[1], fields[0].substr(start.size()));

  // The fields that fit the budget are kept, in order; fields dropped for their
  // length are not copied and take none of it.
  std::vector<GbkText> small_fields;
  TaggedFieldOptions small;
  small.max_total_bytes = 13;
  const TaggedFieldsResult small_cut = ExtractTaggedFields(
      "<a><a><a>xy</a>"_gbk, "<a>"_gbk, "</a>"_gbk, small_fields, small);
  EXPECT_THAT(small_fields, ElementsAre("<a><a>xy"_gbk, "<a>xy"_gbk));
  EXPECT_FALSE(small_cut.complete);
  small.length_limit = 6;
  const TaggedFieldsResult filtered = ExtractTaggedFields(
      "<a><a><a>xy</a>"_gbk, "<a>"_gbk, "</a>"_gbk, small_fields, small);
  EXPECT_THAT(small_fields, ElementsAre("<a>xy"_gbk, "xy"_gbk));
  EXPECT_TRUE(filtered.complete);
  EXPECT_TRUE(
      ExtractTaggedFields("<a><a><a>xy</a>"_gbk, "<a>"_gbk, "</a>"_gbk, small_fields)
          .complete);
  EXPECT_THAT(small_fields, ElementsAre("<a><a>xy"_gbk, "<a>xy"_gbk, "xy"_gbk));
}

TEST(TaggedFieldsTest, PumpsOncePerFieldFound) {
  int pumped = 0;
  ScopedMessagePump pump([&] { ++pumped; });
  TaggedFieldOptions limit;
  limit.length_limit = 1;  // a dropped field still counts as found
  Fields("<a>1</a><a>2</a><a>"_gbk, "<a>"_gbk, "</a>"_gbk, limit);
  EXPECT_EQ(pumped, 2);
}

TEST(TaggedFieldsTest, ViewsAgreeWithCopiesAndPumpAsOften) {
  const GbkText sheet = Gbk("<姓名>\t</姓名> 甲 <姓名>\t乙\t</姓名>");
  const GbkText name_start = Gbk("<姓名>\t"), name_end = Gbk("\t</姓名>");
  const std::pair<std::string, std::pair<std::string, std::string>> cases[] = {
      {"<a>1</a> <a>2</a>", {"<a>", "</a>"}},
      {"<a></a>", {"<a>", "</a>"}},
      {"<a>1<a>2</a>", {"<a>", "</a>"}},
      {"<a>1</a><a>open", {"<a>", "</a>"}},
      {"</a><a>x", {"<a>", "</a>"}},
      {"", {"<a>", "</a>"}},
      {"<a>x</a>", {"", "</a>"}},
      {sheet.bytes(), {name_start.bytes(), name_end.bytes()}},
      {"\xB0\xD6\xD6\xB5x\xD6\xD6", {"\xD6\xD6", "x"}},
  };
  for (const auto& [text, markers] : cases) {
    int pumped = 0;
    ScopedMessagePump pump([&] { ++pumped; });
    std::vector<GbkView> views{"stale"_gbk};
    const int64_t n = ExtractTaggedFieldViews(GbkView(text), GbkView(markers.first),
                                              GbkView(markers.second), views);
    const int pumped_for_views = std::exchange(pumped, 0);
    const std::vector<GbkText> copies =
        Fields(GbkView(text), GbkView(markers.first), GbkView(markers.second));
    EXPECT_EQ(std::vector<GbkText>(views.begin(), views.end()), copies) << text;
    EXPECT_EQ(n, static_cast<int64_t>(views.size()));
    EXPECT_EQ(pumped_for_views, pumped) << text;
    for (GbkView v : views) {
      EXPECT_TRUE(v.data() >= text.data() &&
                  v.data() + v.size() <= text.data() + text.size());
    }
  }
}

}  // namespace
}  // namespace vantry

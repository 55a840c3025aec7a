#include "export/json_record.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "export/explanation.h"
#include "platform/file_io.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using nlohmann::json;
using testing::Gbk;
using testing::TempDir;
using testing::TestClass;

std::set<std::string> Keys(const json& object) {
  std::set<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.insert(key);
  return keys;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

TEST(JsonRecordTest, HoldsEveryDecisionInTheDocumentedShape) {
  TempDir dir;
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>光合作用|光合</关键词><关键词>叶绿体</关键词><关键词>氧气</关键词>")},
      {"5"_gbk});
  TestClass c(state, "2", "1-2,1-3");
  const GbkText odd_name = Gbk("王") + GbkView(
                                           "\x80"
                                           "A");
  c.Add(Gbk("甲"), Gbk("光合作用在叶绿体中进行，产生氧气。\t其他"))
      .Add(odd_name, Gbk("氧气") + GbkView("\xFF"))
      .Add(Gbk("丙"), std::nullopt);
  const auto path = dir.File("record.json");
  ASSERT_TRUE(WriteJsonRecord(c.graded(), ComputeClassStatistics(c.graded(), state),
                              {"2"_gbk, "1-2,1-3"_gbk}, path));
  const std::string text = ReadWholeFile(path);
  const json record = json::parse(text);

  EXPECT_EQ(Keys(record),
            (std::set<std::string>{"format", "version", "boxes", "paper_count",
                                   "question_count", "caps", "papers"}));
  EXPECT_EQ(record["format"], "vantry-grading-record");
  EXPECT_EQ(record["version"], 1);
  EXPECT_EQ(record["boxes"],
            json::parse(R"({"points_per_hit":"2","order_keys":"1-2,1-3"})"));
  EXPECT_EQ(record["paper_count"], 3);
  EXPECT_EQ(record["question_count"], 2);
  EXPECT_EQ(record["caps"], json::parse("[5, null]"));
  ASSERT_EQ(record["papers"].size(), 3u);

  const json& first = record["papers"][0];
  EXPECT_EQ(Keys(first), (std::set<std::string>{"index", "name", "has_answer", "total",
                                                "rank", "questions"}));
  EXPECT_EQ(first["index"], 1);
  EXPECT_EQ(first["name"], "甲");
  EXPECT_EQ(first["total"], 5);
  EXPECT_EQ(first["rank"], 1);
  const json& q1 = first["questions"][0];
  EXPECT_EQ(Keys(q1), (std::set<std::string>{
                          "question", "answer", "has_rule", "raw_score", "cap",
                          "shown_score", "chain", "chain_rose", "earned_bonus", "bonus",
                          "bonus_points_read", "explanation", "groups"}));
  EXPECT_EQ(q1["answer"], "光合作用在叶绿体中进行，产生氧气。");
  EXPECT_EQ(q1["raw_score"], 6);
  EXPECT_EQ(q1["shown_score"], 5);
  EXPECT_EQ(q1["chain"], json::parse("[11, 29]"));
  EXPECT_EQ(q1["earned_bonus"], true);
  EXPECT_EQ(q1["bonus"], 4);
  EXPECT_EQ(q1["bonus_points_read"], 2);
  PaperRecord paper;
  c.graded().Record(0, paper);
  EXPECT_EQ(q1["explanation"], ExplainQuestion(paper, paper.questions[0]));
  EXPECT_EQ(q1["groups"][0], json::parse(R"({"group":1,"ordered":false,"alternative":1,
                "alternative_text":"光合作用","position":1,"points":2,"points_read":2,
                "chain":[]})"));
  EXPECT_EQ(q1["groups"][2], json::parse(R"({"group":3,"ordered":true,"alternative":1,
                "alternative_text":"氧气","position":29,"points":0,"points_read":null,
                "chain":[29]})"));
  const json& q2 = first["questions"][1];
  EXPECT_EQ(q2["has_rule"], false);
  EXPECT_EQ(q2["cap"], nullptr);
  EXPECT_EQ(q2["groups"], json::array());

  // Texts that are not valid GBK keep their bytes beside the shown text.
  const json& second = record["papers"][1];
  EXPECT_EQ(second["name"], "王\uFFFDA");
  EXPECT_EQ(GbkText(FromHex(second["name_gbk_hex"])), odd_name);
  EXPECT_EQ(GbkText(FromHex(second["questions"][0]["answer_gbk_hex"])),
            Gbk("氧气") + GbkView("\xFF"));
  EXPECT_FALSE(first.contains("name_gbk_hex"));
  EXPECT_EQ(second["questions"][0]["groups"][1]["alternative"], nullptr);
  EXPECT_EQ(second["questions"][0]["groups"][1]["position"], nullptr);
  EXPECT_EQ(second["rank"], 2);

  const json& third = record["papers"][2];
  EXPECT_EQ(third["has_answer"], false);
  EXPECT_EQ(third["questions"], json::array());
  EXPECT_EQ(third["rank"], 2);  // tied with the second at 0
  // One paper per line, between the head and the closing line.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

}  // namespace
}  // namespace vantry

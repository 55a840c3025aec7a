#include "export/json_record.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "export/explanation.h"
#include "platform/file_io.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using Json = nlohmann::ordered_json;

// Sets `key` to the text in UTF-8 and, when that does not give back the exact bytes in
// GBK (bytes that are not valid GBK became U+FFFD), `key` + "_gbk_hex" to the bytes.
void PutText(Json& object, const std::string& key, GbkView gbk) {
  std::string utf8 = GbkToUtf8(gbk);
  const bool lossless = IsValidGbk(gbk) && Utf8ToGbk(utf8) == gbk;
  object[key] = std::move(utf8);
  if (lossless) return;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(gbk.size() * 2);
  for (const char c : gbk) {
    hex += kHex[static_cast<unsigned char>(c) >> 4];
    hex += kHex[static_cast<unsigned char>(c) & 0x0F];
  }
  object[key + "_gbk_hex"] = std::move(hex);
}

template <typename T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

// The record's "ordered" field: a group scored through the order chain.
bool IsOrdered(GroupMode mode) {
  switch (mode) {
    case GroupMode::kUnordered:
      return false;
    case GroupMode::kOrdered:
      return true;
  }
  return false;
}

Json Positions(std::span<const int64_t> positions) {
  Json array = Json::array();
  for (const int64_t p : positions) array.push_back(p);
  return array;
}

Json GroupJson(const PaperRecord& paper, const GroupRecord& group) {
  Json g;
  g["group"] = group.group;
  g["ordered"] = IsOrdered(group.mode);
  if (group.matched()) {
    g["alternative"] = group.alternative;
    PutText(g, "alternative_text", group.alternative_text);
    g["position"] = group.position;
  } else {
    g["alternative"] = nullptr;
    g["alternative_text"] = nullptr;
    g["position"] = nullptr;
  }
  g["points"] = group.points;
  g["points_read"] = OrNull(group.points_read);
  g["chain"] =
      Positions(std::span(paper.log.chain).subspan(group.chain_begin, group.chain_size));
  return g;
}

Json QuestionJson(const PaperRecord& paper, const QuestionRecord& question) {
  Json q;
  q["question"] = question.question;
  PutText(q, "answer", question.answer);
  q["has_rule"] = question.has_rule;
  q["raw_score"] = question.raw_score;
  q["cap"] = OrNull(question.cap);
  q["shown_score"] = question.shown_score;
  q["chain"] = Positions(paper.Chain(question));
  q["chain_rose"] = question.chain_rose;
  q["earned_bonus"] = question.earned_bonus();
  q["bonus"] = question.bonus;
  q["bonus_points_read"] = OrNull(question.bonus_points_read);
  q["explanation"] = ExplainQuestion(paper, question);
  Json groups = Json::array();
  for (const GroupRecord& group : paper.Groups(question)) {
    groups.push_back(GroupJson(paper, group));
  }
  q["groups"] = std::move(groups);
  return q;
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', /*ensure_ascii=*/false, Json::error_handler_t::replace);
}

}  // namespace

std::string PaperJson(const PaperRecord& paper, int64_t index, int64_t rank) {
  Json p;
  p["index"] = index;
  PutText(p, "name", paper.name);
  p["has_answer"] = paper.has_answer;
  p["total"] = paper.total;
  p["rank"] = rank;
  Json questions = Json::array();
  for (const QuestionRecord& question : paper.questions) {
    questions.push_back(QuestionJson(paper, question));
  }
  p["questions"] = std::move(questions);
  return Dump(p);
}

Status WriteJsonRecord(const GradedClass& graded, const ClassStatistics& stats,
                       const JsonBoxes& boxes, const std::filesystem::path& path) {
  Json head;
  head["format"] = kJsonFormatName;
  head["version"] = kJsonFormatVersion;
  Json box_texts;
  PutText(box_texts, "points_per_hit", boxes.points_per_hit);
  PutText(box_texts, "order_keys", boxes.order_keys);
  head["boxes"] = std::move(box_texts);
  head["paper_count"] = graded.paper_count();
  head["question_count"] = graded.question_count();
  Json caps = Json::array();
  for (int q = 1; q <= graded.question_count(); ++q)
    caps.push_back(OrNull(graded.Cap(q)));
  head["caps"] = std::move(caps);
  // Everything but the papers, then the papers one per line before the closing "]}".
  head["papers"] = Json::array();
  std::string opening = Dump(head);
  opening.resize(opening.size() - 2);  // "]}"

  return WriteThroughTemporary(path, [&](const std::filesystem::path& temporary) {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << opening;
    PaperRecord record;
    for (size_t i = 0; i < graded.paper_count() && out; ++i) {
      graded.Record(i, record);
      out << (i == 0 ? "\n" : ",\n")
          << PaperJson(record, static_cast<int64_t>(i) + 1, stats.ranks[i]);
    }
    out << "\n]}\n";
    out.close();
    return !out.fail();
  });
}

}  // namespace vantry

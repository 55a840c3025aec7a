#include "export/teacher_check.h"

#include <algorithm>
#include <cmath>

#include "analysis/agreement_verdict.h"
#include "analysis/class_statistics.h"
#include "export/answer_marks.h"
#include "export/explanation.h"
#include "export/figure_text.h"
#include "platform/file_io.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// Columns on a terminal: CJK and full-width characters take two.
size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    char32_t code = c;
    size_t length = 1;
    if (c >= 0xF0) {
      length = 4;
      code = c & 0x07;
    } else if (c >= 0xE0) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xC0) {
      length = 2;
      code = c & 0x1F;
    }
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    const bool wide =
        (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
        (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
        (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
        (code >= 0xFFE0 && code <= 0xFFE6) || code >= 0x20000;
    width += wide ? 2 : 1;
    i += length;
  }
  return width;
}

// Rows of cells laid out in columns: the first left-aligned, the others right-aligned.
std::string Columns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      const std::string pad(widths[c] - DisplayWidth(row[c]), ' ');
      if (c > 0) line += "  ";
      line += c == 0 ? row[c] + pad : pad + row[c];
    }
    while (line.ends_with(' ')) line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string Name(GbkView gbk) {
  std::string utf8;
  AppendOneLine(gbk, utf8);
  return utf8;
}

// Characters of an answer quoted beside a disagreement: a terminal line's worth.
constexpr size_t kAnswerCharacters = 60;

// Below this many compared totals the verdict says it is only a hint.
constexpr int64_t kFewPapers = 5;

// Names joined with "、", at most kListedNames of them, then how many there are in all.
constexpr size_t kListedNames = 20;
std::string NameList(const std::vector<std::string>& names, size_t total) {
  std::string out;
  for (size_t i = 0; i < names.size() && i < kListedNames; ++i) {
    if (i > 0) out += "、";
    out += names[i];
  }
  if (total > kListedNames) out += " 等 " + std::to_string(total) + " 人";
  return out;
}

std::string NameList(const std::vector<GbkText>& gbk) {
  std::vector<std::string> names;
  for (size_t i = 0; i < gbk.size() && i < kListedNames; ++i)
    names.push_back(Name(gbk[i]));
  return NameList(names, gbk.size());
}

}  // namespace

std::string SheetName(const std::filesystem::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

TeacherCheck CheckAgainstTeacher(const GradedClass& graded, std::string sheet_name,
                                 MarksRead read) {
  TeacherCheck check;
  check.sheet_name = std::move(sheet_name);
  if (!read.ok()) {
    check.read = read.status();
    return check;
  }
  check.marks = std::move(read).value();
  check.comparison = CompareWithTeacher(graded, check.marks, kLargestDisagreements);
  // Every question of the sheet is explained, also those past the longest answer
  // (no paper answered them).
  int last_question = graded.question_count();
  for (int question : check.marks.questions)
    last_question = std::max(last_question, question);
  PaperRecord record;
  for (const MarksComparison::Match& match : check.comparison.largest) {
    graded.Record(match.paper, record);
    std::vector<std::string>& rows = check.largest_explanations.emplace_back();
    if (graded.question_count() > 0) ExplainPaper(record, graded, rows);
    for (int q = graded.question_count() + 1; q <= last_question; ++q) {
      AppendAbsentQuestionExplanation(record, q, graded.Cap(q), rows.emplace_back());
    }
    std::vector<std::string>& answers = check.largest_answers.emplace_back();
    for (const QuestionRecord& question : record.questions)
      answers.push_back(AnswerExcerpt(record, question, kAnswerCharacters));
  }
  return check;
}

std::optional<TeacherMarksSheet> ReadSheetBesideExam(
    const std::filesystem::path& directory) {
  const std::filesystem::path sheet = PathInDirectory(directory, kTeacherMarksFileName);
  if (!PathExists(sheet)) return std::nullopt;
  return TeacherMarksSheet{SheetName(sheet), ReadTeacherMarks(sheet)};
}

std::optional<TeacherCheck> CheckBesideExam(const GradedClass& graded,
                                            const std::filesystem::path& directory) {
  std::optional<TeacherMarksSheet> sheet = ReadSheetBesideExam(directory);
  if (!sheet) return std::nullopt;
  return CheckAgainstTeacher(graded, std::move(sheet->name), std::move(sheet->read));
}

std::string TeacherCheckVerdict(const TeacherCheck& check) {
  if (!check.ok()) return "";
  const MarksComparison& c = check.comparison;
  const Agreement& t = c.totals;
  if (t.papers == 0) {
    return "没有每道题都有您评分的试卷，无法比对总分" +
           (c.papers_compared > 0 ? "（各题的比对见下表）" : std::string());
  }
  std::string out;
  const double mean = *t.mean_difference;
  if (std::abs(mean) < 0.05) {
    out = "规则给分的平均数与您的相同";
  } else {
    out = std::string("规则平均比您") + (mean < 0 ? "少给 " : "多给 ") +
          FixedText(std::abs(mean), 1) + " 分";
  }
  const int64_t far = t.papers - t.papers_within_one;
  out +=
      "；" + std::to_string(t.papers) + " 份中" +
      (far == 0 ? "都相差不超过 1 分" : " " + std::to_string(far) + " 份相差超过 1 分");
  if (c.level_changes) {
    out += *c.level_changes == 0 ? "，等级都相同"
                                 : "，" + std::to_string(*c.level_changes) +
                                       " 份等级不同（优秀/及格/低分）";
  }
  out += "；r = " + FixedText(t.pearson_r, 2) +
         "，加权 kappa = " + FixedText(t.weighted_kappa, 2);
  if (t.lowest && t.highest) {
    out += "（按 " + HalfPointsText(*t.lowest) + "–" + HalfPointsText(*t.highest) +
           " 分计）";
  }
  const AgreementVerdict verdict = JudgeAgreement(c);
  out += "。结论：";
  if (!verdict.level) {
    out += "无法判断（分数全都相同）";
  } else {
    static constexpr std::string_view kWords[] = {"高度一致", "较为一致", "一般",
                                                  "需要修改关键词"};
    out += kWords[static_cast<int>(*verdict.level)];
    if (verdict.mean_difference_large && verdict.level_changes_many) {
      out += "（平均差偏大，等级不同的试卷偏多）";
    } else if (verdict.mean_difference_large) {
      out += "（平均差偏大）";
    } else if (verdict.level_changes_many) {
      out += "（等级不同的试卷偏多）";
    }
  }
  if (t.papers < kFewPapers) {
    out += "；只比对了 " + std::to_string(t.papers) + " 份，仅供参考";
  }
  return out;
}

GbkText TeacherCheckSummaryLine(const TeacherCheck& check) {
  if (!check.ok()) return TeacherCheckProblemLine(check);
  return Utf8ToGbk("与教师评分核对：" + TeacherCheckVerdict(check));
}

GbkText TeacherCheckProblemLine(const TeacherCheck& check) {
  if (check.ok()) return {};
  // The message is converted here, where it is shown in GBK.
  return Utf8ToGbk(check.sheet_name + " " + check.read.message() +
                   "；没有与教师评分核对");
}

std::vector<std::vector<std::string>> TeacherCheckTable(const TeacherCheck& check) {
  std::vector<std::vector<std::string>> rows = {
      {"题目", "份数", "完全一致", "相差≤1分", "平均差", "相关系数r", "加权kappa"}};
  const auto add_row = [&rows](std::string label, const Agreement& a) {
    rows.push_back({std::move(label), std::to_string(a.papers),
                    PercentText(a.exact_share), PercentText(a.within_one_share),
                    SignedText(a.mean_difference, 2), FixedText(a.pearson_r, 2),
                    FixedText(a.weighted_kappa, 2)});
  };
  for (const auto& q : check.comparison.questions)
    add_row(QuestionLabel(q.question), q.agreement);
  add_row("总分", check.comparison.totals);
  return rows;
}

std::vector<std::string> TeacherCheckNotes(const TeacherCheck& check) {
  return {
      std::string("平均差 = 规则给分 − 教师给分，为正说明规则给分偏高；总分只比对每道题都"
                  "有教师评分的试卷") +
          (check.comparison.sheet_covers_every_question ? "。" : "，只计表中有的题。"),
      "结论看总分，取三项中最低的一档：高度一致要加权kappa 0.80 以上、平均差小于满分的 "
      "3%、等级不同的不超过 5%；较为一致 0.60、6%、15%；一般 0.40、10%、30%；"
      "否则需要修改关键词。“—”表示无法计算（如分数全都相同）。",
  };
}

std::vector<Disagreement> TeacherCheckDisagreements(const TeacherCheck& check,
                                                    const GradedClass& graded) {
  std::vector<Disagreement> result;
  const MarksComparison& c = check.comparison;
  for (size_t i = 0; i < c.largest.size(); ++i) {
    const MarksComparison::Match& match = c.largest[i];
    const GradedClass::Paper& paper = graded.papers()[match.paper];
    const std::vector<std::string>& explanations = check.largest_explanations[i];
    Disagreement& d = result.emplace_back();
    d.name = Name(paper.name);
    d.disagreement = match.disagreement;
    for (const auto& q : c.questions) {
      const std::optional<HalfPoints> teacher =
          check.marks.half_points(match.row, q.column);
      if (!teacher) continue;
      const HalfPoints rules = ToHalfPoints(ShownScore(graded, paper, q.question));
      d.rules_sum += rules;
      d.teacher_sum += *teacher;
      if (rules == *teacher) continue;
      const auto index = static_cast<size_t>(q.question) - 1;
      const std::vector<std::string>& answers = check.largest_answers[i];
      d.questions.push_back(
          {.question = q.question,
           .teacher = *teacher,
           .rules = rules,
           .explanation = explanations.at(index),
           .answer = index < answers.size() ? answers[index] : std::string()});
    }
  }
  return result;
}

std::vector<std::pair<std::string, std::string>> TeacherCheckNameLines(
    const TeacherCheck& check, const GradedClass& graded) {
  const MarksComparison& c = check.comparison;
  std::vector<std::pair<std::string, std::string>> lines;
  if (!c.names_twice_in_sheet.empty())
    lines.emplace_back("评分表里出现两次（没有比对）", NameList(c.names_twice_in_sheet));
  if (!c.names_twice_in_answers.empty())
    lines.emplace_back("答题文本里有同名试卷（没有比对）",
                       NameList(c.names_twice_in_answers));
  if (!c.names_without_paper.empty())
    lines.emplace_back("答题文本里找不到", NameList(c.names_without_paper));
  if (!c.papers_without_marks.empty()) {
    std::vector<std::string> without;
    for (size_t p = 0; p < c.papers_without_marks.size() && p < kListedNames; ++p)
      without.push_back(Name(graded.papers()[c.papers_without_marks[p]].name));
    lines.emplace_back("没有教师评分的试卷",
                       NameList(without, c.papers_without_marks.size()));
  }
  return lines;
}

std::string TeacherCheckText(const TeacherCheck& check, const GradedClass& graded) {
  if (!check.ok()) return GbkToUtf8(TeacherCheckProblemLine(check)) + "\n";
  std::string out = "与教师评分核对（" + check.sheet_name + "）：比对 " +
                    std::to_string(check.comparison.papers_compared) + " 份试卷\n";
  out += TeacherCheckVerdict(check) + "\n\n";
  out += Columns(TeacherCheckTable(check));
  for (const std::string& note : TeacherCheckNotes(check)) out += note + "\n";

  const std::vector<Disagreement> largest = TeacherCheckDisagreements(check, graded);
  if (!largest.empty()) {
    out += "\n分歧最大的试卷：\n";
    for (size_t i = 0; i < largest.size(); ++i) {
      const Disagreement& d = largest[i];
      out += (i + 1 < 10 ? " " : "") + std::to_string(i + 1) + ". " + d.name +
             "：逐题相差共 " + HalfPointsText(d.disagreement) + " 分（规则 " +
             HalfPointsText(d.rules_sum) + " 分，教师 " + HalfPointsText(d.teacher_sum) +
             " 分）\n";
      for (const Disagreement::Question& q : d.questions) {
        out += "    教师 " + HalfPointsText(q.teacher) + " 分 | 规则 " + q.explanation +
               "\n";
        if (!q.answer.empty()) out += "      答案：" + q.answer + "\n";
      }
    }
  } else if (check.comparison.papers_compared > 0) {
    out += "\n比对的试卷里，规则给分与教师评分逐题一致。\n";
  }

  const auto names = TeacherCheckNameLines(check, graded);
  if (!names.empty()) {
    out += "\n姓名核对：\n";
    for (const auto& [what, list] : names) out += "  " + what + "：" + list + "\n";
  }
  return out;
}

}  // namespace vantry

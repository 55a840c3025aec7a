#include "grading/exam_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_io.h"
#include "text/find_text.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

std::string PathText(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  const std::u8string utf8 = (error ? path : absolute).lexically_normal().u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::string Quoted(std::string_view name) { return "“" + std::string(name) + "”"; }

// A size in words a teacher reads: 2.3 GB, 850 MB.
std::string SizeText(uint64_t bytes) {
  char text[32];
  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  if (mb >= 1024) {
    std::snprintf(text, sizeof text, "%.1f GB", mb / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.0f MB", mb);
  }
  return text;
}

std::string TooLarge(std::string_view what, std::string_view name, uint64_t size,
                     const std::string& path) {
  return std::string(what) + Quoted(name) + "太大（" + SizeText(size) +
         "），超出了这台电脑能给本程序的内存，无法读取。\n位置：" + path +
         "\n请把它分成几个较小的文件分别阅卷，或在内存更大的电脑上阅卷。";
}

// How to save a UTF-16 file as GBK or UTF-8 in the editors teachers use.
std::string SaveAsGbkSteps(std::string_view name) {
  return Quoted(name) +
         "是以 UTF-16（记事本里叫 Unicode）编码保存的，"
         "本程序只能读取 GBK（ANSI）或 UTF-8 编码的文件。\n"
         "请这样另存：\n"
         "· 记事本：打开文件，点“文件”→“另存为”，把下方的“编码”选为“ANSI”或“UTF-8”，"
         "保存；\n"
         "· WPS：打开文件，点“文件”→“另存为”，文件类型选“纯文本文件(*.txt)”，"
         "编码选“GBK”或“UTF-8”，保存。\n";
}

// A UTF-8 file holding a character that GBK, the program's text, cannot hold.
std::string OutsideGbkText(std::string_view name, const CharacterOutsideGbk& outside) {
  return Quoted(name) + "是以 UTF-8 编码保存的，其中第 " + std::to_string(outside.line) +
         " 行第 " + std::to_string(outside.column) + " 个字“" + outside.character +
         "”（" + CodePointText(outside.code_point) +
         "）是 GBK（ANSI）编码里没有的字符，本程序无法读取。\n"
         "请把这个字符换成常用字或删去（另存为 ANSI 会把它变成“?”）。\n";
}

// The 1-based line on which byte `offset` of `text` stands.
int64_t LineOf(GbkView text, size_t offset) {
  return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset),
                        '\n');
}

size_t OffsetIn(GbkView text, GbkView field) {
  return static_cast<size_t>(field.data() - text.data());
}

std::string MismatchMessage(const LoadedAnswerSheet& sheet) {
  const GbkView text = sheet.text();
  const auto& names = sheet.names();
  const auto& answers = sheet.answers();
  std::string where;
  // Walk the records in file order: each name should be followed by exactly one
  // answer field before the next name starts.
  size_t a = 0;
  const auto answer_at = [&](size_t i) { return OffsetIn(text, answers[i]); };
  if (!answers.empty() && (names.empty() || answer_at(0) < OffsetIn(text, names[0]))) {
    where = "第 " + std::to_string(LineOf(text, answer_at(0))) +
            " 行的答题文本前面没有它自己的姓名（<姓名> 标签没有被认出，"
            "例如文件开头的特殊字符、缺少 TAB 键）。";
  }
  for (size_t i = 0; where.empty() && i < names.size(); ++i) {
    const size_t start = OffsetIn(text, names[i]);
    const size_t next = i + 1 < names.size() ? OffsetIn(text, names[i + 1])
                                             : std::numeric_limits<size_t>::max();
    size_t count = 0;
    while (a < answers.size() && answer_at(a) < next) {
      if (answer_at(a) > start) ++count;
      ++a;
    }
    if (count == 1) continue;
    where = "第 " + std::to_string(LineOf(text, start)) + " 行的" +
            Quoted(GbkToUtf8(names[i])) +
            (count == 0 ? "后面没有它自己的答题文本。"
                        : "后面有 " + std::to_string(count) +
                              " 段答题文本（答案里可能含有 </答题文本> 或 <答题文本> "
                              "标签）。");
  }
  std::string message = std::string("学生答题文件") + Quoted(kAnswerSheetFileName) +
                        "中的姓名和答题文本个数不一致：姓名 " +
                        std::to_string(names.size()) + " 个，答题文本 " +
                        std::to_string(answers.size()) + " 个。\n";
  if (!where.empty()) message += "第一处对不上的地方：" + where + "\n";
  message +=
      "按顺序配对会把别人的答案算到学生名下，所以没有阅卷。\n"
      "请检查这一处的 <姓名>、</姓名>、<答题文本>、</答题文本> 标签"
      "（每个标签里侧都要有一个 TAB 键），改好后再点“一键开始”。";
  return message;
}

// Names that run on into the records after them nest: together they can be far longer
// than the sheet. Each name is held by the report and by the extra outputs, so names
// that would take more than a quarter of the memory left are not graded. The message
// points at the first name that holds another name's start tag.
std::optional<std::string> NamesTooLongMessage(const LoadedAnswerSheet& sheet,
                                               const std::string& path) {
  uint64_t name_bytes = 0;
  for (GbkView name : sheet.names()) name_bytes += name.size();
  if (name_bytes <= AvailableMemoryBytes() / 4) return std::nullopt;
  static const GbkText kNameStart = Utf8ToGbk("<姓名>\t");
  const TextFinder start_tag(kNameStart);
  std::string where;
  // A name without a start tag in it ends before the next name begins, so the names
  // searched until the first nested one do not overlap: one pass over the sheet.
  for (GbkView name : sheet.names()) {
    if (start_tag.Find(name) > 0) {
      where = "第一个延续到后面记录里的姓名在第 " +
              std::to_string(LineOf(sheet.text(), OffsetIn(sheet.text(), name))) +
              " 行。\n";
      break;
    }
  }
  return "学生答题文件" + Quoted(kAnswerSheetFileName) + "中的 " +
         std::to_string(sheet.names().size()) + " 个姓名合计 " + SizeText(name_bytes) +
         "，超出了这台电脑能给本程序的内存，所以没有阅卷。\n"
         "通常是某个 </姓名> 前少了 TAB 键，这个姓名就一直延续到了后面的记录里。\n" +
         where + "位置：" + path +
         "\n请检查 <姓名> 和 </姓名> 标签（每个标签里侧都要有一个 TAB 键），"
         "改好后再点“一键开始”。";
}

}  // namespace

Status CheckAnswerSheet(const std::filesystem::path& directory,
                        const AnswerSheetRead& read, const LoadedAnswerSheet& sheet) {
  const std::string name = Quoted(kAnswerSheetFileName);
  const std::string path = PathText(PathInDirectory(directory, kAnswerSheetFileName));
  if (!read.ok()) {
    switch (read.failure().problem) {
      case FileReadProblem::kMissing:
        return Failure{"没有找到学生答题文件" + name + "。\n请把它放在这个文件夹里：\n" +
                       PathText(directory) + "\n然后再点“一键开始”。"};
      case FileReadProblem::kNotRegularFile:
      case FileReadProblem::kUnreadable:
        return Failure{"无法读取学生答题文件" + name +
                       "（它不是一个能读取的文件，"
                       "可能是文件夹，或没有读取权限）。\n位置：" +
                       path + "\n请检查这个文件，然后再点“一键开始”。"};
      case FileReadProblem::kTooLarge:
        return Failure{
            TooLarge("学生答题文件", kAnswerSheetFileName, read.failure().size, path)};
    }
  }
  if (read->encoding == ForeignEncoding::kUtf16) {
    return Failure{"学生答题文件" + SaveAsGbkSteps(kAnswerSheetFileName) + "位置：" +
                   path + "\n另存好后再点“一键开始”。"};
  }
  if (read->outside_gbk) {
    return Failure{"学生答题文件" +
                   OutsideGbkText(kAnswerSheetFileName, *read->outside_gbk) + "位置：" +
                   path + "\n改好后再点“一键开始”。"};
  }
  if (sheet.names().empty()) {
    return Failure{"学生答题文件" + name +
                   "里没有找到任何学生记录。\n"
                   "每个学生的姓名应写成：<姓名>、一个 TAB 键、姓名、一个 TAB 键、</姓名>"
                   "（TAB 键不能用空格代替）；答案写在 <答题文本> 和 </答题文本> 之间，"
                   "同样各带一个 TAB 键。\n位置：" +
                   path + "\n改好后再点“一键开始”。"};
  }
  if (sheet.names().size() != sheet.answers().size()) {
    return Failure{MismatchMessage(sheet)};
  }
  if (std::optional<std::string> nested = NamesTooLongMessage(sheet, path)) {
    return Failure{*std::move(nested)};
  }
  return Status();
}

Status CheckParameters(const std::filesystem::path& directory, const ParametersLoad& load,
                       const ProgramState& state) {
  const std::string name = Quoted(kParametersFileName);
  const std::string path = PathText(PathInDirectory(directory, kParametersFileName));
  constexpr std::string_view kRestart =
      "改好后请关闭并重新打开本程序（评分参数在程序启动时读取）。";
  if (!load.ok()) {
    switch (load.failure().problem) {
      case FileReadProblem::kMissing:
        return Failure{"没有找到评分参数文件" + name +
                       "，无法评分。\n请把它放在这个文件夹里：\n" + PathText(directory) +
                       "\n" +
                       "放好后请关闭并重新打开本程序（评分参数在程序启动时读取）。"};
      case FileReadProblem::kNotRegularFile:
      case FileReadProblem::kUnreadable:
        return Failure{"无法读取评分参数文件" + name +
                       "（它不是一个能读取的文件，"
                       "可能是文件夹，或没有读取权限）。\n位置：" +
                       path + "\n" + std::string(kRestart)};
      case FileReadProblem::kTooLarge:
        return Failure{
            TooLarge("评分参数文件", kParametersFileName, load.failure().size, path)};
    }
  }
  if (load->encoding == ForeignEncoding::kUtf16) {
    return Failure{"评分参数文件" + SaveAsGbkSteps(kParametersFileName) + "位置：" +
                   path + "\n" + std::string(kRestart)};
  }
  if (load->outside_gbk) {
    return Failure{"评分参数文件" +
                   OutsideGbkText(kParametersFileName, *load->outside_gbk) + "位置：" +
                   path + "\n" + std::string(kRestart)};
  }
  if (state.rule_list().empty()) {
    return Failure{"评分参数文件" + name +
                   "里没有找到任何题目规则（<综合题> … </综合题>），"
                   "每道题都会记 0 分，所以没有阅卷。\n每道题应写成一行，例如：\n"
                   "<综合题><分值>10</分值><关键词>光合作用|光合</"
                   "关键词><关键词>叶绿体</关键词></综合题>\n"
                   "位置：" +
                   path + "\n" + std::string(kRestart)};
  }
  return Status();
}

}  // namespace vantry

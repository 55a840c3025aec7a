// Reading the students' answer sheet.
#ifndef VANTRY_GRADING_ANSWER_SHEET_H_
#define VANTRY_GRADING_ANSWER_SHEET_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "platform/result.h"
#include "text/foreign_encoding.h"
#include "text/gbk_text.h"

namespace vantry {

// The answer sheet's name in the program folder.
inline constexpr std::string_view kAnswerSheetFileName = "学生答题文本.txt";

// The sheet's text as ReadAnswerSheet reads it; empty when the file is missing or
// unreadable.
GbkText ReadAnswerSheetText(const std::filesystem::path& directory);

// The sheet file as read for a grading run, with what the check before the run needs.
struct AnswerSheetFile {
  // The file's size in bytes, when it was opened.
  uint64_t size = 0;
  // The file's text up to the first NUL, as GBK: a UTF-8 file converted (see
  // ReadAsGbk); empty when it cannot be read as GBK.
  GbkText text;
  // What the bytes were when they were not GBK.
  ForeignEncoding encoding = ForeignEncoding::kNone;
  // The first character of a UTF-8 file that GBK cannot hold: the sheet is not read.
  std::optional<CharacterOutsideGbk> outside_gbk = std::nullopt;
};

// The sheet read, or why it could not be (missing, not a file that can be read, larger
// than the memory the program may take: the check before the run words it).
using AnswerSheetRead = Result<AnswerSheetFile, FileReadFailure>;

// Reads the answer sheet of `directory`.
[[nodiscard]] AnswerSheetRead ReadAnswerSheet(const std::filesystem::path& directory);

// How LoadedAnswerSheet collects its two kinds of field.
enum class FieldCollection {
  kOneThread,
  // Answers on a second thread while names are collected: the same fields, sooner on
  // a large sheet when a core is free.
  kTwoThreads,
};

// A sheet read for a grading run: its text, with the fields between "<姓名>\t" and
// "\t</姓名>" and between "<答题文本>\t" and "\t</答题文本>" (exact case; the TABs
// belong to the tags) as views into it, each kind in file order. Names and answers are
// collected separately and paired by position alone, so the two lists may differ in
// length. Neither copyable nor movable, so the views stay valid as long as it lives.
class LoadedAnswerSheet {
 public:
  explicit LoadedAnswerSheet(GbkText sheet_text,
                             FieldCollection collection = FieldCollection::kOneThread);
  LoadedAnswerSheet(const LoadedAnswerSheet&) = delete;
  LoadedAnswerSheet& operator=(const LoadedAnswerSheet&) = delete;

  const std::vector<GbkView>& names() const { return names_; }
  const std::vector<GbkView>& answers() const { return answers_; }
  const GbkText& text() const { return text_; }
  size_t paper_count() const { return names_.size(); }
  // Paper i (0-based) pairs name i with answer i; a name beyond the answers has none.
  GbkView name(size_t paper) const { return names_[paper]; }
  std::optional<GbkView> answer(size_t paper) const {
    if (paper >= answers_.size()) return std::nullopt;
    return answers_[paper];
  }

 private:
  const GbkText text_;
  std::vector<GbkView> names_;
  std::vector<GbkView> answers_;
};

// Empties `pieces`, then fills it with the answer cut at every TAB, as views into
// `answer`: piece q answers question q. Empty pieces between TABs or before a leading
// TAB count; one after a trailing TAB does not; an empty answer has no questions. The
// TAB is found on character boundaries, as every search steps.
void SplitQuestionAnswers(GbkView answer, std::vector<GbkView>& pieces);

}  // namespace vantry

#endif  // VANTRY_GRADING_ANSWER_SHEET_H_

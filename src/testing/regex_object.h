// A regular-expression object: a pattern, the subject it ran on and the matches found.
// The tests' reference for text cleaning done byte by byte (blank_lines_by_pattern.h);
// it brings PCRE2, which no production library links.
#ifndef VANTRY_TESTING_REGEX_OBJECT_H_
#define VANTRY_TESTING_REGEX_OBJECT_H_

#include <memory>
#include <string>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// Regular expressions in the ECMAScript style of the Windows script engine, run by
// PCRE2 on the subject's characters:
// - "\s" is ASCII white space (space, \t, \n, \v, \f, \r), "\v" the vertical tab,
//   "\uhhhh" and "\xhh" code points; "." is any character but a line feed;
// - ignoring case folds ASCII letters only;
// - multi-line lets ^ and $ match at every line feed; otherwise they match only at the
//   ends of the subject;
// - global finds every match, left to right without overlap (an empty match moves the
//   next search on by one character); otherwise only the first.
// Texts go to the engine losslessly: bytes that are not valid GBK travel as escaped
// characters and come back unchanged, so text outside the matches is returned byte for
// byte. One attempt at each starting position is limited (PCRE2's match limit), so a
// pattern with exponential backtracking fails instead of hanging; a match attempt that
// hits the limit makes Create fail.
//
// How a pattern is compiled and run; `{}` is the usual case-blind, multi-line, global
// search.
struct RegexOptions {
  // Letters match only in their own case; otherwise ASCII letters fold.
  bool case_sensitive = false;
  // ^ and $ match at every line feed; otherwise only at the ends of the subject.
  bool multi_line = true;
  // Every match is found; otherwise only the first.
  bool global = true;
  // Every "#引号" in the pattern stands for a double quote.
  bool quote_macro = false;
};

// Copies share the compiled pattern and the matches (both immutable) and copy the
// subject.
class RegexObject {
 public:
  RegexObject();
  RegexObject(const RegexObject& other);
  RegexObject& operator=(const RegexObject& other);
  ~RegexObject();

  // Compiles `pattern` and runs it over `subject`, replacing anything a previous Create
  // held. Returns true when the pattern compiled and the search ran through (also with
  // no match); false for a pattern the engine rejects or a search that failed, after
  // which the reading operations give empty results.
  [[nodiscard]] bool Create(GbkView pattern, GbkView subject,
                            const RegexOptions& options = {});

  // The pattern as the engine got it (after the quote macro); empty before Create.
  GbkText GetPattern() const;

  // The subject with the matches replaced by `replacement`, in which $1..$99 stand for
  // a captured group (an unset one for nothing), $& for the match, $` for the text
  // before it, $' for the text after it and $$ for a dollar sign; any other $ is
  // itself. A group number beyond the pattern's groups is taken as literal text.
  // Empty when Create failed or was not called.
  GbkText Replace(GbkView replacement) const;

  // The number of matches (at most 1 without the global flag).
  int MatchCount() const;

  // The text of the 1-based match `match_number`; empty for a number outside 1..count.
  // `byte_offset` receives the 0-based byte offset of the match in the subject, exact
  // because it is computed from the match's character index over the subject's own
  // bytes; -1 when there is no such match.
  GbkText MatchText(int match_number, int* byte_offset = nullptr) const;

  // The text of the 1-based group `sub_match_number` of match `match_number`; empty
  // for numbers outside the collection and for a group that did not take part.
  // `byte_offset` as for MatchText; -1 when there is no such group or it is unset.
  GbkText SubMatchText(int match_number, int sub_match_number,
                       int* byte_offset = nullptr) const;

  // The number of capturing groups of the first match; 0 when nothing matched.
  int SubMatchCount() const;

 private:
  struct Engine;
  struct Matches;

  // The 0-based byte offset in the GBK subject of the character at `index`.
  int ByteOffset(size_t index) const;
  // The text of match `match_number` group `group` (0: the whole match), with its byte
  // offset as MatchText describes.
  GbkText GroupText(int match_number, int group, int* byte_offset) const;

  std::shared_ptr<const Engine> engine_;
  std::shared_ptr<const Matches> matches_;
  std::u32string subject_;
};

}  // namespace vantry

#endif  // VANTRY_TESTING_REGEX_OBJECT_H_

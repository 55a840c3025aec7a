#include "testing/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "text/gbk_codec.h"
#include "text/substitute_text.h"

namespace vantry {
namespace {

// Backtracking steps allowed for one match attempt at one starting position (PCRE2's
// own default, stated here because the program relies on it).
constexpr uint32_t kMatchLimit = 10'000'000;
// Heap for the interpreter's backtracking frames, in KiB.
constexpr uint32_t kHeapLimitKib = 256 * 1024;
// The JIT's stack grows from 32 KiB up to this size.
constexpr size_t kJitStackMax = 4 << 20;

struct CodeFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
  void operator()(pcre2_compile_context* context) const {
    pcre2_compile_context_free(context);
  }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* context) const {
    pcre2_match_context_free(context);
  }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackFree {
  void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

// The token that the quote macro turns into a double quote.
const GbkText& QuoteToken() {
  static const GbkText token = Utf8ToGbk("#引号");
  return token;
}

// The pattern's characters for PCRE2. "\v" means the vertical tab in this dialect but
// vertical white space in PCRE2's, so it is spelled out; every other escape keeps its
// meaning. Escapes are read in pairs, so "\\v" stays a backslash followed by "v".
std::u32string EnginePattern(GbkView pattern) {
  const std::u32string characters = GbkToUtf32(pattern, InvalidGbk::kEscape);
  std::u32string out;
  out.reserve(characters.size());
  for (size_t i = 0; i < characters.size(); ++i) {
    if (characters[i] != U'\\' || i + 1 == characters.size()) {
      out.push_back(characters[i]);
      continue;
    }
    if (characters[i + 1] == U'v') {
      out += U"\\x0b";
    } else {
      out.push_back(characters[i]);
      out.push_back(characters[i + 1]);
    }
    ++i;
  }
  return out;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

struct RegexObject::Engine {
  GbkText pattern;
  // Null when the engine rejected the pattern.
  std::unique_ptr<pcre2_code, CodeFree> code;
  bool global = true;
};

// Every match's ovector (start, end of the match, then of each group), one after the
// other; PCRE2_UNSET marks a group that did not take part.
struct RegexObject::Matches {
  size_t groups = 1;  // the whole match plus the capturing groups
  std::vector<PCRE2_SIZE> offsets;

  size_t Count() const { return offsets.size() / (2 * groups); }
  const PCRE2_SIZE* Match(size_t index) const {
    return offsets.data() + 2 * groups * index;
  }
};

RegexObject::RegexObject() = default;
RegexObject::RegexObject(const RegexObject& other) = default;
RegexObject& RegexObject::operator=(const RegexObject& other) = default;
RegexObject::~RegexObject() = default;

bool RegexObject::Create(GbkView pattern, GbkView subject,
                         const RegexOptions& regex_options) {
  engine_.reset();
  matches_.reset();
  subject_.clear();
  try {
    auto engine = std::make_shared<Engine>();
    engine->pattern = regex_options.quote_macro
                          ? SubstituteText(pattern, QuoteToken(), "\""_gbk)
                          : GbkText(pattern);
    engine->global = regex_options.global;

    const std::unique_ptr<pcre2_compile_context, CompileContextFree> compile_context(
        pcre2_compile_context_create(nullptr));
    if (compile_context == nullptr) return false;
    pcre2_set_newline(compile_context.get(), PCRE2_NEWLINE_LF);
    // No UTF: the escaped bytes (lone surrogates) are ordinary code units this way.
    uint32_t options = PCRE2_NEVER_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                       PCRE2_ALLOW_EMPTY_CLASS;
    if (!regex_options.case_sensitive) options |= PCRE2_CASELESS;
    options |= regex_options.multi_line ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    const std::u32string engine_pattern = EnginePattern(engine->pattern);
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    engine->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(engine_pattern.data()),
                                     engine_pattern.size(), options, &error,
                                     &error_offset, compile_context.get()));
    subject_ = GbkToUtf32(subject, InvalidGbk::kEscape);
    engine_ = engine;
    if (engine->code == nullptr) return false;
    // Besides being faster, the JIT keeps "\n\s*\r" linear on a long run of line feeds
    // without a carriage return, which the interpreter rescans from every line feed
    // (quadratic). Where the JIT is unavailable the interpreter runs.
    pcre2_jit_compile(engine->code.get(), PCRE2_JIT_COMPLETE);

    const std::unique_ptr<pcre2_match_data, MatchDataFree> match_data(
        pcre2_match_data_create_from_pattern(engine->code.get(), nullptr));
    const std::unique_ptr<pcre2_match_context, MatchContextFree> match_context(
        pcre2_match_context_create(nullptr));
    const std::unique_ptr<pcre2_jit_stack, JitStackFree> jit_stack(
        pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr));
    if (match_data == nullptr || match_context == nullptr) return false;
    pcre2_set_match_limit(match_context.get(), kMatchLimit);
    pcre2_set_heap_limit(match_context.get(), kHeapLimitKib);
    if (jit_stack != nullptr) {
      pcre2_jit_stack_assign(match_context.get(), nullptr, jit_stack.get());
    }

    auto matches = std::make_shared<Matches>();
    matches->groups = pcre2_get_ovector_count(match_data.get());
    const auto* characters = reinterpret_cast<PCRE2_SPTR>(subject_.data());
    size_t offset = 0;
    while (offset <= subject_.size()) {
      int rc = pcre2_match(engine->code.get(), characters, subject_.size(), offset, 0,
                           match_data.get(), match_context.get());
      if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        rc = pcre2_match(engine->code.get(), characters, subject_.size(), offset,
                         PCRE2_NO_JIT, match_data.get(), match_context.get());
      }
      if (rc == PCRE2_ERROR_NOMATCH) break;
      if (rc <= 0) return false;
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(match_data.get());
      const size_t set_pairs = std::min(static_cast<size_t>(rc), matches->groups);
      matches->offsets.insert(matches->offsets.end(), ovector, ovector + 2 * set_pairs);
      matches->offsets.insert(matches->offsets.end(), 2 * (matches->groups - set_pairs),
                              PCRE2_UNSET);
      if (!regex_options.global) break;
      // Like the script engines: after an empty match the next search starts one
      // character further on.
      const size_t start = ovector[0];
      const size_t end = ovector[1];
      offset = std::max(end > start ? end : start + 1, offset + 1);
    }
    matches_ = std::move(matches);
    return true;
  } catch (const std::bad_alloc&) {
    matches_.reset();
    subject_.clear();
    return false;
  }
}

GbkText RegexObject::GetPattern() const { return engine_ ? engine_->pattern : GbkText(); }

GbkText RegexObject::Replace(GbkView replacement) const {
  if (!matches_) return {};
  const std::u32string with = GbkToUtf32(replacement, InvalidGbk::kEscape);
  const bool plain = with.find(U'$') == std::u32string::npos;
  const size_t captures = matches_->groups - 1;
  std::u32string out;
  out.reserve(subject_.size());
  size_t copied = 0;
  for (size_t m = 0; m < matches_->Count(); ++m) {
    const PCRE2_SIZE* match = matches_->Match(m);
    const size_t start = std::max<size_t>(match[0], copied);
    const size_t end = std::max<size_t>(match[1], start);
    out.append(subject_, copied, start - copied);
    copied = end;
    if (plain) {
      out += with;
      continue;
    }
    const auto append_group = [&](size_t group) {
      if (match[2 * group] != PCRE2_UNSET) {
        out.append(subject_, match[2 * group], match[2 * group + 1] - match[2 * group]);
      }
    };
    for (size_t i = 0; i < with.size(); ++i) {
      const char32_t c = with[i];
      const char32_t next = i + 1 < with.size() ? with[i + 1] : 0;
      if (c != U'$' || next == 0) {
        out.push_back(c);
      } else if (next == U'$') {
        out.push_back(U'$');
        ++i;
      } else if (next == U'&') {
        out.append(subject_, match[0], match[1] - match[0]);
        ++i;
      } else if (next == U'`') {
        out.append(subject_, 0, match[0]);
        ++i;
      } else if (next == U'\'') {
        out.append(subject_, match[1]);
        ++i;
      } else if (IsDigit(next)) {
        // Two digits when they name a group, else one digit when it does, else text.
        const size_t one = next - U'0';
        const bool has_two = i + 2 < with.size() && IsDigit(with[i + 2]);
        const size_t two = has_two ? one * 10 + (with[i + 2] - U'0') : 0;
        if (has_two && two >= 1 && two <= captures) {
          append_group(two);
          i += 2;
        } else if (one >= 1 && one <= captures) {
          append_group(one);
          ++i;
        } else {
          out.push_back(c);
        }
      } else {
        out.push_back(c);
      }
    }
  }
  out.append(subject_, copied);
  return Utf32ToGbk(out);
}

int RegexObject::MatchCount() const {
  return matches_ ? static_cast<int>(std::min<size_t>(matches_->Count(), INT_MAX)) : 0;
}

int RegexObject::ByteOffset(size_t index) const {
  // Each character encodes back to exactly the bytes it was decoded from, so the
  // prefix's encoding is the subject's own prefix.
  const size_t bytes = Utf32ToGbk(std::u32string_view(subject_).substr(0, index)).size();
  return static_cast<int>(std::min<size_t>(bytes, INT_MAX));
}

GbkText RegexObject::GroupText(int match_number, int group, int* byte_offset) const {
  if (byte_offset != nullptr) *byte_offset = -1;
  if (!matches_ || match_number < 1 || group < 0 ||
      static_cast<size_t>(match_number) > matches_->Count() ||
      static_cast<size_t>(group) >= matches_->groups) {
    return {};
  }
  const PCRE2_SIZE* match = matches_->Match(static_cast<size_t>(match_number - 1));
  const PCRE2_SIZE start = match[2 * group];
  if (start == PCRE2_UNSET) return {};
  const PCRE2_SIZE end = std::max(match[2 * group + 1], start);
  if (byte_offset != nullptr) *byte_offset = ByteOffset(start);
  return Utf32ToGbk(std::u32string_view(subject_).substr(start, end - start));
}

GbkText RegexObject::MatchText(int match_number, int* byte_offset) const {
  return GroupText(match_number, 0, byte_offset);
}

GbkText RegexObject::SubMatchText(int match_number, int sub_match_number,
                                  int* byte_offset) const {
  if (sub_match_number < 1) {
    if (byte_offset != nullptr) *byte_offset = -1;
    return {};
  }
  return GroupText(match_number, sub_match_number, byte_offset);
}

int RegexObject::SubMatchCount() const {
  if (!matches_ || matches_->Count() == 0) return 0;
  return static_cast<int>(matches_->groups - 1);
}

}  // namespace vantry

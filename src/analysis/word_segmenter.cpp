#include "analysis/word_segmenter.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "analysis/friso_dictionary.h"
#include "platform/file_io.h"
#include "platform/utf8_text.h"
#include "text/cp936_table.h"
#include "text/gbk_text.h"

// friso's headers are C without linkage guards, and define macros with short names:
// they come last.
extern "C" {
#include <friso.h>
#include <friso_ctype.h>
}

namespace vantry {
namespace {

// friso's longest match in characters; the packed dictionary leaves out longer words.
constexpr int kMaxWordCharacters = 5;
// friso sees a text in pieces of at most this many UTF-8 bytes, cut between words.
constexpr size_t kPieceBytes = 4096;
// Where a piece may be cut: within this many bytes before its end.
constexpr size_t kCutWindow = 512;
// A byte of the UTF-8 text that does not start a character.
constexpr uint32_t kInsideCharacter = UINT32_MAX;

// friso's stop words that are not taken as such here: a negation at the edge of a
// wording carries its meaning (不连续, 无法).
constexpr std::string_view kNotStopWords[] = {"不", "无"};
// What friso's list lacks: particles, and the common function words (conjunctions,
// adverbs, modal and light verbs, pronouns and determiners, words of time) that can
// stand in any answer to any question, and so never carry a scoring point alone.
constexpr std::string_view kMoreStopWords[] = {
    "呢",
    "地",
    "吧",
    // conjunctions
    "因为",
    "所以",
    "因此",
    "由于",
    "如果",
    "假如",
    "但是",
    "可是",
    "然而",
    "而且",
    "并且",
    "或者",
    "以及",
    "然后",
    "那么",
    "虽然",
    "尽管",
    "即使",
    "否则",
    "于是",
    "因而",
    "从而",
    "此外",
    "另外",
    "同时",
    "不过",
    "只要",
    "只有",
    "除了",
    // adverbs
    "就是",
    "只是",
    "还是",
    "也是",
    "都是",
    "已经",
    "可能",
    "一定",
    "非常",
    "比较",
    "十分",
    "特别",
    "一般",
    "通常",
    "直接",
    "一直",
    "总是",
    "往往",
    // modal verbs
    "可以",
    "能够",
    "需要",
    "应该",
    "必须",
    "应当",
    // pronouns and determiners
    "这个",
    "那个",
    "这样",
    "那样",
    "这些",
    "那些",
    "这里",
    "那里",
    "其中",
    "它们",
    "我们",
    "他们",
    "自己",
    "一个",
    "这种",
    "那种",
    "每个",
    "某个",
    "各个",
    "一些",
    "有些",
    // light verbs
    "进行",
    "使用",
    "采用",
    "利用",
    "通过",
    "得到",
    "具有",
    "存在",
    "作为",
    "成为",
    "表示",
    // time
    "之后",
    "之前",
    "以后",
    "以前",
    "时候",
};

char* HeapCopy(std::string_view word) {
  char* copy = static_cast<char*>(std::malloc(word.size() + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, word.data(), word.size());
  copy[word.size()] = '\0';
  return copy;
}

// Adds `word` to friso's lexicon `lexicon`, which takes over the copy.
void AddWord(friso_dic_t dictionary, friso_lex_t lexicon, std::string_view word,
             uint_t frequency) {
  char* copy = HeapCopy(word);
  if (copy != nullptr)
    friso_dic_add_with_fre(dictionary, lexicon, copy, nullptr, frequency);
}

bool IsNotStopWord(std::string_view word) {
  for (std::string_view w : kNotStopWords) {
    if (w == word) return true;
  }
  return false;
}

// Loads the dictionary packed by pack_friso_dictionary.py.
void LoadPacked(friso_dic_t dictionary, std::string_view packed) {
  constexpr std::string_view kType = "#type ";
  int lexicon = -1;
  while (!packed.empty()) {
    const size_t end = packed.find('\n');
    std::string_view line = packed.substr(0, end);
    packed = end == std::string_view::npos ? std::string_view() : packed.substr(end + 1);
    if (line.starts_with(kType)) {
      lexicon = std::atoi(std::string(line.substr(kType.size())).c_str());
      continue;
    }
    if (line.empty() || lexicon < 0 || (line[0] == '#' && line.size() > 1)) continue;
    uint_t frequency = 0;
    if (const size_t tab = line.find('\t'); tab != std::string_view::npos) {
      frequency = static_cast<uint_t>(
          std::strtoul(std::string(line.substr(tab + 1)).c_str(), nullptr, 10));
      line = line.substr(0, tab);
    }
    if (lexicon == __LEX_STOPWORDS__ && IsNotStopWord(line)) continue;
    AddWord(dictionary, static_cast<friso_lex_t>(lexicon), line, frequency);
  }
  for (std::string_view word : kMoreStopWords)
    AddWord(dictionary, __LEX_STOPWORDS__, word, 0);
}

// The UTF-8 form of `gbk` if it is two to five Chinese characters as friso reads them.
bool ChineseWord(GbkView gbk, std::string& utf8) {
  utf8.clear();
  int characters = 0;
  for (size_t i = 0; i < gbk.size(); i += 2) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (!IsLeadByte(lead) || i + 1 >= gbk.size()) return false;
    const char16_t c = Cp936Pair(lead, static_cast<unsigned char>(gbk[i + 1]));
    if (c == 0 || !utf8_cjk_string(c)) return false;
    AppendUtf8(c, utf8);
    ++characters;
  }
  return characters >= 2 && characters <= kMaxWordCharacters;
}

// Whether the UTF-8 text's first character is Chinese (friso gives unknown Chinese
// characters the punctuation type).
bool StartsChinese(std::string_view utf8) {
  char32_t c = 0;
  return DecodeUtf8(utf8, 0, c) > 0 && utf8_cjk_string(static_cast<uint_t>(c));
}

// Characters of a formula ("O(n)", "(2n+1)/3", "2^(n-1)", "p->next"): ASCII letters,
// digits and symbols, and full-width brackets. -1 for an opening bracket, 1 for a
// closing one, 2 for a letter or digit, 3 for another symbol, 0 for none of these.
int FormulaCharacter(std::string_view gbk, size_t at, size_t& width) {
  const auto c = static_cast<unsigned char>(gbk[at]);
  width = IsLeadByte(c) && at + 1 < gbk.size() ? 2 : 1;
  if (width == 2) {
    const std::string_view pair = gbk.substr(at, 2);
    if (pair == "\xA3\xA8" || pair == "\xA3\xDB") return -1;  // （ ［
    if (pair == "\xA3\xA9" || pair == "\xA3\xDD") return 1;   // ） ］
    return 0;
  }
  if (c == '(' || c == '[' || c == '{') return -1;
  if (c == ')' || c == ']' || c == '}') return 1;
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
    return 2;
  // Symbols that stand inside formulas; sentence punctuation parts them.
  if (std::string_view("+-*/^=<>._%#&~").find(static_cast<char>(c)) !=
      std::string_view::npos)
    return 3;
  return 0;
}

bool AllFormula(std::string_view gbk, const WordSpan& w) {
  size_t width = 1;
  for (size_t at = w.begin; at < w.end; at += width) {
    if (FormulaCharacter(gbk, at, width) == 0) return false;
  }
  return true;
}

// Joins the words of a formula that friso cut at its brackets and symbols ("O", "(",
// "n", ")") into one word: runs of formula words with nothing between them, without
// the symbols at their ends that belong to no bracket pair inside them.
void JoinFormulas(std::string_view gbk, std::vector<WordSpan>& words) {
  std::vector<WordSpan> out;
  for (size_t i = 0; i < words.size();) {
    size_t j = i;
    while (j < words.size() && AllFormula(gbk, words[j]) &&
           (j == i || words[j].begin == words[j - 1].end))
      ++j;
    if (j - i < 2) {
      out.push_back(words[i]);
      i = j > i ? j : i + 1;
      continue;
    }
    // Shorten from the ends, word by word, until both ends are a letter or digit, or
    // a bracket that pairs with one inside.
    size_t first = i, last = j;  // [first, last)
    const auto kind_at = [&](size_t at) {
      size_t width;
      return FormulaCharacter(gbk, at, width);
    };
    const auto balanced = [&](size_t from, size_t to) {
      int depth = 0;
      size_t width = 1;
      for (size_t at = words[from].begin; at < words[to - 1].end; at += width) {
        const int k = FormulaCharacter(gbk, at, width);
        if (k == -1) ++depth;
        if (k == 1 && --depth < 0) return false;
      }
      return depth == 0;
    };
    bool changed = true;
    while (changed && last - first >= 2) {
      changed = false;
      const int head = kind_at(words[first].begin);
      const int tail = kind_at(words[last - 1].end - 1);
      if (head == 3 || head == 1 || (head == -1 && !balanced(first, last))) {
        ++first;
        changed = true;
      } else if (tail == 3 || tail == -1 || (tail == 1 && !balanced(first, last))) {
        --last;
        changed = true;
      }
    }
    for (size_t k = i; k < first; ++k) out.push_back(words[k]);
    if (last - first >= 2) {
      out.push_back({.begin = words[first].begin,
                     .end = words[last - 1].end,
                     .punctuation = false,
                     .stop_word = false});
    } else {
      for (size_t k = first; k < last; ++k) out.push_back(words[k]);
    }
    for (size_t k = last; k < j; ++k) out.push_back(words[k]);
    i = j;
  }
  words = std::move(out);
}

}  // namespace

struct WordSegmenter::Friso {
  friso_t friso = nullptr;
  friso_config_t config = nullptr;
  friso_task_t task = nullptr;
  std::string piece;

  ~Friso() {
    if (task != nullptr) friso_free_task(task);
    if (friso != nullptr) friso_free(friso);  // with its dictionary
    if (config != nullptr) friso_free_config(config);
  }
};

WordSegmenter::WordSegmenter(std::unique_ptr<Friso> friso) : friso_(std::move(friso)) {}
WordSegmenter::~WordSegmenter() = default;

std::unique_ptr<WordSegmenter> WordSegmenter::Create(
    std::span<const GbkView> extra_words) {
  if (AvailableMemoryBytes() < kMemoryNeeded) return nullptr;
  auto f = std::make_unique<Friso>();
  f->friso = friso_new();
  f->friso->charset = FRISO_UTF8;
  f->config = friso_new_config();
  friso_config_t c = f->config;
  c->max_len = kMaxWordCharacters;
  c->r_name = 0;   // no Chinese name recognition
  c->add_syn = 0;  // no synonyms appended as tokens of their own
  c->clr_stw = 0;  // stop words come out, marked below
  c->keep_urec = 0;
  c->spx_out = 0;
  c->en_sseg = 0;  // "qq2013" stays one word
  // Characters that stay inside a run of letters and digits: formulas such as 2n+1,
  // n/2 and n-1 are one word each.
  constexpr std::string_view kKeep = "+-*/^=.%#&@_";
  static_assert(kKeep.size() < sizeof c->kpuncs);
  std::memcpy(c->kpuncs, kKeep.data(), kKeep.size());  // after friso zero-filled it
  friso_set_mode(c, __FRISO_COMPLEX_MODE__);
  f->friso->dic = friso_dic_new();
  const std::span<const unsigned char> packed = FrisoDictionary();
  LoadPacked(f->friso->dic, std::string_view(reinterpret_cast<const char*>(packed.data()),
                                             packed.size()));
  std::string utf8;
  size_t added = 0;
  for (GbkView word : extra_words) {
    if (added == kMaxExtraWords) break;
    if (!ChineseWord(word, utf8)) continue;
    AddWord(f->friso->dic, __LEX_CJK_WORDS__, utf8, 0);
    ++added;
  }
  f->task = friso_new_task();
  return std::unique_ptr<WordSegmenter>(new WordSegmenter(std::move(f)));
}

void WordSegmenter::Segment(GbkView gbk, std::vector<WordSpan>& words) {
  words.clear();
  // The text in UTF-8, stepped through as the grader's searches step.
  utf8_.clear();
  gbk_at_.clear();
  for (size_t i = 0; i < gbk.size();) {
    const auto byte = static_cast<unsigned char>(gbk[i]);
    const size_t width = IsLeadByte(byte) && i + 1 < gbk.size() ? 2 : 1;
    char32_t c = byte;
    if (width == 2) {
      c = Cp936Pair(byte, static_cast<unsigned char>(gbk[i + 1]));
      if (c == 0) c = 0xFFFD;  // no character: no word
    } else if (IsLeadByte(byte)) {
      c = 0xFFFD;
    } else if (byte < 0x20 || byte == 0x7F) {
      c = ' ';  // friso reads a text up to a NUL, and a space parts words
    }
    AppendUtf8(c, utf8_);
    gbk_at_.push_back(static_cast<uint32_t>(i));
    gbk_at_.resize(utf8_.size(), kInsideCharacter);
    i += width;
  }
  gbk_at_.push_back(static_cast<uint32_t>(gbk.size()));

  Friso& f = *friso_;
  size_t start = 0;
  while (start < utf8_.size()) {
    size_t end = utf8_.size();
    if (end - start > kPieceBytes) {
      // Cut after a space (white space and line breaks are spaces here) near the end
      // of the piece; failing that, at a character boundary.
      end = start + kPieceBytes;
      size_t cut = end;
      while (cut > end - kCutWindow && utf8_[cut - 1] != ' ') --cut;
      if (cut > end - kCutWindow) {
        end = cut;
      } else {
        while (gbk_at_[end] == kInsideCharacter) --end;
      }
    }
    f.piece.assign(utf8_, start, end - start);
    friso_set_text(f.task, f.piece.data());
    size_t last_end = 0;
    for (friso_token_t token = f.config->next_token(f.friso, f.config, f.task);
         token != nullptr; token = f.config->next_token(f.friso, f.config, f.task)) {
      if (token->offset < 0) continue;
      const size_t at = static_cast<size_t>(token->offset);
      // friso leaves the real length of punctuation in `length` only.
      const size_t length =
          token->type == __LEX_PUNC_WORDS__ ? token->length : token->rlen;
      const size_t until = at + length;
      // Anything friso reports out of place is left out rather than trusted.
      if (length == 0 || at < last_end || until > f.piece.size() ||
          gbk_at_[start + at] == kInsideCharacter ||
          gbk_at_[start + until] == kInsideCharacter) {
        continue;
      }
      last_end = until;
      WordSpan& word = words.emplace_back();
      word.begin = gbk_at_[start + at];
      word.end = gbk_at_[start + until];
      const std::string_view text = std::string_view(f.piece).substr(at, length);
      word.punctuation = token->type == __LEX_PUNC_WORDS__ && !StartsChinese(text);
      word.stop_word = word.punctuation ||
                       friso_dic_match(f.friso->dic, __LEX_STOPWORDS__, token->word);
    }
    start = end;
  }
  JoinFormulas(gbk.bytes(), words);
}

}  // namespace vantry

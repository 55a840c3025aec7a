#include "text/byte_search.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VANTRY_BYTE_SEARCH_SSE2 1
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VANTRY_BYTE_SEARCH_AVX2 1
#endif

namespace vantry {
namespace {

constexpr bool IsUpper(unsigned char c) {
  return static_cast<unsigned char>(c - 'A') < 26;
}
constexpr bool IsLower(unsigned char c) {
  return static_cast<unsigned char>(c - 'a') < 26;
}

template <bool kFold>
constexpr unsigned char Map(unsigned char c) {
  if constexpr (kFold) return IsUpper(c) ? static_cast<unsigned char>(c | 0x20) : c;
  return c;
}

// The start (minus one) and the period of the maximal suffix of `x` under the byte
// order, or under the reversed order; the classic computation of Crochemore and
// Perrin, in O(m) time.
template <bool kFold>
ptrdiff_t MaximalSuffix(const unsigned char* x, ptrdiff_t m, bool reversed,
                        ptrdiff_t& period) {
  ptrdiff_t ms = -1, j = 0, k = 1, p = 1;
  while (j + k < m) {
    const unsigned char a = Map<kFold>(x[j + k]);
    const unsigned char b = Map<kFold>(x[ms + k]);
    if (reversed ? a > b : a < b) {
      j += k;
      k = 1;
      p = j - ms;
    } else if (a == b) {
      if (k != p) {
        ++k;
      } else {
        j += p;
        k = 1;
      }
    } else {
      ms = j;
      j = ms + 1;
      k = p = 1;
    }
  }
  period = p;
  return ms;
}

// The first alignment in [j, end) whose two filter bytes match, looked at 64
// alignments at a time; or the first alignment of the last incomplete block, from
// which the caller goes on byte by byte. Letters to be matched in either case are
// compared with the 0x20 bit set, which lets a few other bytes through as well: the
// caller verifies every candidate anyway.
#ifdef VANTRY_BYTE_SEARCH_AVX2
// The filter's verdict on 32 alignments: 0xFF where both bytes match.
__attribute__((target("avx2"))) inline __m256i Avx2Block(const unsigned char* a_bytes,
                                                         __m256i or_a, __m256i want_a,
                                                         const unsigned char* b_bytes,
                                                         __m256i or_b, __m256i want_b) {
  const __m256i x = _mm256_or_si256(
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a_bytes)), or_a);
  const __m256i y = _mm256_or_si256(
      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b_bytes)), or_b);
  return _mm256_and_si256(_mm256_cmpeq_epi8(x, want_a), _mm256_cmpeq_epi8(y, want_b));
}

__attribute__((target("avx2"))) size_t SkipAvx2(const unsigned char* t, size_t j,
                                                size_t end, size_t at_a, unsigned char a,
                                                bool letter_a, size_t at_b,
                                                unsigned char b, bool letter_b) {
  const __m256i want_a = _mm256_set1_epi8(static_cast<char>(a));
  const __m256i want_b = _mm256_set1_epi8(static_cast<char>(b));
  const __m256i or_a = _mm256_set1_epi8(letter_a ? 0x20 : 0);
  const __m256i or_b = _mm256_set1_epi8(letter_b ? 0x20 : 0);
  const unsigned char* const pa = t + at_a;
  const unsigned char* const pb = t + at_b;
  for (; j + 64 <= end; j += 64) {
    const __m256i low = Avx2Block(pa + j, or_a, want_a, pb + j, or_b, want_b);
    const __m256i high = Avx2Block(pa + j + 32, or_a, want_a, pb + j + 32, or_b, want_b);
    const __m256i any = _mm256_or_si256(low, high);
    if (_mm256_testz_si256(any, any)) continue;
    const uint64_t mask =
        static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
        (static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32);
    return j + static_cast<size_t>(std::countr_zero(mask));
  }
  return j;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

#ifdef VANTRY_BYTE_SEARCH_SSE2
// The two filter bytes, compared 16 alignments at a time: bit k of Match(at) says
// that both stand where a match at alignment at + k would put them.
class Sse2Probe {
 public:
  Sse2Probe(const unsigned char* t, size_t at_a, unsigned char a, bool letter_a,
            size_t at_b, unsigned char b, bool letter_b)
      : a_(t + at_a),
        b_(t + at_b),
        want_a_(_mm_set1_epi8(static_cast<char>(a))),
        want_b_(_mm_set1_epi8(static_cast<char>(b))),
        or_a_(_mm_set1_epi8(letter_a ? 0x20 : 0)),
        or_b_(_mm_set1_epi8(letter_b ? 0x20 : 0)) {}

  __m128i Match(size_t at) const {
    const __m128i x =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a_ + at)), or_a_);
    const __m128i y =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b_ + at)), or_b_);
    return _mm_and_si128(_mm_cmpeq_epi8(x, want_a_), _mm_cmpeq_epi8(y, want_b_));
  }

 private:
  const unsigned char* a_;
  const unsigned char* b_;
  __m128i want_a_, want_b_, or_a_, or_b_;
};

size_t SkipSse2(const unsigned char* t, size_t j, size_t end, size_t at_a,
                unsigned char a, bool letter_a, size_t at_b, unsigned char b,
                bool letter_b) {
  const Sse2Probe probe(t, at_a, a, letter_a, at_b, b, letter_b);
  for (; j + 64 <= end; j += 64) {
    const __m128i m0 = probe.Match(j);
    const __m128i m1 = probe.Match(j + 16);
    const __m128i m2 = probe.Match(j + 32);
    const __m128i m3 = probe.Match(j + 48);
    const __m128i any = _mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3));
    if (_mm_movemask_epi8(any) == 0) continue;
    const uint64_t mask = static_cast<uint64_t>(_mm_movemask_epi8(m0)) |
                          static_cast<uint64_t>(_mm_movemask_epi8(m1)) << 16 |
                          static_cast<uint64_t>(_mm_movemask_epi8(m2)) << 32 |
                          static_cast<uint64_t>(_mm_movemask_epi8(m3)) << 48;
    return j + static_cast<size_t>(std::countr_zero(mask));
  }
  return j;
}

// The same, 16 alignments at a time: for what the 64-wide loops leave, which is all of
// a short text such as one answer.
size_t SkipSse2By16(const unsigned char* t, size_t j, size_t end, size_t at_a,
                    unsigned char a, bool letter_a, size_t at_b, unsigned char b,
                    bool letter_b) {
  const Sse2Probe probe(t, at_a, a, letter_a, at_b, b, letter_b);
  for (; j + 16 <= end; j += 16) {
    const int mask = _mm_movemask_epi8(probe.Match(j));
    if (mask != 0)
      return j + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(mask)));
  }
  return j;
}
#endif

}  // namespace

BytePattern::BytePattern(std::string_view sought, bool fold_case)
    : sought_(reinterpret_cast<const unsigned char*>(sought.data())),
      m_(sought.size()),
      fold_(fold_case) {
  if (m_ == 0) return;
  // Critical factorization: the larger of the two maximal suffixes.
  const auto m = static_cast<ptrdiff_t>(m_);
  ptrdiff_t p1 = 1, p2 = 1;
  const ptrdiff_t s1 = fold_ ? MaximalSuffix<true>(sought_, m, false, p1)
                             : MaximalSuffix<false>(sought_, m, false, p1);
  const ptrdiff_t s2 = fold_ ? MaximalSuffix<true>(sought_, m, true, p2)
                             : MaximalSuffix<false>(sought_, m, true, p2);
  const ptrdiff_t ell = std::max(s1, s2);
  const ptrdiff_t period = s1 > s2 ? p1 : p2;
  critical_ = static_cast<size_t>(ell + 1);
  const auto mapped = [&](size_t i) {
    return fold_ ? Map<true>(sought_[i]) : sought_[i];
  };
  // The sought text has that period as a whole when its left part recurs one period
  // on; otherwise any shift up to the longer part is safe after a match.
  periodic_ = true;
  for (size_t i = 0; i < critical_ && periodic_; ++i) {
    periodic_ = mapped(i) == mapped(i + static_cast<size_t>(period));
  }
  period_ =
      periodic_ ? static_cast<size_t>(period) : std::max(critical_, m_ - critical_) + 1;

  // The filter: the first byte, and the last byte that differs from it (the last byte
  // when none does), so a run of equal bytes is not checked twice.
  size_t second = m_ - 1;
  while (second > 0 && mapped(second) == mapped(0)) --second;
  if (second == 0) second = m_ - 1;
  const auto filter_byte = [&](size_t at) {
    FilterByte f;
    f.at = at;
    f.byte = mapped(at);
    f.letter = fold_ && IsLower(f.byte);
    return f;
  };
  first_ = filter_byte(0);
  second_ = filter_byte(second);
}

ByteMatches::ByteMatches(std::string_view text, const BytePattern& pattern, size_t from)
    : text_(reinterpret_cast<const unsigned char*>(text.data())),
      n_(text.size()),
      pattern_(pattern),
      j_(pattern.m_ == 0 ? npos : from) {}

size_t ByteMatches::Skip(size_t j) const {
  const BytePattern& p = pattern_;
  if (p.m_ > n_ || j > n_ - p.m_) return npos;
  const size_t end = n_ - p.m_ + 1;  // the number of alignments
  const BytePattern::FilterByte& a = p.first_;
  const BytePattern::FilterByte& b = p.second_;
  if (p.m_ == 1 && !a.letter) {
    const void* hit = std::memchr(text_ + j, a.byte, end - j);
    return hit == nullptr
               ? npos
               : static_cast<size_t>(static_cast<const unsigned char*>(hit) - text_);
  }
#if defined(VANTRY_BYTE_SEARCH_AVX2)
  if (HasAvx2()) {
    j = SkipAvx2(text_, j, end, a.at, a.byte, a.letter, b.at, b.byte, b.letter);
  } else {
    j = SkipSse2(text_, j, end, a.at, a.byte, a.letter, b.at, b.byte, b.letter);
  }
#elif defined(VANTRY_BYTE_SEARCH_SSE2)
  j = SkipSse2(text_, j, end, a.at, a.byte, a.letter, b.at, b.byte, b.letter);
#endif
#if defined(VANTRY_BYTE_SEARCH_SSE2)
  // The wide loops stop at the first block holding a candidate or fewer than 64
  // alignments before the end; a candidate found there is where this resumes.
  if (j + 16 <= end) {
    j = SkipSse2By16(text_, j, end, a.at, a.byte, a.letter, b.at, b.byte, b.letter);
  }
#endif
  const auto passes = [](unsigned char c, const BytePattern::FilterByte& f) {
    return (f.letter ? (c | 0x20) : c) == f.byte;
  };
  for (; j < end; ++j) {
    if (passes(text_[j + a.at], a) && passes(text_[j + b.at], b)) return j;
  }
  return npos;
}

size_t ByteMatches::Next() {
  const BytePattern& p = pattern_;
  if (p.m_ == 0 || p.m_ > n_) return npos;
  const size_t m = p.m_;
  const size_t last = n_ - m;
  const unsigned char* const t = text_;
  const unsigned char* const x = p.sought_;
  const bool fold = p.fold_;
  const auto equal = [fold](unsigned char a, unsigned char b) {
    return fold ? Map<true>(a) == Map<true>(b) : a == b;
  };
  while (j_ != npos && j_ <= last) {
    size_t j = j_;
    if (memory_ == 0) {
      j = Skip(j);
      if (j == npos) {
        j_ = npos;
        return npos;
      }
    }
    // The right part from the critical position (or from what is known to match).
    size_t i = std::max(p.critical_, memory_);
    while (i < m && equal(t[j + i], x[i])) ++i;
    if (i < m) {
      j_ = j + (i - p.critical_) + 1;
      memory_ = 0;
      continue;
    }
    // Then the left part, right to left, down to what is known to match.
    size_t k = p.critical_;
    while (k > memory_ && equal(t[j + k - 1], x[k - 1])) --k;
    const bool found = k <= memory_;
    j_ = j + p.period_;
    memory_ = p.periodic_ ? m - p.period_ : 0;
    if (found) return j;
  }
  return npos;
}

}  // namespace vantry

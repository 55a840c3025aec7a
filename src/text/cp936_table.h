// The two-byte characters of code page 936, generated at build time.
#ifndef VANTRY_TEXT_CP936_TABLE_H_
#define VANTRY_TEXT_CP936_TABLE_H_

namespace vantry {

inline constexpr unsigned char kCp936FirstLead = 0x81;
inline constexpr unsigned char kCp936LastLead = 0xFE;
inline constexpr unsigned char kCp936FirstTrail = 0x40;
inline constexpr unsigned char kCp936LastTrail = 0xFE;
inline constexpr int kCp936LeadCount = kCp936LastLead - kCp936FirstLead + 1;
inline constexpr int kCp936TrailCount = kCp936LastTrail - kCp936FirstTrail + 1;

// Row (lead - kCp936FirstLead), column (trail - kCp936FirstTrail): the BMP character
// of that byte pair, or 0 when the pair is not a character.
extern const char16_t kCp936Pairs[kCp936LeadCount * kCp936TrailCount];

// The character of the pair (lead, trail), or 0 (also for bytes outside the ranges).
inline char16_t Cp936Pair(unsigned char lead, unsigned char trail) {
  if (lead < kCp936FirstLead || lead > kCp936LastLead || trail < kCp936FirstTrail ||
      trail > kCp936LastTrail) {
    return 0;
  }
  return kCp936Pairs[(lead - kCp936FirstLead) * kCp936TrailCount +
                     (trail - kCp936FirstTrail)];
}

}  // namespace vantry

#endif  // VANTRY_TEXT_CP936_TABLE_H_

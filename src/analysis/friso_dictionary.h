// friso's dictionary, packed by pack_friso_dictionary.py and built into the program, so
// the program folder needs no dictionary files. friso and its dictionary are Copyright
// 2010-2021 lionsoul <chenxin619315@gmail.com>, under the Apache License 2.0
// (friso-LICENSE.txt beside the programs).
#ifndef VANTRY_ANALYSIS_FRISO_DICTIONARY_H_
#define VANTRY_ANALYSIS_FRISO_DICTIONARY_H_

#include <span>

namespace vantry {

// The packed dictionary: UTF-8 lines, "#type N" before the words of friso lexicon N.
std::span<const unsigned char> FrisoDictionary();

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_FRISO_DICTIONARY_H_

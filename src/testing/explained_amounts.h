// Reading the amounts back out of an explanation, for tests.
#ifndef VANTRY_TESTING_EXPLAINED_AMOUNTS_H_
#define VANTRY_TESTING_EXPLAINED_AMOUNTS_H_

#include <cstdint>
#include <regex>
#include <string>

namespace vantry::testing {

// The signed amounts ("+2", "-4") after the explanation's "：" added up, the keywords
// quoted in 「」 left out.
inline int64_t SumOfAmounts(const std::string& explanation) {
  const size_t colon = explanation.find("：");
  const std::string body = std::regex_replace(
      colon == std::string::npos ? explanation : explanation.substr(colon),
      std::regex("「[^」]*」"), "");
  int64_t sum = 0;
  const std::regex amount("[+-][0-9]+");
  for (auto it = std::sregex_iterator(body.begin(), body.end(), amount);
       it != std::sregex_iterator(); ++it) {
    sum += std::stoll(it->str());
  }
  return sum;
}

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_EXPLAINED_AMOUNTS_H_

#include "scoring/parameter_tags.h"

#include "text/gbk_codec.h"

namespace vantry {

const ParameterTags& GetParameterTags() {
  static const ParameterTags tags{
      .rule_start = Utf8ToGbk("<综合题>"),
      .rule_end = Utf8ToGbk("</综合题>"),
      .group_start = Utf8ToGbk("<关键词>"),
      .group_end = Utf8ToGbk("</关键词>"),
      .max_start = Utf8ToGbk("<分值>"),
      .max_end = Utf8ToGbk("</分值>"),
  };
  return tags;
}

}  // namespace vantry

#include "export/output_table.h"

#include "text/date_time.h"

namespace vantry {

std::string DatedOutputName(const FurtherOutput& output, const LocalDateTime& dated) {
  if (output.file_stem.empty()) return {};
  return DatedFileName(output.file_stem, dated, output.file_extension);
}

std::string NotDoneLine(const FurtherOutput& output) {
  return std::string(output.name) + "未能完成！";
}

}  // namespace vantry

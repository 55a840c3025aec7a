#include "platform/file_io.h"

#include <system_error>
#include <utility>

namespace vantry {
namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  FileRead read = ReadWholeFileWithStatus(path);
  return read.ok() ? std::move(read->bytes) : std::string();
}

FileReadFailure FailedRead(FileReadProblem problem, uint64_t size) {
  FileReadFailure failure{problem, size, {}};
  switch (problem) {
    case FileReadProblem::kMissing:
      failure.message = "找不到这个文件";
      break;
    case FileReadProblem::kNotRegularFile:
      failure.message = "这不是一个普通文件（是文件夹、管道或设备）";
      break;
    case FileReadProblem::kUnreadable:
      failure.message = "无法读取这个文件";
      break;
    case FileReadProblem::kTooLarge:
      failure.message = "文件太大，内存不足，无法读取这个文件";
      break;
  }
  return failure;
}

Failure FailedWrite() { return Failure{"无法写入这个文件（文件夹是否可写？）"}; }

bool PathExists(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

fs::path PathInDirectory(const fs::path& directory, std::string_view utf8_name) {
  const std::u8string name(utf8_name.begin(), utf8_name.end());
  return directory / fs::path(name);
}

}  // namespace vantry

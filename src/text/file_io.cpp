#include "text/file_io.h"

#include <system_error>

namespace vantry {
namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& path) {
  return ReadWholeFileWithStatus(path).bytes;
}

namespace {

// A byte count for people: whole megabytes, or bytes below one.
std::string SizeText(uint64_t bytes) {
  return bytes >= (uint64_t{1} << 20) ? std::to_string(bytes >> 20) + " MB"
                                      : std::to_string(bytes) + " 字节";
}

}  // namespace

std::string FileReadProblem(const FileReadResult& read, std::string_view utf8_name) {
  const std::string name = "“" + std::string(utf8_name) + "”";
  switch (read.status) {
    case FileReadStatus::kOk:
      return {};
    case FileReadStatus::kMissing:
      return "没有找到文件" + name + "。";
    case FileReadStatus::kNotRegularFile:
      return name + "不是普通文件（可能是文件夹或设备），没有读取。";
    case FileReadStatus::kUnreadable:
      return "无法读取文件" + name + "（没有读取权限，或读取出错）。";
    case FileReadStatus::kTooLarge:
      return "文件" + name + "太大（" + SizeText(read.size) +
             "），超出了本程序现在可用的内存（" + SizeText(AvailableMemoryBytes()) +
             "），没有读取。";
  }
  return {};
}

bool PathExists(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

fs::path PathInDirectory(const fs::path& directory, std::string_view utf8_name) {
  const std::u8string name(utf8_name.begin(), utf8_name.end());
  return directory / fs::path(name);
}

}  // namespace vantry

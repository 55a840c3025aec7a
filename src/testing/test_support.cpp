#include "testing/test_support.h"

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <random>
#include <stdexcept>

#include "platform/file_io.h"
#include "platform/utf8_path.h"
#include "text/gbk_codec.h"

namespace vantry::testing {

GbkText Gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("vantry-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission first: some tests make the folder read-only.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::File(std::string_view utf8_name) const {
  return PathInDirectory(path_, utf8_name);
}

std::filesystem::path TempDir::Write(std::string_view utf8_name,
                                     std::string_view bytes) const {
  const auto file = File(utf8_name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + PathToUtf8(file));
  return file;
}

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

std::filesystem::path ProgramDir() {
  const char* program_dir = std::getenv("VANTRY_PROGRAM_DIR");
  return program_dir ? std::filesystem::path(program_dir) : RunDirectory() / ".." / "bin";
}

}  // namespace vantry::testing

namespace vantry {

void PrintTo(GbkView text, std::ostream* out) {
  if (IsValidGbk(text)) {
    *out << "GBK \"" << GbkToUtf8(text) << '"';
    return;
  }
  *out << "bytes \"";
  for (const char c : text.bytes()) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
      *out << c;
    } else {
      *out << "\\x" << std::hex << std::setw(2) << std::setfill('0')
           << static_cast<int>(byte) << std::dec;
    }
  }
  *out << '"';
}

void PrintTo(const GbkText& text, std::ostream* out) { PrintTo(GbkView(text), out); }

}  // namespace vantry

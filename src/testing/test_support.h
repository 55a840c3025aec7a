// Helpers shared by the unit tests: GBK literals and temporary folders.
#ifndef VANTRY_TESTING_TEST_SUPPORT_H_
#define VANTRY_TESTING_TEST_SUPPORT_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace vantry::testing {

// The GBK bytes of a UTF-8 literal, so tests read like the texts they check.
std::string Gbk(std::string_view utf8);

// A fresh folder under the system's temporary folder, removed with its contents when
// the object goes.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  // Path of a file in the folder, named in UTF-8.
  std::filesystem::path File(std::string_view utf8_name) const;
  // Writes `bytes` to the named file and returns its path.
  std::filesystem::path Write(std::string_view utf8_name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace vantry::testing

#endif  // VANTRY_TESTING_TEST_SUPPORT_H_

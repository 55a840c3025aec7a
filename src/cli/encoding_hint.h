// Recognising exam files saved in an encoding other than GBK.
#ifndef VANTRY_CLI_ENCODING_HINT_H_
#define VANTRY_CLI_ENCODING_HINT_H_

#include <string>
#include <string_view>

namespace vantry {

enum class ForeignEncoding { kNone, kUtf8, kUtf16 };

// What a file's bytes look like when they are probably not GBK: UTF-16 when they start
// with a UTF-16 byte-order mark or hold many NUL bytes, UTF-8 when they start with the
// UTF-8 byte-order mark or are valid UTF-8 with bytes above 0x7F. kNone otherwise
// (GBK, plain ASCII, empty). Only the first 64 KiB are looked at.
ForeignEncoding DetectForeignEncoding(std::string_view bytes);

// A friendly sentence (UTF-8, Chinese then English) telling the teacher to save the
// named file as GBK; empty for kNone.
std::string SaveAsGbkHint(std::string_view utf8_file_name, ForeignEncoding encoding);

}  // namespace vantry

#endif  // VANTRY_CLI_ENCODING_HINT_H_

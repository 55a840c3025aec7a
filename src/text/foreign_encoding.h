// Recognising files saved in an encoding other than GBK.
#ifndef VANTRY_TEXT_FOREIGN_ENCODING_H_
#define VANTRY_TEXT_FOREIGN_ENCODING_H_

#include <string_view>

namespace vantry {

enum class ForeignEncoding { kNone, kUtf8, kUtf16 };

// What a file's bytes look like when they are probably not GBK: UTF-16 when they start
// with a UTF-16 byte-order mark or hold many NUL bytes, UTF-8 when they start with the
// UTF-8 byte-order mark or are valid UTF-8 with bytes above 0x7F. kNone otherwise
// (GBK, plain ASCII, empty). Only the first 64 KiB are looked at.
ForeignEncoding DetectForeignEncoding(std::string_view bytes);

}  // namespace vantry

#endif  // VANTRY_TEXT_FOREIGN_ENCODING_H_

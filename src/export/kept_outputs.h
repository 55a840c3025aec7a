// Nothing the teacher did is lost: a workbook or page changed after the program wrote
// it (notes typed into the workbook and saved, a page saved again) is never
// overwritten; the new one goes beside it under a numbered name.
//
// How the program knows, without a settings file to keep: what it writes carries a
// stamp of its own content (the workbook in its zip comment, zip_stamp.h; the page in
// a closing HTML comment). A file whose stamp no longer matches, that has none (saved
// by another program, or written before stamps) or that cannot be read counts as
// changed. Something that is not a file at all (a folder, a link) is left to the
// writer, which reports what it cannot replace.
#ifndef VANTRY_EXPORT_KEPT_OUTPUTS_H_
#define VANTRY_EXPORT_KEPT_OUTPUTS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantry {

enum class OutputKind { kWorkbook, kPage };

// Where an output goes.
struct OutputPlace {
  std::filesystem::path path;
  std::string name;  // its file name (UTF-8), e.g. 阅卷结果20261208(2).xlsx
  // The file kept in its stead because it was changed after the program wrote it;
  // empty when none was.
  std::string kept_name;
};

// The most numbered names tried beside a changed output: (2) to (kMaxNumberedName).
inline constexpr int kMaxNumberedName = 99;

// Where the output named `name` (UTF-8) goes in `directory`: that name unless a file
// there was changed after the program wrote it, else the first of "name(2).ext",
// "name(3).ext", … that is free or unchanged. None when all of them are changed.
std::optional<OutputPlace> PlaceOutput(const std::filesystem::path& directory,
                                       std::string_view name, OutputKind kind);

// `name` with "(n)" before its extension: 阅卷结果20261208(2).xlsx.
std::string NumberedName(std::string_view name, int n);

// True when the file at `path` is as the program wrote it (its stamp matches).
bool UnchangedSinceWritten(const std::filesystem::path& path, OutputKind kind);

// Ends a page with its stamp: a comment holding the digest of every byte before it.
void StampPage(std::string& html);

}  // namespace vantry

#endif  // VANTRY_EXPORT_KEPT_OUTPUTS_H_

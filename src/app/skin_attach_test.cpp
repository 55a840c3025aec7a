#include "app/skin_attach.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <filesystem>
#include <set>
#include <string>

#include "app/skin/skin_format.h"
#include "app/skin_library_image.h"
#include "app/skin_table.h"
#include "platform/file_io.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TempDir;

// What the caller shows for a failed attach (GBK); empty when it attached.
GbkText Shown(const Status& attached) {
  return attached.ok() ? GbkText() : Utf8ToGbk(attached.message());
}

std::string ImageBytes() {
  const auto image = SkinLibraryImage();
  return std::string(reinterpret_cast<const char*>(image.data()), image.size());
}

TEST(SkinTableTest, ThirtyThreeSkinsOfOurFormat) {
  std::set<std::string> names;
  for (int n = 1; n <= kSkinCount; ++n) {
    SCOPED_TRACE(n);
    const std::string_view block = SkinTableEntry(n);
    ASSERT_TRUE(block.starts_with(".SHE"));
    const auto skin = skin::ParseSkin(block);
    ASSERT_TRUE(skin);
    EXPECT_FALSE(skin->name.empty());
    names.insert(skin->name);
    // Legible: dark text on a light face.
    EXPECT_GT(skin->window.r + skin->window.g + skin->window.b, 3 * 180);
    EXPECT_LT(skin->window_text.r + skin->window_text.g + skin->window_text.b, 3 * 80);
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kSkinCount));
  EXPECT_TRUE(SkinTableEntry(0).empty());
  EXPECT_TRUE(SkinTableEntry(kSkinCount + 1).empty());
  EXPECT_TRUE(SkinTableEntry(-13).empty());
}

TEST(SkinAttachTest, TheCarriedLibraryIsTheBuiltOne) {
  EXPECT_EQ(ImageBytes(), ReadWholeFile(VANTRY_SKIN_MODULE_PATH));
}

TEST(SkinAttachTest, WritesTheLibraryOnlyWhenMissing) {
  TempDir dir;
  const auto library = dir.File("SkinH_EL.dll");
  EnsureSkinLibrary(dir.path());
  EXPECT_EQ(ReadWholeFile(library), ImageBytes());

  // Whatever stands there is never replaced: an old or different file, even an empty one.
  dir.Write("SkinH_EL.dll", "an older library");
  EnsureSkinLibrary(dir.path());
  EXPECT_EQ(ReadWholeFile(library), "an older library");
  dir.Write("SkinH_EL.dll", "");
  EnsureSkinLibrary(dir.path());
  EXPECT_EQ(std::filesystem::file_size(library), 0u);
}

TEST(SkinAttachTest, AttachesSkinThirteenThroughTheWrittenLibrary) {
  TempDir dir;
  // A program folder named in Chinese: the library's name reaches the loader whole.
  const std::filesystem::path folder = dir.File("阅卷程序");
  std::filesystem::create_directory(folder);
  qApp->setStyleSheet(QString());
  EXPECT_TRUE(AttachSkin(13, folder).ok());
  EXPECT_EQ(ReadWholeFile(PathInDirectory(folder, "SkinH_EL.dll")), ImageBytes());
  const auto skin = skin::ParseSkin(SkinTableEntry(13));
  ASSERT_TRUE(skin);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window),
            QColor(skin->window.r, skin->window.g, skin->window.b));
  EXPECT_FALSE(qApp->styleSheet().isEmpty());

  // A number outside the table hands the library no data: the look stays.
  const QString style_sheet = qApp->styleSheet();
  EXPECT_TRUE(AttachSkin(0, folder).ok());
  EXPECT_TRUE(AttachSkin(34, folder).ok());
  EXPECT_EQ(qApp->styleSheet(), style_sheet);
  qApp->setStyleSheet(QString());
}

TEST(SkinAttachTest, ALibraryThatCannotBeLoadedOrLacksTheEntryIsFatal) {
  const GbkText expected =
      Gbk("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令"
          "“SkinH_AttachRes”\r\n");
  EXPECT_EQ(SkinFatalErrorText(), expected);

  TempDir broken;
  broken.Write("SkinH_EL.dll", std::string(4096, '\x5A'));
  EXPECT_EQ(Shown(AttachSkin(13, broken.path())), expected);
  EXPECT_EQ(ReadWholeFile(broken.File("SkinH_EL.dll")), std::string(4096, '\x5A'));

  TempDir empty;
  empty.Write("SkinH_EL.dll", "");
  EXPECT_EQ(Shown(AttachSkin(13, empty.path())), expected);

  TempDir without_entry;
  without_entry.Write("SkinH_EL.dll", ReadWholeFile(VANTRY_SKIN_NO_ENTRY_PATH));
  EXPECT_EQ(Shown(AttachSkin(13, without_entry.path())), expected);
}

TEST(SkinAttachTest, AFolderThatCannotBeWrittenIsFatalToo) {
  TempDir dir;
  const auto missing = dir.path() / "no such folder";
  EXPECT_EQ(Shown(AttachSkin(13, missing)), SkinFatalErrorText());
}

}  // namespace
}  // namespace vantry

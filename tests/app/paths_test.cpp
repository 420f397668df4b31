#include "app/paths.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

struct SplitCase {
    std::string path;
    std::string folder;
    std::string fileName;
    std::string baseName;
    std::string extension;
};

TEST(PathSplitting, BackslashSeparatedPaths) {
    const SplitCase cases[] = {
        {"C:\\Web\\logo.gif", "C:\\Web\\", "logo.gif", "logo", "gif"},
        {"C:\\Web\\a.b.c.png", "C:\\Web\\", "a.b.c.png", "a.b.c", "png"},
        {"logo.gif", "", "logo.gif", "logo", "gif"},
        {"C:\\Web\\.gif", "C:\\Web\\", ".gif", "", "gif"},
        {"C:\\Web\\photo.", "C:\\Web\\", "photo.", "photo", ""},
        {"C:\\my.dir\\readme", "C:\\my.dir\\", "readme", "readme", "dir\\readme"},
        {"C:\\Web\\", "C:\\Web\\", "", "", "C:\\Web\\"},
        {"C:/Web/logo.gif", "", "C:/Web/logo.gif", "C:/Web/logo", "gif"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetPathFolder(c.path, '\\'), c.folder);
        EXPECT_EQ(GetPathFileName(c.path, '\\'), c.fileName);
        EXPECT_EQ(GetFileBaseName(c.fileName), c.baseName);
        EXPECT_EQ(GetPathExtension(c.path), c.extension);
    }
}

TEST(PathSplitting, SlashSeparatedPathsByDefault) {
    const SplitCase cases[] = {
        {"/web/logo.gif", "/web/", "logo.gif", "logo", "gif"},
        {"/web/a.b.c.png", "/web/", "a.b.c.png", "a.b.c", "png"},
        {"/web/.gif", "/web/", ".gif", "", "gif"},
        {"/my.dir/readme", "/my.dir/", "readme", "readme", "dir/readme"},
        {"/web/", "/web/", "", "", "/web/"},
        {"C:\\Web\\logo.gif", "", "C:\\Web\\logo.gif", "C:\\Web\\logo", "gif"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetPathFolder(c.path), c.folder);
        EXPECT_EQ(GetPathFileName(c.path), c.fileName);
        EXPECT_EQ(GetFileBaseName(c.fileName), c.baseName);
        EXPECT_EQ(GetPathExtension(c.path), c.extension);
    }
}

TEST(FileSystemQueries, ShortPathAndFileExistsTellPresentFromMissing) {
    const test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    test::WriteBytes(dir / "my picture.png", {1});

    EXPECT_EQ(GetShortPath(folder), folder);
    EXPECT_EQ(GetShortPath(folder + "my picture.png"), folder + "my picture.png");
    EXPECT_EQ(GetShortPath(folder + "missing.png"), "");
    EXPECT_EQ(GetShortPath(""), "");

    EXPECT_TRUE(FileExists(folder + "my picture.png"));
    EXPECT_FALSE(FileExists(folder + "missing.png"));
    EXPECT_FALSE(FileExists(folder + "my picture.png/inner"));
}

TEST(ApplicationFolderTest, IsTheFolderOfThisExecutableWithoutTrailingSeparator) {
    const std::string folder = ApplicationFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(FileExists(PathInFolder(folder, "test_app")));
}

TEST(PathInFolderTest, JoinsWithOneSeparator) {
    EXPECT_EQ(PathInFolder("/opt/lumatrim", "optipng"), "/opt/lumatrim/optipng");
    EXPECT_EQ(PathInFolder("/", "optipng"), "/optipng");
    EXPECT_EQ(PathInFolder("", "optipng"), "");
}

} // namespace
} // namespace lumatrim

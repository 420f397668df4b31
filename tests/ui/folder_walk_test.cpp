#include "ui/folder_walk.h"

#include "qt_test_environment.h"
#include "support/test_support.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Permission bits do not bind root: as root, the walk runs as "nobody" while this lives.
class UnprivilegedScope {
public:
    UnprivilegedScope() {
        const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
        if (nobody && ::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0)
            switched_ = true;
    }
    ~UnprivilegedScope() {
        if (switched_ && ::seteuid(0) == 0) (void)::setegid(0);
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

private:
    bool switched_ = false;
};

class FolderWalkTest : public ::testing::Test {
protected:
    FolderWalkTest() {
        for (const char* folder : {"b", "a", "a/deep", ".hidden", "b/Sub"})
            fs::create_directories(tree / folder);
        for (const char* file : {"x.gif", "a/y.GIF", "a/deep/z.gif", ".hidden/h.gif", "b/n.png",
                                 "b/Sub/w.gif", "~temp.gif", "temp~.gif", "noext", ".dot.gif"})
            test::WriteBytes(tree / file, {1});
    }

    QStringList Walk() {
        QStringList folders{Q(tree.path()) + '/'};
        CollectSubfolders(folders, true, [this] { ++pumps; });
        return folders;
    }

    test::TempDir tree;
    int pumps = 0;
};

TEST_F(FolderWalkTest, CollectsFoldersShallowestFirstWithoutHiddenOnes) {
    const QString root = Q(tree.path()) + '/';
    EXPECT_EQ(Walk(),
              (QStringList{root, root + "a/", root + "b/", root + "a/deep/", root + "b/Sub/"}));
    EXPECT_GE(pumps, 5); // the window's events are serviced during the walk
}

TEST_F(FolderWalkTest, ListsMatchingFilesIgnoringCaseIncludingHiddenOnes) {
    EXPECT_EQ(ListFiles(Q(tree.path()), "*.gif"),
              (QStringList{".dot.gif", "temp~.gif", "x.gif", "~temp.gif"}));
    EXPECT_EQ(ListFiles(Q(tree / "a"), "*.gif"), QStringList{"y.GIF"});
    EXPECT_EQ(ListFiles(Q(tree / "a"), "*..gif"), QStringList{});   // used as typed
    EXPECT_EQ(ListFiles(Q(tree / "b"), "*"), QStringList{"n.png"}); // folders are not files
}

TEST_F(FolderWalkTest, DoesNotFollowLinksToFoldersSoLoopsEnd) {
    fs::create_directory_symlink(tree.path(), tree / "a/loop");
    fs::create_directory_symlink(tree / "b", tree / "c");
    EXPECT_EQ(Walk().size(), 5);
}

TEST_F(FolderWalkTest, PassesOverUnreadableFolders) {
    fs::create_directories(tree / "locked/inner");
    fs::permissions(tree / "locked", fs::perms::none);
    fs::permissions(tree.path(), fs::perms::all); // scratch folders are private to their maker
    const UnprivilegedScope unprivileged;
    if (::faccessat(AT_FDCWD, (tree / "locked").c_str(), R_OK, AT_EACCESS) == 0)
        GTEST_SKIP() << "permissions do not apply";
    const QStringList folders = Walk();
    EXPECT_TRUE(folders.contains(Q(tree.path()) + "/locked/"));
    EXPECT_EQ(folders.size(), 6);
    EXPECT_TRUE(ListFiles(Q(tree / "locked"), "*").isEmpty());
}

TEST(JoinPathTest, PutsExactlyOneSeparatorBetween) {
    EXPECT_EQ(JoinPath("/web", "a.jpg"), "/web/a.jpg");
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinPath("/web/", QString()), "/web/");
}

} // namespace
} // namespace lumatrim

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The folder walk both faces share. The window's use of it (patterns, unreadable folders, the
// pointer) is checked in tests/ui; here, the routed files of a tree and our outputs beside
// their sources.
#include "app/batch/folder_walk.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

TEST(FolderWalk, RoutedFilesShallowestFirstWithoutHiddenFoldersLinksTildeFilesOrOurOutputs) {
    const test::TempDir tree;
    for (const char* name : {"x.gif", "x_reduced.gif", "Y.PNG", "Y_reduced.png", "notes.txt",
                             "~lock.jpg", "lock~.jpg", ".dot.bmp", "b/z.jpeg", "b/z_reduced.jpg",
                             "b/lone_reduced.gif", "b/deep/w.jpg", "A/v.bmp", ".hidden/h.gif"})
        tree.Write(name, {1});
    fs::create_directory_symlink(tree.path(), tree / "b/loop");
    fs::create_symlink(tree / "x.gif", tree / "b/link.gif");
    fs::create_symlink(tree / "nowhere.gif", tree / "b/dangling.gif");

    const std::string root = tree.path().string();
    std::vector<std::string> expected;
    for (const char* name : {".dot.bmp", "lock~.jpg", "x.gif", "Y.PNG", "A/v.bmp", "b/link.gif",
                             "b/lone_reduced.gif", "b/z.jpeg", "b/deep/w.jpg"})
        expected.push_back(root + "/" + name);
    EXPECT_EQ(CollectRoutedFiles(root), expected);
    EXPECT_EQ(CollectRoutedFiles(root + "/"), expected); // one separator, given or not
    EXPECT_EQ(CollectFiles(root + "/b", "*.GIF"),
              (std::vector<std::string>{root + "/b/link.gif", root + "/b/lone_reduced.gif"}));
}

// Our outputs' suffixes are lower case whatever the source's extension; "jpeg" and "jpe"
// sources give "_reduced.jpg" too.
TEST(FolderWalk, AnOutputIsOursOnlyWhereItsSourceStandsBesideIt) {
    const test::TempDir dir;
    for (const char* name : {"a.GiF", "b.JPE", "c.png", "d.jpeg"})
        dir.Write(name, {1});
    fs::create_directory(dir / "e.gif");
    for (const auto& [name, ours] : std::vector<std::pair<std::string, bool>>{
             {"a_reduced.gif", true},
             {"b_reduced.jpg", true},
             {"c_reduced.png", true},
             {"d_reduced.jpg", true},
             {"c_reduced.gif", false},
             {"a_reduced.GIF", false},
             {"e_reduced.gif", false}, // a folder is no source
             {"lone_reduced.bmp", false},
             {"c.png", false}})
        EXPECT_EQ(IsOwnOutputBesideSource((dir / name).string()), ours) << name;
}

} // namespace
} // namespace lumatrim

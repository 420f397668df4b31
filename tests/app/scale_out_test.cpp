// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One list over many machines: shards that together do what one run does, and outputs gathered
// under a folder of their own.
#include "recording_host.h"
#include "support/test_support.h"

#include "app/batch/batch_driver.h"
#include "app/batch/output_folder.h"
#include "app/batch/parallel_batch.h"
#include "app/batch/shard.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Tree = std::map<std::string, std::vector<uint8_t>>; // relative path -> content

Tree ReadTree(const fs::path& root) {
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(root).string()] = test::ReadBytes(entry.path());
    return tree;
}

std::string Describe(const ItemReport& r) {
    return r.source + " -> " + r.output.value_or("-") + " " + std::to_string(int(r.status)) + " " +
           r.message.value_or("");
}

// Runs take relative paths from inside their tree, so that trees in different folders give the
// same reports. The stand-in optimizer drops a PNG's last byte, so every output tells which
// source it came from. A source named in capitals takes a while, so a parallel run that let a
// later item overtake an earlier one with the same output would end with the earlier's output.
class ScaleOutTest : public ::testing::Test {
protected:
    ScaleOutTest() : previous(fs::current_path()) {
        test::WriteScript(app / "optipng", "case $(cat \"$1\") in *.PNG) sleep 0.05;; esac\n"
                                           "head -c -1 \"$1\" > \"$1.p\" && mv \"$1.p\" \"$1\"");
    }
    ~ScaleOutTest() override { fs::current_path(previous); }

    // Every path of `names` that is not some item's output, made with content of its own.
    static void MakeSources(const fs::path& root, const Names& names) {
        for (const std::string& name : names) {
            if (name.find("_reduced") != std::string::npos || name.ends_with("missing.png"))
                continue;
            fs::create_directories((root / name).parent_path());
            test::WriteBytes(root / name, {0x89, 'P', 'N', 'G', 'x'});
            std::ofstream(root / name, std::ios::app) << name;
        }
    }
    std::vector<ItemReport> Run(const fs::path& root, const Names& items, unsigned jobs,
                                std::optional<std::string> outputFolder = {},
                                std::string mirroredFolder = {},
                                bool passOverOwnOutputs = false) const {
        fs::current_path(root);
        test::RecordingHost host(items);
        host.outputFolder = std::move(outputFolder);
        host.mirroredFolder = std::move(mirroredFolder);
        host.passOverOwnOutputs = passOverOwnOutputs;
        RunParallelBatch(host, app.path().string(), jobs);
        return host.reports;
    }

    fs::path previous;
    test::TempDir app;
};

// Names that share outputs (case, ".", "..", "jpg"/"jpeg"-like twins) or are outputs of others,
// at distances that a plain position modulo N would split.
Names GeneratedList() {
    const Names pool = {"a.png",         "b.png",       "A.PNG",     "sub/c.png",
                        "a_reduced.png", "notes.txt",   "sub/c.PNG", "./b.png",
                        "sub/../d.png",  "missing.png", "d.png",     "a_reduced_reduced.png",
                        "sub/e.png"};
    Names list;
    for (size_t i = 0; i < 31; ++i)
        list.push_back(pool[(i * 5 + i / 13) % pool.size()]);
    return list;
}

// One shard is the whole list run in parallel.
TEST_F(ScaleOutTest, ShardsTogetherLeaveTheFilesAndReportsOfOneRun) {
    const Names list = GeneratedList();
    const test::TempDir whole;
    MakeSources(whole.path(), list);
    const std::vector<ItemReport> expected = Run(whole.path(), list, 1);
    const Tree expectedTree = ReadTree(whole.path());
    ASSERT_EQ(expected.size(), list.size());

    for (const uint32_t count : {1U, 2U, 3U, 7U}) {
        SCOPED_TRACE(count);
        const test::TempDir split;
        MakeSources(split.path(), list);
        // Later shards first: a family split over two shards would then end differently.
        std::vector<std::vector<ItemReport>> shardReports(count);
        for (uint32_t index = count; index-- > 0;)
            shardReports[index] = Run(split.path(), ItemsOfShard(list, {index, count}), 3);

        const std::vector<uint32_t> shards = ShardOfEachItem(list, count);
        std::vector<size_t> taken(count, 0);
        std::vector<std::string> merged;
        for (size_t position = 0; position < list.size(); ++position) {
            const uint32_t shard = shards[position];
            ASSERT_LT(shard, count);
            ASSERT_LT(taken[shard], shardReports[shard].size()) << "shard " << shard;
            merged.push_back(Describe(shardReports[shard][taken[shard]++]));
            EXPECT_EQ(merged.back(), Describe(expected[position])) << position;
        }
        for (uint32_t shard = 0; shard < count; ++shard)
            EXPECT_EQ(taken[shard], shardReports[shard].size()) << "shard " << shard;
        EXPECT_EQ(ReadTree(split.path()), expectedTree);
    }
    // An item that shares nothing with an earlier one goes by its position alone.
    EXPECT_EQ(ShardOfEachItem({"x.png", "y.gif", "z.txt", "w.bmp", "v.jpg"}, 3),
              (std::vector<uint32_t>{0, 1, 2, 0, 1}));
}

// The later of two items with one output wins; a source outside the current folder fails, and
// so does one whose place is reached through a link inside the output folder, which could lead
// anywhere: nothing is written through it.
TEST_F(ScaleOutTest, OutputFolderMirrorsTheSourceTreeAndRefusesSourcesOutsideIt) {
    const test::TempDir root, elsewhere;
    const fs::path sources = root / "sources";
    MakeSources(sources, {"x/y/photo.png", "x/y/photo.PNG", "top.png", "x/notes.txt", "l/z.png"});
    MakeSources(root.path(), {"elsewhere.png"});
    const Names items = {"x/y/photo.png",
                         "x/y/photo.PNG",
                         "x/notes.txt",
                         "../elsewhere.png",
                         (sources / "top.png").string(),
                         "l/z.png"};
    const Tree before = ReadTree(sources);
    for (const unsigned jobs : {1U, 3U}) {
        SCOPED_TRACE(jobs);
        const test::TempDir out;
        const std::string folder = (out / "reduced").string();
        fs::create_directories(folder);
        fs::create_directory_symlink(elsewhere.path(), folder + "/l");
        const std::vector<ItemReport> reports = Run(sources, items, jobs, folder);

        EXPECT_EQ(ReadTree(sources), before);
        const Tree written = ReadTree(out.path());
        ASSERT_EQ(written.size(), 2u);
        EXPECT_EQ(written.at("reduced/x/y/photo_reduced.png"),
                  std::vector<uint8_t>(before.at("x/y/photo.PNG").begin(),
                                       before.at("x/y/photo.PNG").end() - 1));
        EXPECT_EQ(written.count("reduced/top_reduced.png"), 1u);
        ASSERT_EQ(reports.size(), items.size());
        EXPECT_EQ(reports[0].output, folder + "/x/y/photo_reduced.png");
        EXPECT_EQ(reports[2].status, ItemStatus::Skipped);
        EXPECT_EQ(reports[3].status, ItemStatus::Error);
        EXPECT_EQ(reports[3].message, std::string(kOutsideCurrentFolder) + "../elsewhere.png");
        EXPECT_EQ(reports[4].output, folder + "/top_reduced.png");
        EXPECT_EQ(reports[5].message,
                  std::string(kThroughLinkOutOfOutputFolder) + folder + "/l/z_reduced.png");
        EXPECT_EQ(ReadTree(elsewhere.path()), Tree());
    }
}

// The window mirrors the deepest folder holding its list instead of the current folder, so
// sources outside the current one find their place; a re-run passes the outputs over there too.
TEST_F(ScaleOutTest, OutputFolderMayMirrorAFolderOtherThanTheCurrentOne) {
    const test::TempDir root, elsewhere;
    MakeSources(root.path(), {"a/x/photo.png", "b/top.png"});
    const Names items = {(root / "a/x/photo.png").string(), (root / "b/top.png").string()};
    const std::string folder = (root / "reduced").string();
    const std::vector<ItemReport> reports =
        Run(elsewhere.path(), items, 2, folder, CommonFolder(items));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].output, folder + "/a/x/photo_reduced.png");
    EXPECT_EQ(reports[1].output, folder + "/b/top_reduced.png");
    EXPECT_EQ(reports[1].status, ItemStatus::Ok);

    const std::vector<ItemReport> again = Run(elsewhere.path(), {items[0], *reports[0].output}, 1,
                                              folder, root.path().string(), true);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].status, ItemStatus::Skipped);
    // lumatrim-batch's way: an output folder named from the current one, which is mirrored.
    const std::vector<ItemReport> relative =
        Run(root.path(), {"reduced/b/top_reduced.png"}, 1, "reduced", "", true);
    EXPECT_EQ(relative.at(0).message,
              std::string(kOwnOutputPassedOver) + "reduced/b/top_reduced.png");
}

TEST(CommonFolder, IsTheDeepestFolderHoldingEveryPath) {
    EXPECT_EQ(CommonFolder({}), "");
    EXPECT_EQ(CommonFolder({"/a/b/x.png"}), "/a/b");
    EXPECT_EQ(CommonFolder({"/a/b/x.png", "/a/c/d/y.gif", "/a/b/../c/z.bmp"}), "/a");
    EXPECT_EQ(CommonFolder({"/a/x.png", "/b/y.png"}), "/");
    EXPECT_EQ(CommonFolder({"x.png"}), fs::current_path().string());
}

} // namespace
} // namespace lumatrim

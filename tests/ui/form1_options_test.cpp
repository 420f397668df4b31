// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/lossy_level.h"
#include "ui/form1_fixture.h"
#include "ui/run_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

namespace lumatrim::test {
namespace {

// Every window starts with lumatrim-batch's defaults; each choice reaches what a run reads, and
// each control names the option it stands for. Outputs go under the chosen folder, at their
// sources' paths relative to the deepest folder holding the list, wherever the window started.
TEST_F(Form1Test, OptionsStartAtTheDefaultsAndReachTheRun) {
    Optimizer();
    const auto chosen = [&] {
        const RunSettings settings = ReadRunSettings(window);
        return std::tuple(settings.lossy, settings.keepMetadata, settings.preserveTimes,
                          settings.effort, window.OutputFolder());
    };
    EXPECT_EQ(chosen(), std::tuple(std::nullopt, false, false, Effort::Default, std::nullopt));
    RunOptions& options = *window.Options;
    window.LossyCheck->click();
    options.KeepMetadataCheck->click();
    options.PreserveTimesCheck->click();
    options.EffortChoice->setCurrentText("fast");
    options.InFolder->click(); // the folder picker is cancelled: outputs stay beside sources
    EXPECT_TRUE(options.BesideSources->isChecked());
    outputFolder = Path("out");
    options.InFolder->click();
    EXPECT_EQ(chosen(), std::tuple(std::optional(kDefaultLossyLevel), true, true, Effort::Fast,
                                   std::optional(outputFolder.toStdString())));
    Reduce({Write("sub/a.png"), Write("b.png")});
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(Column(1), (QStringList{"reduced", "reduced"}));
    EXPECT_TRUE(fs::exists(files / "out/sub/a_reduced.png"));
    EXPECT_TRUE(fs::exists(files / "out/b_reduced.png"));
    EXPECT_FALSE(fs::exists(files / "sub/a_reduced.png"));
    options.BesideSources->click();
    EXPECT_EQ(window.OutputFolder(), std::nullopt);
    for (const auto& [control, option] :
         {std::pair<QWidget*, QString>{window.LossyCheck, "--lossy"},
          {options.KeepMetadataCheck, "--keep-metadata"},
          {options.PreserveTimesCheck, "--preserve-times"},
          {options.EffortChoice, "--effort"},
          {options.InFolder, "--output-dir"}})
        EXPECT_TRUE(control->toolTip().startsWith(option + ":")) << option.toStdString();
}

// The lossy box changes what is written: an animation whose lossy copy keeps the likeness floor is
// written lossy when the box is ticked, and losslessly otherwise.
TEST_F(Form1Test, TheLossyBoxMakesALossyOutput) {
    const fs::path source = DataFile("gif/ckeditor_kama_spinner.gif");
    fs::copy_file(source, files / "spinner.gif");
    std::vector<uintmax_t> sizes;
    for (const bool lossy : {false, true}) {
        if (lossy) window.LossyCheck->click();
        window.ListView1->clear();
        Reduce({Path("spinner.gif")});
        ASSERT_TRUE(RunEnds());
        EXPECT_EQ(Column(1), QStringList{lossy ? "lossy" : "reduced"});
        sizes.push_back(fs::file_size(files / "spinner_reduced.gif"));
    }
    EXPECT_LT(sizes[1], sizes[0]);
}

} // namespace
} // namespace lumatrim::test

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
// The lossy box changes what is written: an animation whose lossy copy keeps the likeness floor
// comes out lossy (without the box the GIF route's exact rewrite is written, as the plain runs of
// the window and of lumatrim-batch show).
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
    fs::copy_file(DataFile("gif/ckeditor_kama_spinner.gif"), files / "spinner.gif");
    Reduce({Write("sub/a.png"), Write("b.png"), Path("spinner.gif")});
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(Column(1), (QStringList{"reduced", "reduced", "lossy"}));
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

} // namespace
} // namespace lumatrim::test

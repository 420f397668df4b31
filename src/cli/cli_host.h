// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The batch host of lumatrim-batch: the paths come from the command line, messages become
// "<title>: <prompt>" lines, and each item's outcome is measured and handed on.
#pragma once

#include "app/batch/windowless_host.h"
#include "cli/cli_report.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace lumatrim {

class CliHost : public WindowlessHost {
public:
    // `messages` also carries the progress line when `showProgress` (it is a terminal).
    CliHost(std::vector<std::string> paths, RunSettings settings, std::ostream& messages,
            bool showProgress, std::function<void(const ItemRecord&)> onItem,
            std::optional<std::string> outputFolder = {});

    int32_t ItemCount() const override;
    std::string ItemText(int32_t index) const override;
    void SetProgress(float percent) override;
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override;
    void ReportItem(const ItemReport& report) override;

    const std::vector<ItemRecord>& Records() const { return records_; }
    bool AnyItemFailed() const;

private:
    void ClearProgressLine();

    std::vector<std::string> paths_;
    std::ostream& messages_;
    bool showProgress_;
    bool progressShown_ = false;
    std::function<void(const ItemRecord&)> onItem_;
    std::vector<ItemRecord> records_;
};

} // namespace lumatrim

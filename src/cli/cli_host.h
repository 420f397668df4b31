// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The batch host of lumatrim-batch: the paths come from the command line, messages become
// "<title>: <prompt>" lines, and each item's outcome is measured and handed on. What it keeps
// per item, for the table at the end, is small: a list of a million paths fits in a few
// hundred megabytes.
#pragma once

#include "app/batch/path_list.h"
#include "app/batch/windowless_host.h"
#include "cli/cli_report.h"

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace lumatrim {

class CliHost : public WindowlessHost {
public:
    // `messages` also carries the progress line when `showProgress` (it is a terminal). Items'
    // table rows are kept when `keepTable`; each item is handed to `onItem` as it comes.
    CliHost(PathList paths, RunSettings settings, std::ostream& messages, bool showProgress,
            bool keepTable, std::function<void(const ItemRecord&)> onItem,
            std::optional<std::string> outputFolder = {});

    int32_t ItemCount() const override;
    std::string ItemText(int32_t index) const override;
    void SetProgress(float percent) override;
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override;
    void ReportItem(const ItemReport& report) override;
    std::shared_ptr<const PathList> FixedItems() const override { return paths_; }

    // The table of the items reported so far, when kept; nothing when none was.
    void PrintTable(std::ostream& out) const;
    bool AnyItemFailed() const { return anyFailed_; }

private:
    void ClearProgressLine();

    std::shared_ptr<const PathList> paths_;
    std::ostream& messages_;
    bool showProgress_;
    bool progressShown_ = false;
    bool keepTable_;
    std::function<void(const ItemRecord&)> onItem_;
    std::deque<TableRow> rows_; // one per item, in list order; grows without copying itself
    bool anyFailed_ = false;
};

} // namespace lumatrim

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_host.h"

#include "cli/json_text.h"

#include <cmath>

namespace lumatrim {

namespace {

// Carriage return, then erase to the end of the line.
constexpr std::string_view kEraseLine = "\r\x1b[K";

} // namespace

CliHost::CliHost(PathList paths, RunSettings settings, std::ostream& messages, bool showProgress,
                 bool keepTable, std::function<void(const ItemRecord&)> onItem,
                 std::optional<std::string> outputFolder)
    : WindowlessHost(std::move(settings), std::move(outputFolder)),
      paths_(std::make_shared<const PathList>(std::move(paths))), messages_(messages),
      showProgress_(showProgress), keepTable_(keepTable), onItem_(std::move(onItem)) {}

int32_t CliHost::ItemCount() const {
    return static_cast<int32_t>(paths_->Size());
}

std::string CliHost::ItemText(int32_t index) const {
    return std::string((*paths_)[static_cast<size_t>(index) - 1]);
}

void CliHost::SetProgress(float percent) {
    if (!showProgress_) return;
    ClearProgressLine();
    if (percent <= 0.0F) return;
    messages_ << "Reducing... " << std::lround(percent) << '%' << std::flush;
    progressShown_ = true;
}

// One write a message: standard error is unbuffered, and a list of a million missing files
// gives a million messages. A message is one line whatever the name it holds.
void CliHost::ShowMessage(const std::string& prompt, const std::string& title, MessageIcon) {
    ClearProgressLine();
    std::string line(DisplayTitle(title));
    line.append(": ").append(EscapedForTerminal(prompt)).push_back('\n');
    messages_ << line << std::flush;
}

// Runs report each item once, in list order, so row i is the item of path i.
void CliHost::ReportItem(const ItemReport& report) {
    const ItemRecord record = MeasureItem(report);
    anyFailed_ = anyFailed_ || report.status == ItemStatus::Error;
    if (keepTable_) rows_.push_back(RowOf(record));
    if (onItem_) onItem_(record);
}

void CliHost::PrintTable(std::ostream& out) const {
    if (!rows_.empty()) lumatrim::PrintTable(out, *paths_, rows_);
}

void CliHost::ClearProgressLine() {
    if (progressShown_) messages_ << kEraseLine;
    progressShown_ = false;
}

} // namespace lumatrim

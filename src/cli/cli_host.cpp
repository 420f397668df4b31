// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_host.h"

#include <algorithm>
#include <cmath>

namespace lumatrim {

namespace {

// Carriage return, then erase to the end of the line.
constexpr std::string_view kEraseLine = "\r\x1b[K";

} // namespace

CliHost::CliHost(std::vector<std::string> paths, RunSettings settings, std::ostream& messages,
                 bool showProgress, std::function<void(const ItemRecord&)> onItem,
                 std::optional<std::string> outputFolder)
    : WindowlessHost(std::move(settings), std::move(outputFolder)), paths_(std::move(paths)),
      messages_(messages), showProgress_(showProgress), onItem_(std::move(onItem)) {}

int32_t CliHost::ItemCount() const {
    return static_cast<int32_t>(paths_.size());
}

std::string CliHost::ItemText(int32_t index) const {
    return paths_.at(static_cast<size_t>(index) - 1);
}

void CliHost::SetProgress(float percent) {
    if (!showProgress_) return;
    ClearProgressLine();
    if (percent <= 0.0F) return;
    messages_ << "Reducing... " << std::lround(percent) << '%' << std::flush;
    progressShown_ = true;
}

void CliHost::ShowMessage(const std::string& prompt, const std::string& title, MessageIcon) {
    ClearProgressLine();
    messages_ << DisplayTitle(title) << ": " << prompt << std::endl;
}

void CliHost::ReportItem(const ItemReport& report) {
    records_.push_back(MeasureItem(report));
    if (onItem_) onItem_(records_.back());
}

bool CliHost::AnyItemFailed() const {
    return std::any_of(records_.begin(), records_.end(), [](const ItemRecord& record) {
        return record.report.status == ItemStatus::Error;
    });
}

void CliHost::ClearProgressLine() {
    if (progressShown_) messages_ << kEraseLine;
    progressShown_ = false;
}

} // namespace lumatrim

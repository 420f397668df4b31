// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The host a parallel run's worker reduces one item against: it holds what the item would
// show and report, so the run can hand that to the real host later, in list order. It gives the
// routes the real host's quality and time limit, and services no events.
#pragma once

#include "app/batch/windowless_host.h"

#include <vector>

namespace lumatrim {

class BufferedHost : public WindowlessHost {
public:
    using WindowlessHost::WindowlessHost;

    // The list belongs to the real host; an item's routes never ask for it.
    int32_t ItemCount() const override { return 0; }
    std::string ItemText(int32_t index) const override;
    void SetProgress(float) override {}
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override;
    void ReportItem(const ItemReport& report) override { reports_.push_back(report); }

    // Shows the messages and then the reports, each in the order they came.
    void ReplayTo(BatchHost& host) const;

private:
    struct Message {
        std::string prompt;
        std::string title;
        MessageIcon icon;
    };

    std::vector<Message> messages_;
    std::vector<ItemReport> reports_;
};

} // namespace lumatrim

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The part of a batch host that has no window: no pointer to set, no events to service, and a
// quality and child time limit fixed when the run starts.
#pragma once

#include "app/batch/batch_host.h"

namespace lumatrim {

class WindowlessHost : public BatchHost {
public:
    WindowlessHost(int32_t quality, std::optional<std::chrono::milliseconds> childTimeLimit)
        : quality_(quality), childTimeLimit_(childTimeLimit) {}

    int32_t Quality() const override { return quality_; }
    void SetMousePointer(MousePointer) override {}
    void DoEvents() override {}
    std::optional<std::chrono::milliseconds> ChildTimeLimit() const override {
        return childTimeLimit_;
    }
    Effort EffortSetting() const override { return effort_; }
    void SetEffort(Effort effort) { effort_ = effort; }

private:
    int32_t quality_;
    std::optional<std::chrono::milliseconds> childTimeLimit_;
    Effort effort_ = Effort::Default;
};

} // namespace lumatrim

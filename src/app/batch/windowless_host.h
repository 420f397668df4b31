// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The part of a batch host that has no window: no pointer to set, no events to service, and
// settings fixed when the run starts.
#pragma once

#include "app/batch/batch_host.h"

namespace lumatrim {

class WindowlessHost : public BatchHost {
public:
    explicit WindowlessHost(RunSettings settings, std::optional<std::string> outputFolder = {},
                            std::string mirroredFolder = {})
        : settings_(std::move(settings)), outputFolder_(std::move(outputFolder)),
          mirroredFolder_(std::move(mirroredFolder)) {}

    int32_t Quality() const override { return settings_.quality; }
    void SetMousePointer(MousePointer) override {}
    void DoEvents() override {}
    std::optional<std::chrono::milliseconds> ChildTimeLimit() const override {
        return settings_.childTimeLimit;
    }
    Effort EffortSetting() const override { return settings_.effort; }
    bool AllowLarger() const override { return settings_.allowLarger; }
    std::optional<int32_t> LossyLevel() const override { return settings_.lossy; }
    bool KeepMetadata() const override { return settings_.keepMetadata; }
    bool PreserveTimes() const override { return settings_.preserveTimes; }
    bool PassOverOwnOutputs() const override { return settings_.passOverOwnOutputs; }
    std::stop_token StopToken() const override { return settings_.stop; }
    std::optional<std::string> OutputFolder() const override { return outputFolder_; }
    std::string MirroredFolder() const override { return mirroredFolder_; }

    const RunSettings& Settings() const { return settings_; }

private:
    RunSettings settings_;
    std::optional<std::string> outputFolder_;
    std::string mirroredFolder_;
};

} // namespace lumatrim

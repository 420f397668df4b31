// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Test doubles for the application layer, and checks of what a batch run left behind.
#pragma once

#include "app/batch/batch_driver.h"
#include "app/batch/route_table.h"
#include "app/batch/batch_host.h"
#include "support/test_support.h"

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace lumatrim::test {

using Message = std::tuple<std::string, std::string, MessageIcon>; // prompt, title, icon

inline const Message kDone = {"Done.", "", MessageIcon::None};
inline Message ErrorOnImage(const std::string& prompt) {
    return {prompt, "Error on image", MessageIcon::Exclamation};
}

// Records what a batch run asked of its host; `onEvents` lets a test act mid-run.
class RecordingHost : public BatchHost {
public:
    explicit RecordingHost(std::vector<std::string> items) : items(std::move(items)) {}

    int32_t ItemCount() const override { return static_cast<int32_t>(items.size()); }
    std::string ItemText(int32_t index) const override { return items.at(size_t(index) - 1); }
    void SetProgress(float percent) override { progress.push_back(percent); }
    int32_t Quality() const override { return quality; }
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override {
        messages.emplace_back(prompt, title, icon);
    }
    void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
    void DoEvents() override {
        if (onEvents) onEvents(*this);
    }
    void ReportItem(const ItemReport& report) override { reports.push_back(report); }
    bool AllowLarger() const override { return allowLarger; }
    bool KeepMetadata() const override { return keepMetadata; }
    bool PreserveTimes() const override { return preserveTimes; }
    std::stop_token StopToken() const override { return stop.get_token(); }
    std::optional<std::string> OutputFolder() const override { return outputFolder; }
    std::string MirroredFolder() const override { return mirroredFolder; }
    bool PassOverOwnOutputs() const override { return passOverOwnOutputs; }

    std::vector<std::string> items;
    std::vector<float> progress;
    std::vector<MousePointer> pointers;
    std::vector<Message> messages;
    std::vector<ItemReport> reports;
    std::function<void(RecordingHost&)> onEvents;
    bool allowLarger = false;
    bool keepMetadata = false;
    bool preserveTimes = false;
    std::optional<std::string> outputFolder; // none: beside the sources
    std::string mirroredFolder;              // empty: the current folder
    bool passOverOwnOutputs = false;
    int32_t quality = 85;
    std::stop_source stop;
};

// Each report's status, in list order.
inline std::vector<ItemStatus> Statuses(const std::vector<ItemReport>& reports) {
    std::vector<ItemStatus> statuses;
    for (const ItemReport& report : reports)
        statuses.push_back(report.status);
    return statuses;
}

// A guard over `folders` and the items themselves that lets the items' planned outputs change.
inline SourceGuard GuardItems(const std::vector<std::filesystem::path>& folders,
                              const std::vector<std::string>& items) {
    std::vector<std::filesystem::path> watched = folders, outputs;
    for (const std::string& item : items) {
        watched.emplace_back(item);
        if (const std::optional<std::string> output = PlannedOutput(item))
            outputs.emplace_back(*output);
    }
    return SourceGuard(watched, outputs);
}

// Files left by a write that did not finish: atomic writes' "*.tmp" beside the outputs.
inline std::vector<std::string> TemporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".tmp") names.push_back(entry.path().filename().string());
    return names;
}

} // namespace lumatrim::test

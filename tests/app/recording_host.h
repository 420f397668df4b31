// Test doubles for the application layer.
#pragma once

#include "app/batch_host.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace lumatrim::test {

using Message = std::tuple<std::string, std::string, MessageIcon>; // prompt, title, icon

// Records what a batch run asked of its host; `onEvents` lets a test act mid-run.
class RecordingHost : public BatchHost {
public:
    explicit RecordingHost(std::vector<std::string> items) : items(std::move(items)) {}

    int32_t ItemCount() const override { return static_cast<int32_t>(items.size()); }
    std::string ItemText(int32_t index) const override {
        return items.at(static_cast<size_t>(index) - 1);
    }
    void SetProgress(float percent) override { progress.push_back(percent); }
    int32_t Quality() const override { return 85; }
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override {
        messages.emplace_back(prompt, title, icon);
    }
    void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
    void DoEvents() override {
        if (onEvents) onEvents(*this);
    }
    void ReportItem(const ItemReport& report) override { reports.push_back(report); }

    std::vector<std::string> items;
    std::vector<float> progress;
    std::vector<MousePointer> pointers;
    std::vector<Message> messages;
    std::vector<ItemReport> reports;
    std::function<void(RecordingHost&)> onEvents;
};

inline const std::function<void()> kNoEvents = [] {};

// Stands in for an optimizer; "$1" is its first argument.
inline void WriteScript(const std::filesystem::path& file, const std::string& body) {
    std::ofstream(file) << "#!/bin/sh\n" << body << '\n';
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

} // namespace lumatrim::test

// Test doubles for the application layer: a batch host that records what a run asked of it,
// and stand-in optimizer programs written as small shell scripts.
#pragma once

#include "app/batch_host.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace lumatrim::test {

class RecordingHost : public BatchHost {
public:
    struct Message {
        std::string prompt;
        std::string title;
        MessageIcon icon;
    };

    explicit RecordingHost(std::vector<std::string> items) : items(std::move(items)) {}

    int32_t ItemCount() const override { return static_cast<int32_t>(items.size()); }
    std::string ItemText(int32_t index) const override {
        return items.at(static_cast<size_t>(index) - 1);
    }
    void SetProgress(float percent) override { progress.push_back(percent); }
    int32_t Quality() const override { return 85; }
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override {
        messages.push_back({prompt, title, icon});
    }
    void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
    void DoEvents() override {
        ++eventsServiced;
        if (onEvents) onEvents(*this);
    }
    void ReportItem(const ItemReport& report) override { reports.push_back(report); }

    std::vector<std::string> items;
    std::vector<float> progress;
    std::vector<MousePointer> pointers;
    std::vector<Message> messages;
    std::vector<ItemReport> reports;
    int eventsServiced = 0;
    std::function<void(RecordingHost&)> onEvents;
};

// An executable /bin/sh script with the given body; "$1" is its first argument.
inline void WriteScript(const std::filesystem::path& file, const std::string& body) {
    std::ofstream(file) << "#!/bin/sh\n" << body << '\n';
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

} // namespace lumatrim::test

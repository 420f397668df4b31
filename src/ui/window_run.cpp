// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/window_run.h"

#include "app/batch/output_folder.h"
#include "app/batch/parallel_batch.h"
#include "app/batch/windowless_host.h"
#include "app/routes/route.h"

#include <exception>
#include <vector>

namespace lumatrim {

namespace {

// The run's host on its own thread: holds the list as it was when the run started, and queues
// every call meant for the window.
class QueuedHost final : public WindowlessHost {
public:
    // Under an output folder the outputs mirror the deepest folder holding every listed file:
    // the window's current folder is wherever it was started from, which its user never chose.
    QueuedHost(WindowRun::Window window, std::vector<std::string> items, RunSettings settings,
               std::optional<std::string> outputFolder)
        : WindowlessHost(std::move(settings), outputFolder,
                         outputFolder ? CommonFolder(items) : std::string()),
          window_(std::move(window)), items_(std::move(items)) {}

    int32_t ItemCount() const override { return static_cast<int32_t>(items_.size()); }
    std::string ItemText(int32_t index) const override {
        return items_.at(static_cast<size_t>(index) - 1);
    }
    void SetProgress(float percent) override {
        Post([&host = window_.host, percent] { host.SetProgress(percent); });
    }
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override {
        Post(
            [&host = window_.host, prompt, title, icon] { host.ShowMessage(prompt, title, icon); });
    }
    void SetMousePointer(MousePointer pointer) override {
        Post([&host = window_.host, pointer] { host.SetMousePointer(pointer); });
    }
    // Reports come one an item, in list order.
    void ReportItem(const ItemReport& report) override {
        Post([itemEnded = window_.itemEnded, index = ++reported_, record = MeasureItem(report)] {
            itemEnded(index, record);
        });
    }
    void EndRun() { Post(window_.runEnded); }

private:
    void Post(std::function<void()> call) {
        QMetaObject::invokeMethod(window_.context, std::move(call), Qt::QueuedConnection);
    }

    WindowRun::Window window_;
    std::vector<std::string> items_;
    int32_t reported_ = 0;
};

// What the run says when it cannot go on: the run's end, without "Done.".
void ShowRunFailure(BatchHost& host, const std::exception& error) {
    host.SetMousePointer(MousePointer::Default);
    host.SetProgress(0.0F);
    host.ShowMessage(error.what(), std::string(kImageErrorTitle), MessageIcon::Exclamation);
}

} // namespace

WindowRun::WindowRun(Window window, std::string applicationFolder, unsigned jobs) {
    const BatchHost& host = window.host;
    std::vector<std::string> items;
    for (int32_t index = 1; index <= host.ItemCount(); ++index)
        items.push_back(host.ItemText(index));
    RunSettings settings = ReadRunSettings(host);
    thread_ =
        std::jthread([window = std::move(window), items = std::move(items), settings,
                      outputFolder = host.OutputFolder(), folder = std::move(applicationFolder),
                      jobs](std::stop_token stop) mutable {
            settings.stop = std::move(stop);
            QueuedHost run(std::move(window), std::move(items), std::move(settings),
                           std::move(outputFolder));
            try {
                RunParallelBatch(run, folder, jobs);
            } catch (const std::exception& error) {
                ShowRunFailure(run, error);
            }
            run.EndRun();
        });
}

void WindowRun::Wait() {
    if (thread_.joinable()) thread_.join();
}

} // namespace lumatrim

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/parallel_batch.h"

#include "app/batch/batch_driver.h"
#include "app/batch/buffered_host.h"
#include "app/batch/output_collisions.h"
#include "app/batch/start_order.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sched.h>
#include <stop_token>
#include <thread>

namespace lumatrim {

namespace {

// How often the calling thread services the host's events while it waits for a worker.
constexpr auto kEventInterval = std::chrono::milliseconds(100);

// The run's hand-over between the workers and the calling thread.
class ItemQueue {
public:
    ItemQueue(std::vector<std::ptrdiff_t> waitFor, std::vector<size_t> startOrder)
        : waitFor_(std::move(waitFor)), startOrder_(std::move(startOrder)), taken_(waitFor_.size()),
          outcomes_(waitFor_.size()) {}

    // The first item in starting order whose conflicting items are all reported; none when
    // every item is taken or the run is stopping.
    std::optional<size_t> Take(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        std::optional<size_t> index;
        changed_.wait(lock, stop, [&] {
            index = FirstFree();
            return index || firstUntaken_ == startOrder_.size();
        });
        if (index) taken_[*index] = true;
        return index;
    }

    void Finish(size_t index, BufferedHost outcome) {
        {
            const std::lock_guard lock(mutex_);
            outcomes_[index].emplace(std::move(outcome));
        }
        changed_.notify_all();
    }

    BufferedHost Await(size_t index, BatchHost& host) {
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, kEventInterval,
                                  [&] { return outcomes_[index].has_value(); })) {
            lock.unlock();
            host.DoEvents();
            lock.lock();
        }
        BufferedHost outcome = std::move(*outcomes_[index]);
        outcomes_[index].reset();
        return outcome;
    }

    void MarkReported(size_t index) {
        {
            const std::lock_guard lock(mutex_);
            reported_ = static_cast<std::ptrdiff_t>(index) + 1;
        }
        changed_.notify_all();
    }

private:
    std::optional<size_t> FirstFree() {
        while (firstUntaken_ < startOrder_.size() && taken_[startOrder_[firstUntaken_]])
            ++firstUntaken_;
        for (size_t at = firstUntaken_; at < startOrder_.size(); ++at) {
            const size_t index = startOrder_[at];
            if (!taken_[index] && reported_ > waitFor_[index]) return index;
        }
        return std::nullopt;
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    const std::vector<std::ptrdiff_t> waitFor_;
    const std::vector<size_t> startOrder_;
    std::vector<bool> taken_;
    size_t firstUntaken_ = 0; // in startOrder_
    std::vector<std::optional<BufferedHost>> outcomes_;
    std::ptrdiff_t reported_ = 0; // items handed to the host so far
};

// What every worker reads and nobody changes during the run.
struct RunInputs {
    std::vector<std::string> items;
    std::string applicationFolder;
    RunSettings settings;
    std::optional<std::string> outputFolder;
};

void Work(std::stop_token stop, ItemQueue& queue, const RunInputs& run) {
    RouteWorkspace workspace;
    while (const std::optional<size_t> index = queue.Take(stop)) {
        BufferedHost buffer(run.settings, run.outputFolder);
        buffer.ReportItem(ReduceItem(buffer, run.items[*index], run.applicationFolder, workspace));
        queue.Finish(*index, std::move(buffer));
    }
}

// Items without a route cost nothing, whatever their size.
std::vector<uintmax_t> RoutedSizes(const std::vector<std::string>& items) {
    std::vector<uintmax_t> sizes;
    for (const std::string& item : items) {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(item, error);
        sizes.push_back(!error && PlannedOutput(item) ? size : 0);
    }
    return sizes;
}

RunInputs ReadRunInputs(const BatchHost& host, const std::string& applicationFolder) {
    RunInputs run{{},
                  applicationFolder,
                  {host.Quality(), host.ChildTimeLimit(), host.EffortSetting(), host.AllowLarger(),
                   host.StopToken()},
                  host.OutputFolder()};
    for (int32_t index = 1; index <= host.ItemCount(); ++index)
        run.items.push_back(host.ItemText(index));
    return run;
}

// Leaving early (the host threw) stops the workers before they are joined.
void ReportInOrder(BatchHost& host, const RunInputs& run, unsigned jobs) {
    ItemQueue queue(LatestConflicts(run.items, run.outputFolder),
                    StartOrder(RoutedSizes(run.items), jobs));
    std::vector<std::jthread> workers;
    for (size_t worker = 0; worker < std::min<size_t>(jobs, run.items.size()); ++worker)
        workers.emplace_back(Work, std::ref(queue), std::cref(run));
    const double count = static_cast<double>(run.items.size());
    for (size_t index = 0; index < run.items.size(); ++index) {
        host.SetMousePointer(MousePointer::Hourglass);
        host.SetProgress(static_cast<float>(static_cast<double>(index + 1) / count * 100.0));
        queue.Await(index, host).ReplayTo(host);
        queue.MarkReported(index);
    }
}

} // namespace

unsigned DefaultJobCount() {
    // The cores this process may run on (taskset, container cpusets), not all the machine has.
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&allowed)));
    return std::max(1U, std::thread::hardware_concurrency());
}

void RunParallelBatch(BatchHost& host, const std::string& applicationFolder, unsigned jobs) {
    if (jobs <= 1) {
        RunBatch(host, applicationFolder);
        return;
    }
    const RunInputs run = ReadRunInputs(host, applicationFolder);
    if (run.items.empty()) {
        host.ShowMessage("No files added.", "", MessageIcon::None);
        return;
    }
    ReportInOrder(host, run, jobs);
    EndRun(host);
}

} // namespace lumatrim

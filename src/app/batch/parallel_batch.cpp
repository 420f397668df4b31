// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/parallel_batch.h"

#include "app/batch/batch_driver.h"
#include "app/batch/buffered_host.h"
#include "app/batch/output_collisions.h"
#include "app/batch/route_table.h"
#include "app/batch/start_order.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sched.h>
#include <stop_token>
#include <thread>

namespace lumatrim {

namespace {

// How often the calling thread services the host's events while it waits for a worker.
constexpr auto kEventInterval = std::chrono::milliseconds(100);

// Outcomes finished and not yet reported, at most: workers that outrun the reporting (a long
// list of files that fail at once) then rest until half of them are reported, so memory does
// not grow with the list and they wake once per half, not once per item.
constexpr size_t kMaxWaitingOutcomes = 4096;

// The run's hand-over between the workers and the calling thread. Each side is woken only when
// the other has something for it: a wake-up costs more than a quickly failing item.
class ItemQueue {
public:
    ItemQueue(std::vector<std::ptrdiff_t> waitFor, std::vector<size_t> startOrder, unsigned jobs)
        : waitFor_(std::move(waitFor)), startOrder_(std::move(startOrder)), taken_(waitFor_.size()),
          outcomes_(waitFor_.size()), lookAhead_(4 * size_t{jobs} + 64) {}

    // The first item in starting order whose conflicting items are all reported; none when
    // every item is taken or the run is stopping.
    std::optional<size_t> Take(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        std::optional<size_t> index;
        ++idleWorkers_;
        workCanStart_.wait(lock, stop, [&] {
            index = FirstFree();
            return index || firstUntaken_ == startOrder_.size();
        });
        --idleWorkers_;
        if (index) taken_[*index] = true;
        return index;
    }

    void Finish(size_t index, std::unique_ptr<BufferedHost> outcome) {
        bool awaited = false;
        {
            const std::lock_guard lock(mutex_);
            outcomes_[index] = std::move(outcome);
            full_ = full_ || ++waiting_ >= kMaxWaitingOutcomes;
            awaited = awaited_ == index;
        }
        if (awaited) outcomeArrived_.notify_one();
    }

    std::unique_ptr<BufferedHost> Await(size_t index, BatchHost& host) {
        std::unique_lock lock(mutex_);
        awaited_ = index;
        while (!outcomeArrived_.wait_for(lock, kEventInterval,
                                         [&] { return outcomes_[index] != nullptr; })) {
            lock.unlock();
            host.DoEvents();
            lock.lock();
        }
        awaited_.reset();
        --waiting_;
        return std::move(outcomes_[index]);
    }

    void MarkReported(size_t index) {
        bool wake = false;
        {
            const std::lock_guard lock(mutex_);
            reported_ = static_cast<std::ptrdiff_t>(index) + 1;
            full_ = full_ && waiting_ > kMaxWaitingOutcomes / 2;
            const size_t next = index + 1;
            wake = idleWorkers_ > 0 && (!full_ || (next < taken_.size() && !taken_[next]));
        }
        if (wake) workCanStart_.notify_all();
    }

private:
    // The search looks a bounded way ahead, or a list of one path a million times (each item
    // waiting for the one before) would cost a million steps a take. The bound keeps the next
    // item to report in sight: at most 4 per job start before list order (see StartOrder), and
    // in list order every item before it is reported, so taken. That item is also the only one
    // taken while too many outcomes wait: it is what lets them go.
    std::optional<size_t> FirstFree() {
        while (firstUntaken_ < startOrder_.size() && taken_[startOrder_[firstUntaken_]])
            ++firstUntaken_;
        const size_t end = std::min(startOrder_.size(), firstUntaken_ + lookAhead_);
        for (size_t at = firstUntaken_; at < end; ++at) {
            const size_t index = startOrder_[at];
            if (full_ && static_cast<std::ptrdiff_t>(index) != reported_) continue;
            if (!taken_[index] && reported_ > waitFor_[index]) return index;
        }
        return std::nullopt;
    }

    std::mutex mutex_;
    std::condition_variable_any workCanStart_;
    std::condition_variable outcomeArrived_;
    const std::vector<std::ptrdiff_t> waitFor_;
    const std::vector<size_t> startOrder_;
    std::vector<bool> taken_;
    size_t firstUntaken_ = 0; // in startOrder_
    // Only items finished and not yet reported hold an outcome, so a long list costs a pointer
    // an item.
    std::vector<std::unique_ptr<BufferedHost>> outcomes_;
    size_t waiting_ = 0; // outcomes not yet taken by the calling thread
    bool full_ = false;  // too many are: only the next item to report may start
    const size_t lookAhead_;
    size_t idleWorkers_ = 0;
    std::optional<size_t> awaited_; // what the calling thread waits for
    std::ptrdiff_t reported_ = 0;   // items handed to the host so far
};

// What every worker reads and nobody changes during the run.
struct RunInputs {
    std::shared_ptr<const PathList> items;
    std::string applicationFolder;
    RunSettings settings;
    std::optional<std::string> outputFolder;
    std::string mirroredFolder;
};

void Work(std::stop_token stop, ItemQueue& queue, const RunInputs& run) {
    RouteWorkspace workspace;
    while (const std::optional<size_t> index = queue.Take(stop)) {
        auto buffer =
            std::make_unique<BufferedHost>(run.settings, run.outputFolder, run.mirroredFolder);
        buffer->ReportItem(ReduceItem(*buffer, std::string((*run.items)[*index]),
                                      run.applicationFolder, workspace));
        queue.Finish(*index, std::move(buffer));
    }
}

// Items without a route cost nothing, whatever their size.
std::vector<uintmax_t> RoutedSizes(const PathList& items) {
    std::vector<uintmax_t> sizes;
    sizes.reserve(items.Size());
    for (size_t index = 0; index < items.Size(); ++index) {
        const std::string item(items[index]);
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(item, error);
        sizes.push_back(!error && PlannedOutput(item) ? size : 0);
    }
    return sizes;
}

RunInputs ReadRunInputs(const BatchHost& host, const std::string& applicationFolder) {
    RunInputs run{host.FixedItems(), applicationFolder, ReadRunSettings(host), host.OutputFolder(),
                  host.MirroredFolder()};
    run.settings.stop = host.StopToken();
    if (run.items) return run;
    auto items = std::make_shared<PathList>();
    for (int32_t index = 1; index <= host.ItemCount(); ++index)
        items->Add(host.ItemText(index));
    items->ShrinkToFit();
    run.items = std::move(items);
    return run;
}

// Leaving early (the host threw) stops the workers before they are joined.
void ReportInOrder(BatchHost& host, const RunInputs& run, unsigned jobs) {
    const PathList& items = *run.items;
    ItemQueue queue(LatestConflicts(items, run.outputFolder, run.mirroredFolder),
                    StartOrder(RoutedSizes(items), jobs), jobs);
    std::vector<std::jthread> workers;
    for (size_t worker = 0; worker < std::min<size_t>(jobs, items.Size()); ++worker)
        workers.emplace_back(Work, std::ref(queue), std::cref(run));
    const double count = static_cast<double>(items.Size());
    for (size_t index = 0; index < items.Size(); ++index) {
        host.SetMousePointer(MousePointer::Hourglass);
        host.SetProgress(static_cast<float>(static_cast<double>(index + 1) / count * 100.0));
        queue.Await(index, host)->ReplayTo(host);
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
    if (run.items->Empty()) {
        host.ShowMessage("No files added.", "", MessageIcon::None);
        return;
    }
    ReportInOrder(host, run, jobs);
    EndRun(host);
}

} // namespace lumatrim

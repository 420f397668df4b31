// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A batch run for the window, on a thread of its own so that the window never waits for a file.
// The list, the settings and the output folder are read from the window's host when the run
// starts; whatever the run then tells its host reaches the window through the window's event
// queue, on the window's thread and in the order the run said it. Each item is measured on the
// run's thread right after it ends, as lumatrim-batch measures it, before a later item can write
// the same output. Going, a run stops and waits for its thread.
#pragma once

#include "app/batch/batch_host.h"
#include "app/batch/item_record.h"

#include <QObject>
#include <functional>
#include <string>
#include <thread>

namespace lumatrim {

class WindowRun {
public:
    struct Window {
        QObject* context; // calls are queued to its thread, and dropped once it is gone
        BatchHost& host;  // gives the list and settings; is shown progress, messages, pointer
        std::function<void(int32_t index, const ItemRecord& record)> itemEnded; // 1-based
        std::function<void()> runEnded; // the last call of every run
    };

    // Starts the run at once with up to `jobs` workers (see RunParallelBatch).
    WindowRun(Window window, std::string applicationFolder, unsigned jobs);

    // Ends the run as soon as it can: a running optimizer is ended, unfinished items are
    // reported as not done.
    void Stop() { thread_.request_stop(); }
    bool Stopping() const { return thread_.get_stop_token().stop_requested(); }
    // Returns when the run's thread has ended; its calls may still wait in the window's queue.
    void Wait();

private:
    std::jthread thread_; // its stop is the run's
};

} // namespace lumatrim

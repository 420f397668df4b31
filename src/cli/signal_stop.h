// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Ctrl-C (SIGINT), a kill (SIGTERM) or a closed terminal (SIGHUP) stops lumatrim-batch the way
// the run's own stop does: the optimizer is ended, work files and unfinished outputs are
// removed, finished outputs stay and the items not done are reported as such. The signals are
// blocked in every thread and taken by one watcher thread, so no handler ever interrupts the
// work and nothing but the run's stop token is shared.
#pragma once

#include <atomic>
#include <stop_token>
#include <thread>

namespace lumatrim {

class SignalStop {
public:
    // Blocks the signals in the calling thread; threads started later inherit that. Make it
    // before any other thread starts, or those threads would still take the signals.
    SignalStop();
    ~SignalStop(); // ends the watcher; the signals stay blocked
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    std::stop_token Token() const { return stop_.get_token(); }
    // The first signal received; 0 while none was.
    int Received() const { return received_.load(); }

private:
    void Watch();

    std::stop_source stop_;
    std::atomic<int> received_{0};
    int signals_ = -1; // a signalfd of the three signals
    int wake_ = -1;    // an eventfd that ends the watcher
    std::jthread watcher_;
};

// Ends the process as `signal` would have, once the run has cleaned up: the shell sees 128 plus
// the signal number, and a script looping over files stops on Ctrl-C as it does for any program.
[[noreturn]] void ExitBySignal(int signal);

} // namespace lumatrim

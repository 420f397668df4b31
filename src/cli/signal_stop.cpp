// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/signal_stop.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace lumatrim {

namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

} // namespace

SignalStop::SignalStop() {
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signals_ = ::signalfd(-1, &signals, SFD_CLOEXEC);
    wake_ = ::eventfd(0, EFD_CLOEXEC);
    if (signals_ >= 0 && wake_ >= 0) {
        watcher_ = std::jthread([this] { Watch(); });
        return;
    }
    // Without a watcher the signals must keep their usual effect rather than go unheard.
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

SignalStop::~SignalStop() {
    if (watcher_.joinable()) {
        const uint64_t one = 1;
        while (::write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        watcher_.join();
    }
    for (const int fd : {signals_, wake_})
        if (fd >= 0) ::close(fd);
}

void SignalStop::Watch() {
    pollfd events[] = {{signals_, POLLIN, 0}, {wake_, POLLIN, 0}};
    while (true) {
        if (::poll(events, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (events[1].revents != 0) return;
        signalfd_siginfo info{};
        if (::read(signals_, &info, sizeof info) != sizeof info) continue;
        int none = 0;
        received_.compare_exchange_strong(none, static_cast<int>(info.ssi_signo));
        stop_.request_stop();
    }
}

void ExitBySignal(int signal) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal); // should the signal not end the process after all
}

} // namespace lumatrim

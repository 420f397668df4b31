// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/shell.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumatrim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// Owns the spawn file actions that say where the child's standard streams go.
class SpawnStreams {
public:
    explicit SpawnStreams(bool silenced) {
        posix_spawn_file_actions_init(&actions_);
        if (!silenced) return;
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    ~SpawnStreams() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnStreams(const SpawnStreams&) = delete;
    SpawnStreams& operator=(const SpawnStreams&) = delete;

    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// Lets a wait end the moment the child does, instead of at the next poll: a short optimizer
// run would otherwise cost up to a whole poll interval. Without one the wait just sleeps.
class ChildExitSignal {
public:
    // Through syscall(): Debian 12's <sys/pidfd.h> lacks C linkage for C++.
    explicit ChildExitSignal(pid_t child)
        : fd_(static_cast<int>(::syscall(SYS_pidfd_open, child, 0))) {}
    ~ChildExitSignal() {
        if (fd_ >= 0) ::close(fd_);
    }
    ChildExitSignal(const ChildExitSignal&) = delete;
    ChildExitSignal& operator=(const ChildExitSignal&) = delete;

    void WaitAtMost(Clock::duration wait) const {
        const auto milliseconds =
            std::chrono::ceil<std::chrono::milliseconds>(std::max(wait, Clock::duration::zero()));
        if (fd_ < 0) {
            std::this_thread::sleep_for(milliseconds);
            return;
        }
        pollfd exited{fd_, POLLIN, 0};
        ::poll(&exited, 1, static_cast<int>(milliseconds.count()));
    }

private:
    int fd_;
};

int32_t ExitCodeOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    return 128 + WTERMSIG(waitStatus);
}

int32_t StopChild(pid_t child, int32_t result) {
    ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return result;
}

} // namespace

int NormalizeWindowStyle(std::optional<int> style) {
    if (!style || *style < 0 || *style > 6) return kWindowStyleDefault;
    return *style;
}

int32_t ShellAndWait(const std::vector<std::string>& arguments, std::optional<int> windowStyle,
                     const std::function<void()>& pumpEvents,
                     std::optional<std::chrono::milliseconds> timeLimit, std::stop_token stop) {
    if (arguments.empty()) return kStartFailureBase + ENOENT;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const SpawnStreams streams(NormalizeWindowStyle(windowStyle) == kWindowStyleHidden);
    pid_t child = 0;
    const int startError =
        posix_spawn(&child, argv[0], streams.get(), nullptr, argv.data(), environ);
    if (startError != 0) return kStartFailureBase + startError;

    const ChildExitSignal exited(child);
    const auto deadline = timeLimit ? Clock::now() + *timeLimit : Clock::time_point::max();
    while (true) {
        int status = 0;
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) return ExitCodeOf(status);
        if (ended < 0 && errno != EINTR) return kStartFailureBase + errno;
        const auto now = Clock::now();
        if (now >= deadline) return StopChild(child, kChildTimedOut);
        if (stop.stop_requested()) return StopChild(child, kChildStopped);
        pumpEvents();
        exited.WaitAtMost(std::min<Clock::duration>(kPollInterval, deadline - now));
    }
}

} // namespace lumatrim

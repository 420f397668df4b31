// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/shell.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumatrim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// The child's side of StartChild, between vfork and exec: system calls only, on memory the
// parent does not touch while it waits. It starts as a program started from a shell would
// (no signal blocked, SIGXFSZ back to its default), in a process group of its own, so a stop
// ends it and anything it started, and it is killed when the thread that started it ends: a
// run ended by any signal, SIGKILL included, leaves no optimizer behind.
[[noreturn]] void BecomeChild(char* const* argv, bool silenced, pid_t parent,
                              volatile int* startError) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127); // the parent is already gone
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGXFSZ, SIG_DFL);
    if (silenced) {
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            if (null >= 0) ::dup2(null, stream);
    }
    ::execve(argv[0], argv, environ);
    *startError = errno;
    ::_exit(127);
}

// The child's process id, or minus the system's error number when it could not be started.
// vfork, as posix_spawn uses, spares copying a large parent's page tables; unlike posix_spawn
// it lets the child ask to die with its parent.
pid_t StartChild(char* const* argv, bool silenced) {
    const pid_t parent = ::getpid();
    volatile int startError = 0;
    const pid_t child = ::vfork();
    if (child == 0) BecomeChild(argv, silenced, parent, &startError);
    if (child < 0) return -errno;
    if (startError == 0) return child;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return -startError;
}

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

// Ends the child and whatever it started in its process group.
int32_t StopChild(pid_t child, int32_t result) {
    ::kill(-child, SIGKILL);
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

    const pid_t child =
        StartChild(argv.data(), NormalizeWindowStyle(windowStyle) == kWindowStyleHidden);
    if (child < 0) return kStartFailureBase - child;

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

#include "app/shell.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumatrim {

namespace {

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

int32_t ExitCodeOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    return 128 + WTERMSIG(waitStatus);
}

} // namespace

int NormalizeWindowStyle(std::optional<int> style) {
    if (!style || *style < 0 || *style > 6) return kWindowStyleDefault;
    return *style;
}

int32_t ShellAndWait(const std::vector<std::string>& arguments, std::optional<int> windowStyle,
                     const std::function<void()>& pumpEvents) {
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

    while (true) {
        int status = 0;
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) return ExitCodeOf(status);
        if (ended < 0 && errno != EINTR) return kStartFailureBase + errno;
        pumpEvents();
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace lumatrim

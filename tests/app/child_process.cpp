#include "child_process.h"

#include "support/test_support.h"

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumatrim::test {

namespace {

std::vector<std::string> ChildEnvironment(const ChildSetup& setup) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable)
        if (std::string_view(*variable).substr(0, 7) != "TMPDIR=")
            variables.emplace_back(*variable);
    if (!setup.tempFolder.empty()) variables.push_back("TMPDIR=" + setup.tempFolder.string());
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Between fork and exec: only system calls, then exec or _exit.
[[noreturn]] void BecomeChild(char* const* argv, char* const* envp, int out, int err,
                              const ChildSetup& setup, const passwd* nobody) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::dup2(nothing, STDIN_FILENO);
    if (setup.fileSizeLimit) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{*setup.fileSizeLimit, *setup.fileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                   ::setuid(nobody->pw_uid) != 0))
        ::_exit(126);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

} // namespace

void OpenToEveryone(const std::filesystem::path& folder) {
    std::filesystem::permissions(folder, std::filesystem::perms::all);
}

ChildResult RunChild(const std::vector<std::string>& arguments, const ChildSetup& setup) {
    std::vector<std::string> argumentTexts = arguments;
    std::vector<std::string> environmentTexts = ChildEnvironment(setup);
    const std::vector<char*> argv = Pointers(argumentTexts);
    const std::vector<char*> envp = Pointers(environmentTexts);
    const passwd* nobody = setup.unprivileged && ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (setup.unprivileged && ::geteuid() == 0 && !nobody)
        throw std::runtime_error("no user \"nobody\" to run as");

    const TempDir capture;
    const int out = ::open((capture / "out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const int err = ::open((capture / "err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const pid_t child = ::fork();
    if (child == 0) BecomeChild(argv.data(), envp.data(), out, err, setup, nobody);
    ::close(out);
    ::close(err);
    if (child < 0) throw std::runtime_error("cannot fork");
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) throw std::runtime_error("cannot wait for the child");

    ChildResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const std::vector<uint8_t> outBytes = ReadBytes(capture / "out");
    const std::vector<uint8_t> errBytes = ReadBytes(capture / "err");
    result.out.assign(outBytes.begin(), outBytes.end());
    result.err.assign(errBytes.begin(), errBytes.end());
    return result;
}

} // namespace lumatrim::test

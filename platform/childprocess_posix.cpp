#include "ChildProcess.h"
#include "Clock.h"
#include "WaitStatus.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qbv::platform {

uint32_t exitCodeFromWaitStatus(int status) {
    if (WIFEXITED(status))
        return static_cast<uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGINT ? kControlCExit : 128u + static_cast<uint32_t>(WTERMSIG(status));
    return kStillActive; // stopped or continued: not an end
}

namespace {

// A descriptor that becomes readable when the process ends; -1 where the kernel offers none.
int openProcessDescriptor(int pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

} // namespace

void keepChildExitCodes() {
    signal(SIGCHLD, SIG_DFL);
}

ChildProcess::~ChildProcess() {
    release();
}

bool ChildProcess::start(const ProcessLaunch& launch) {
    release();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(launch.program.c_str()));
    for (const std::string& argument : launch.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // No shell and no search of PATH: the file named is the file run. It keeps the standard streams and
    // nothing else of ours.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (launch.outputToErrorStream)
        posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    // A process group of its own, as a console of its own on Windows: the terminal's Ctrl+C, which goes
    // to its caller's whole group, must not cut the programmer off halfway through the controller. It
    // starts with no signal blocked and Ctrl+C at its default, whatever its caller had.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int failure =
        posix_spawn(&pid, launch.program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        errorString_ = std::strerror(failure);
        return false;
    }
    errorString_.clear();
    pid_ = pid;
    pidDescriptor_ = openProcessDescriptor(pid);
    return true;
}

std::optional<uint32_t> ChildProcess::exitCode() {
    if (finalCode_)
        return finalCode_;
    if (pid_ <= 0)
        return std::nullopt;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(pid_, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return std::nullopt;
    if (result == 0)
        return kStillActive;
    const uint32_t code = exitCodeFromWaitStatus(status);
    if (code != kStillActive)
        finalCode_ = code;
    return code;
}

void ChildProcess::waitForEnd(uint32_t milliseconds) {
    if (finalCode_ || pid_ <= 0)
        return;
    if (pidDescriptor_ < 0) {
        systemClock().sleep(milliseconds); // real time, whatever clock the program's own rules read
        return;
    }
    pollfd end{pidDescriptor_, POLLIN, 0};
    poll(&end, 1, static_cast<int>(milliseconds));
}

void ChildProcess::endTree() {
    // The process group it leads: itself and whatever it started that stayed in it.
    if (pid_ > 0 && !finalCode_)
        kill(-pid_, SIGKILL);
}

uint32_t ChildProcess::processId() const {
    return pid_ > 0 ? static_cast<uint32_t>(pid_) : 0u;
}

void ChildProcess::release() {
    if (pidDescriptor_ >= 0)
        close(pidDescriptor_);
    if (pid_ > 0 && !finalCode_) {
        // Still running, or ended unseen: someone has to collect its status, and it must not be killed.
        const pid_t pid = pid_;
        std::thread([pid] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    pid_ = 0;
    pidDescriptor_ = -1;
    finalCode_.reset();
}

} // namespace qbv::platform

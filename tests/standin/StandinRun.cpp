#include "StandinRun.h"

#include "platform/ChildProcess.h"
#include "platform/WaitStatus.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qbv::test {

StandinRun::StandinRun() {
    std::string name = (std::filesystem::temp_directory_path() / "qbv-standin-output-XXXXXX").string();
    const int descriptor = mkstemp(name.data());
    if (descriptor >= 0)
        close(descriptor);
    outputPath_ = name;
}

StandinRun::~StandinRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::remove(outputPath_.c_str());
}

std::string StandinRun::programmerPath() {
    return QBV_STANDIN_PROGRAMMER;
}

bool StandinRun::start(const std::vector<std::string>& arguments, Output output) {
    const std::string program = programmerPath();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int unread[2] = {-1, -1};
    if (output == Output::NobodyReads && pipe2(unread, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == Output::NobodyReads) {
        close(unread[0]);
        posix_spawn_file_actions_adddup2(&actions, unread[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath_.c_str(), O_WRONLY | O_TRUNC, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    started_ = std::chrono::steady_clock::now();
    const int failure = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output == Output::NobodyReads)
        close(unread[1]);
    pid_ = failure == 0 ? pid : 0;
    return failure == 0;
}

bool StandinRun::wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0)
        return false;
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            elapsed_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started_);
            exitCode_ = platform::exitCodeFromWaitStatus(status);
            pid_ = 0;
            return true;
        }
        if (std::chrono::steady_clock::now() - started_ > limit) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string StandinRun::output() const {
    std::ifstream file(outputPath_, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

uint32_t runStandin(const std::vector<std::string>& arguments, std::string* output) {
    StandinRun run;
    const bool ended = run.start(arguments) && run.wait();
    if (output)
        *output = run.output();
    return ended ? run.exitCode() : 0xFFFFFFFFu;
}

} // namespace qbv::test

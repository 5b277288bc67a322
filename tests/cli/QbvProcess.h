#pragma once

#include <QProcess>
#include <QStringList>

#include <string>

namespace qbv::test {

// bin/qbv run as a user runs it, beside the virtual board's JTAG library, pointed at one board.
class QbvProcess {
public:
    // childEndsIgnored: started as some shells and service managers start programs, with SIGCHLD ignored.
    QbvProcess(const std::string& boardName, const QStringList& arguments, bool childEndsIgnored = false);
    ~QbvProcess();
    QbvProcess(const QbvProcess&) = delete;
    QbvProcess& operator=(const QbvProcess&) = delete;

    bool started() const { return started_; }
    // Waits for the next line of standard output (without its end); false after the time.
    bool readLine(std::string& line, int timeoutMs);
    // Ctrl+C as the terminal sends it to qbv.
    void interrupt();
    // The exit code once it ended within the time; -1 otherwise.
    int waitForExit(int timeoutMs);
    std::string standardError();

    // Runs to the end and returns the exit code; the output lands in out.
    static int run(const std::string& boardName, const QStringList& arguments, std::string& out,
                   bool childEndsIgnored = false);

private:
    QProcess process_;
    bool started_ = false;
};

} // namespace qbv::test

#include "ProcessFigures.h"

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace qbv::bench {

namespace {

std::string procPath(qint64 pid, const char* file) {
    return "/proc/" + std::to_string(pid) + "/" + file;
}

// utime and stime are the 14th and 15th fields of /proc/<pid>/stat. The 2nd, the command name, is in
// parentheses and may hold spaces, so fields are counted from the last ')'.
constexpr int kFieldsBeforeUtime = 14 - 3;

} // namespace

qint64 residentKilobytes(qint64 pid) {
    std::ifstream status(procPath(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(6));
        qint64 kilobytes = -1;
        fields >> kilobytes;
        return fields ? kilobytes : -1;
    }
    return -1;
}

double cpuSeconds(qint64 pid) {
    std::ifstream stat(procPath(pid, "stat"));
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string skipped;
    for (int field = 0; field < kFieldsBeforeUtime && fields >> skipped; ++field) {
    }
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    if (!(fields >> utime >> stime))
        return -1;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace qbv::bench

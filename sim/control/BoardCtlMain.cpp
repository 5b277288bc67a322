// qbv-board-ctl: drives a running virtual board from the command line, one request per run.

#include "sim/control/BoardControl.h"
#include "sim/core/SocketPath.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: qbv-board-ctl [--name NAME] REQUEST...\n"
    "  state | press K | release K | keys MASK | plug | unplug | erase | program FILE\n"
    "  fault stall|partial|zero|drop [N] | fault delay MS [N] | fault clear | counters reset | quit\n"
    "Keys: K = 0..3, key 0 is BUTTON1 (the rightmost). The board is the one named by --name, else by\n"
    "QBV_VIRTUAL_BOARD, else the user's default.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    std::string name = qbv::sim::boardNameFromEnvironment();
    if (argc > 2 && std::strcmp(argv[1], "--name") == 0) {
        name = argv[2];
        first = 3;
    }
    if (first >= argc || std::strcmp(argv[first], "--help") == 0)
        return usage();
    qbv::sim::BoardControl control(name);
    bool ok = false;
    if (std::strcmp(argv[first], "program") == 0) {
        if (argc != first + 2)
            return usage();
        ok = control.programFile(argv[first + 1]);
    } else {
        std::string line;
        for (int i = first; i < argc; ++i)
            line += (i == first ? "" : " ") + std::string(argv[i]);
        ok = control.request(line);
    }
    std::printf("%s\n", control.lastReply().c_str());
    return ok ? 0 : 1;
}

#include "FakeJtagClient.h"

#include "platform/Environment.h"
#include "tests/fakeclient/FakeClientScript.h"

#include <cstdio>
#include <mutex>

void fakeClientAppendLog(const char* line) {
    const std::string path = qbv::platform::environmentVariable(kFakeClientLogVariable);
    if (path.empty())
        return;
    // Opened for each line, so that a test in another process reads every line as soon as it is written.
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }
}

// libFuzzer target: arbitrary content as a design file. Whatever the reader accepts must survive being
// written out again and read back: the same name, the same configuration.

#include "sim/core/DesignFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qbv::sim::Design design;
    if (!qbv::sim::readDesignFile(std::string(reinterpret_cast<const char*>(data), size), design))
        return 0;
    qbv::sim::Design again;
    if (!qbv::sim::readDesignFile(qbv::sim::writeDesignFile(design), again) || again.name != design.name ||
        again.data != design.data)
        std::abort();
    return 0;
}

// Writes the controller design file that ships beside the panel.

#include "sim/core/DesignFile.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: qbv-make-design OUTPUT\n", stderr);
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << qbv::sim::writeDesignFile(qbv::sim::controllerDesign());
    file.close();
    if (!file) {
        std::fprintf(stderr, "qbv-make-design: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#pragma once

#include "BoardProcess.h"
#include "StandinRun.h"
#include "tests/support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qbv::test {

// The built design file beside the panel.
std::string builtDesignFile();
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A blank headless board of the test's own that the stand-in finds through QBV_VIRTUAL_BOARD, a chain
// definition file written by the panel's writer for the built design file, and programming that takes
// no time unless a test says otherwise. The stand-in's settings are cleared again afterwards.
class StandinTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string chainFile() const { return folder.file("QBV_Control_Panel.cdf"); }
    std::vector<std::string> panelArguments() const { return {"-c", "USB-Blaster[USB-0]", chainFile()}; }
    bool programmed();
    void eraseBoard();

    BoardProcess board{QStringList{QStringLiteral("--blank")}};
    TemporaryDirectory folder;
};

} // namespace qbv::test

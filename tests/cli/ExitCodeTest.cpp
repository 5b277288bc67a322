// The exit codes as the README tells them to script writers: the program's own table, row for row.

#include "common/ExitCode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> readmeExitCodeRows() {
    std::ifstream readme(QBV_README_FILE);
    std::string line;
    while (std::getline(readme, line) && line != "| Exit code | Meaning |") {
    }
    std::getline(readme, line); // |---|---|
    std::vector<std::string> rows;
    while (std::getline(readme, line) && line.starts_with("| "))
        rows.push_back(line);
    return rows;
}

} // namespace

TEST(QbvExitCodeTest, TheReadmesTableIsTheProgramsTable) {
    std::vector<std::string> expected;
    for (const qbv::ExitCodeRow& row : qbv::kExitCodes)
        expected.push_back("| " + std::to_string(row.code) + " | " + row.meaning + " |");
    EXPECT_EQ(readmeExitCodeRows(), expected);
}

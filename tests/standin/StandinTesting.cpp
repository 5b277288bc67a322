#include "StandinTesting.h"

#include "platform/Environment.h"
#include "programming/ChainDefinitionFile.h"
#include "sim/core/BoardState.h"
#include "sim/core/WireProtocol.h"
#include "sim/standin/ProgrammerSettings.h"

#include <fstream>
#include <sstream>

namespace qbv::test {

std::string builtDesignFile() {
    return QBV_DESIGN_FILE;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void StandinTest::SetUp() {
    ASSERT_TRUE(board.ready());
    platform::setEnvironmentVariable(sim::wire::kBoardNameVariable, board.name());
    platform::setEnvironmentVariable(standin::kDurationVariable, "0");
    ASSERT_TRUE(programming::WriteChainDefinitionFile(chainFile(), builtDesignFile()));
}

void StandinTest::TearDown() {
    for (const char* name : {sim::wire::kBoardNameVariable, standin::kDurationVariable,
                             standin::kHangVariable, standin::kExitCodeVariable})
        platform::setEnvironmentVariable(name, "");
}

bool StandinTest::programmed() {
    sim::BoardState state;
    EXPECT_TRUE(board.control().state(state)) << board.control().lastReply();
    return state.programmed;
}

void StandinTest::eraseBoard() {
    ASSERT_TRUE(board.control().erase());
}

} // namespace qbv::test

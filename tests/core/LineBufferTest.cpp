#include "common/LineBuffer.h"

#include <gtest/gtest.h>

#include <vector>

using qbv::LineBuffer;

namespace {

struct LinesCase {
    const char* name;
    size_t maxLine;
    std::string stream;
    std::vector<std::string> lines; // taken, in order
    bool overflowed;
    bool pending;
};

class LineBufferSplits : public testing::TestWithParam<LinesCase> {};

// Every case is fed whole, byte by byte and cut in two at each place: the lines that come out are the same.
std::vector<std::vector<std::string>> splits(const std::string& stream) {
    std::vector<std::vector<std::string>> all{{stream}, {}};
    for (const char byte : stream)
        all[1].push_back(std::string(1, byte));
    for (size_t cut = 1; cut < stream.size(); ++cut)
        all.push_back({stream.substr(0, cut), stream.substr(cut)});
    return all;
}

} // namespace

TEST_P(LineBufferSplits, GiveTheSameLinesHoweverTheBytesCame) {
    const LinesCase& c = GetParam();
    for (const std::vector<std::string>& chunks : splits(c.stream)) {
        LineBuffer buffer(c.maxLine);
        std::vector<std::string> lines;
        std::string line;
        for (const std::string& chunk : chunks) {
            buffer.append(chunk);
            while (buffer.takeLine(line))
                lines.push_back(line);
        }
        const std::string how = testing::PrintToString(chunks);
        EXPECT_EQ(lines, c.lines) << how;
        EXPECT_EQ(buffer.overflowed(), c.overflowed) << how;
        EXPECT_EQ(buffer.pending(), c.pending) << how;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, LineBufferSplits,
    testing::Values(
        LinesCase{"Lines", 8, "ab\ncd\n", {"ab", "cd"}, false, false},
        LinesCase{"EmptyLinesAndCarriageReturnsKept", 8, "\nab\r\n\n", {"", "ab\r", ""}, false, false},
        LinesCase{"UnfinishedLineWaits", 8, "ab\ncdef", {"ab"}, false, true},
        LinesCase{"LineAtTheLimit", 4, "abcd\nef", {"abcd"}, false, true},
        LinesCase{"UnfinishedLineBeyondTheLimit", 4, "ab\ncdefg", {"ab"}, true, true},
        LinesCase{"WholeLineBeyondTheLimitStopsTheLines", 4, "ab\ncdefg\nh\n", {"ab"}, true, true}),
    [](const testing::TestParamInfo<LinesCase>& info) { return info.param.name; });

// What the stand-in refuses before it goes near the board: a command line other than the panel's, a chain
// definition file that is not byte for byte the panel's, and a design file that is missing or damaged.

#include "StandinTesting.h"

#include "programming/ChainDefinitionFile.h"
#include "sim/core/DesignFile.h"
#include "sim/standin/ProgrammerExitCodes.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>

using namespace qbv;
using qbv::test::StandinTest;
using testing::HasSubstr;

namespace {

struct Damage {
    const char* what;
    std::function<void(std::string&)> apply;
};

void replaceFirst(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

std::string deviceLine(const std::string& text) {
    const size_t start = text.find("\t\tDevice");
    return text.substr(start, text.find("\r\n", start) + 2 - start);
}

const std::vector<Damage>& chainDamages() {
    static const std::vector<Damage> damages = {
        {"a byte changed", [](std::string& t) { replaceFirst(t, "DefaultMfr(6E)", "DefaultMfr(6F)"); }},
        {"a missing CR", [](std::string& t) { replaceFirst(t, "JedecChain;\r\n", "JedecChain;\n"); }},
        {"LF line ends", [](std::string& t) { std::erase(t, '\r'); }},
        {"spaces for a tab", [](std::string& t) { replaceFirst(t, "\tChainType", "    ChainType"); }},
        {"a byte-order mark", [](std::string& t) { t.insert(0, "\xEF\xBB\xBF"); }},
        {"a trailing line end", [](std::string& t) { t += "\r\n"; }},
        {"a trailing NUL", [](std::string& t) { t.push_back('\0'); }},
        {"an end-of-file mark", [](std::string& t) { t.push_back('\x1A'); }},
        {"the last line end missing", [](std::string& t) { t.resize(t.size() - 2); }},
        {"another part name",
         [](std::string& t) { replaceFirst(t, "PartName(EPM2210GF324)", "PartName(EPM1270F256)"); }},
        {"another secondary device",
         [](std::string& t) { replaceFirst(t, "SEC_Device(EPM2210GF324)", "SEC_Device(EPM570F100)"); }},
        {"another action", [](std::string& t) { replaceFirst(t, "ActionCode(Cfg)", "ActionCode(Ers)"); }},
        {"another chain type", [](std::string& t) { replaceFirst(t, "ChainType(JTAG)", "ChainType(PS)"); }},
        {"a second device line",
         [](std::string& t) {
             replaceFirst(t, "\r\n\r\nChainEnd", "\r\n" + deviceLine(t) + "\r\nChainEnd");
         }},
        {"a backslash left in the path",
         [](std::string& t) { replaceFirst(t, "/\") File(", "\\\") File("); }},
        {"a path without its last separator",
         [](std::string& t) { replaceFirst(t, "/\") File(", "\") File("); }},
        {"the device line cut short",
         [](std::string& t) { replaceFirst(t, " Child_OpMask(2 1 1));", ");"); }},
        {"the banner changed", [](std::string& t) { replaceFirst(t, "Version 7.1", "Version 7.2"); }},
        {"an empty file", [](std::string& t) { t.clear(); }},
    };
    return damages;
}

} // namespace

TEST_F(StandinTest, RefusesEveryDamagedChainFileAndLeavesTheBoardBlank) {
    const std::string intact = test::readFile(chainFile());
    for (const Damage& damage : chainDamages()) {
        SCOPED_TRACE(damage.what);
        std::string bytes = intact;
        damage.apply(bytes);
        ASSERT_NE(bytes, intact);
        test::writeFile(chainFile(), bytes);
        std::string output;
        EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitBadChainFile) << output;
        EXPECT_THAT(output, HasSubstr("Error: Can't use the chain definition file"));
    }
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, RefusesAChainFileThatIsNotThere) {
    std::filesystem::remove(chainFile());
    EXPECT_EQ(test::runStandin(panelArguments()), standin::kExitBadChainFile);
    std::filesystem::create_directory(chainFile());
    EXPECT_EQ(test::runStandin(panelArguments()), standin::kExitBadChainFile);
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, RefusesAMissingOrDamagedDesignFileAndLeavesTheBoardBlank) {
    const std::string design = folder.file("QBV_Control_Panel.pof");
    ASSERT_TRUE(programming::WriteChainDefinitionFile(chainFile(), design));
    std::string output;
    EXPECT_EQ(test::runStandin(panelArguments(), &output), standin::kExitBadDesignFile) << "missing";
    EXPECT_THAT(output, HasSubstr("Error: Can't use the programming file"));

    std::filesystem::create_directory(design);
    EXPECT_EQ(test::runStandin(panelArguments()), standin::kExitBadDesignFile) << "a directory";
    std::filesystem::remove(design);

    const std::string intact = test::readFile(test::builtDesignFile());
    std::string otherDevice = intact.substr(0, intact.find("crc32 "));
    replaceFirst(otherDevice, "device EPM2210GF324", "device EPM1270F256");
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x",
                  sim::crc32(reinterpret_cast<const uint8_t*>(otherDevice.data()), otherDevice.size()));
    otherDevice += std::string("crc32 ") + crc + "\n";
    std::string flipped = intact;
    flipped[intact.find("data ") + 7] ^= 0x01; // a hex digit becomes another: the checksum no longer fits
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"a data digit changed", flipped},
        {"for another device", otherDevice},
        {"bytes after the checksum", intact + "x"},
        {"not a design file", "QBV design file 2\n"},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        test::writeFile(design, bytes);
        EXPECT_EQ(test::runStandin(panelArguments()), standin::kExitBadDesignFile);
    }
    EXPECT_FALSE(programmed());
}

TEST_F(StandinTest, RefusesCommandLinesOtherThanThePanels) {
    const std::string chain = chainFile();
    const std::vector<std::vector<std::string>> commandLines = {
        {},
        {chain},
        {"-c", "USB-Blaster[USB-0]"},
        {"-c"},
        {"-c", "USB-Blaster[USB-1]", chain},
        {"-c", "ByteBlasterMV[LPT1]", chain},
        {"-c", "USB-Blaster[USB-0]", chain, chain},
        {"-c", "USB-Blaster[USB-0]", "-c", "USB-Blaster[USB-0]", chain},
        {"-c", "USB-Blaster[USB-0]", "-m", "jtag", chain},
        {"-c", "USB-Blaster[USB-0]", ""},
        {"-c USB-Blaster[USB-0] \"" + chain + "\""},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        std::string output;
        EXPECT_EQ(test::runStandin(arguments, &output), standin::kExitUsage);
        EXPECT_THAT(output, HasSubstr("Usage: quartus_pgm -c USB-Blaster[USB-0]"));
    }
    EXPECT_FALSE(programmed());
}

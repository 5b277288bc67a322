#include "programming/ChainDefinitionFile.h"
#include "platform/ProgramLocation.h"
#include "tests/programming/ProgrammerTesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace qbv;
using programming::chainDefinitionText;
using programming::WriteChainDefinitionFile;

namespace {

// The file for C:\Tools\Panel\QBV_Control_Panel.pof.
const std::string kWorkedExample = test::handWrittenChainFile("C:/Tools/Panel/");

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string deviceValues(const std::string& directory, const std::string& file) {
    return "Path(\"" + directory + "\") File(\"" + file + "\")";
}

} // namespace

TEST(ChainDefinitionFile, WorkedExampleByteForByte) {
    const std::string text = chainDefinitionText("C:\\Tools\\Panel\\QBV_Control_Panel.pof");
    EXPECT_EQ(text, kWorkedExample);
    EXPECT_EQ(text.size(), 356u);

    test::TemporaryDirectory folder;
    const fs::path chainFile = folder.path() / "QBV_Control_Panel.cdf";
    ASSERT_TRUE(WriteChainDefinitionFile(chainFile.string(), "C:\\Tools\\Panel\\QBV_Control_Panel.pof"));
    EXPECT_EQ(fileBytes(chainFile), kWorkedExample); // no BOM, no end-of-file mark, CR LF kept
}

struct SplitExample {
    const char* designFile;
    const char* directory; // as it appears in Path
    const char* file;
};

void PrintTo(const SplitExample& example, std::ostream* out) {
    *out << example.designFile;
}

class ChainDefinitionSplit : public testing::TestWithParam<SplitExample> {};

TEST_P(ChainDefinitionSplit, DirectoryAndFileNameGoIntoTheDeviceLine) {
    const SplitExample& example = GetParam();
    const std::string text = chainDefinitionText(example.designFile);
    EXPECT_NE(text.find(deviceValues(example.directory, example.file)), std::string::npos) << text;
    EXPECT_EQ(text.size(), 320 + std::string(example.directory).size() + std::string(example.file).size());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChainDefinitionSplit,
    testing::Values(SplitExample{"C:\\Program Files\\Panel\\QBV_Control_Panel.pof", "C:/Program Files/Panel/",
                                 "QBV_Control_Panel.pof"},
                    SplitExample{"D:\\QBV_Control_Panel.pof", "D:/", "QBV_Control_Panel.pof"},
                    SplitExample{"D:QBV_Control_Panel.pof", "D:", "QBV_Control_Panel.pof"},
                    SplitExample{"\\\\server\\share\\Qbv_Control_Panel.POF", "//server/share/",
                                 "Qbv_Control_Panel.POF"},
                    SplitExample{"QBV_Control_Panel.pof", "", "QBV_Control_Panel.pof"}));

#ifndef _WIN32
TEST(ChainDefinitionFile, PosixPathsSplitAtTheSlash) {
    EXPECT_NE(chainDefinitionText("/opt/qbv panel/QBV_Control_Panel.pof")
                  .find(deviceValues("/opt/qbv panel/", "QBV_Control_Panel.pof")),
              std::string::npos);
}
#endif

TEST(ChainDefinitionFile, BackslashesToSlashesTouchesNothingElse) {
    std::string text = "\\a:\\b c\\\\/";
    programming::BackslashesToSlashes(text);
    EXPECT_EQ(text, "/a:/b c///");
}

TEST(ChainDefinitionFile, ReplacesALongerFileAndTwoRunsAreIdentical) {
    test::TemporaryDirectory folder;
    const fs::path chainFile = folder.path() / "QBV_Control_Panel.cdf";
    const std::string designFile = folder.directory() + "QBV_Control_Panel.pof";
    std::ofstream(chainFile, std::ios::binary) << std::string(2000, 'x');

    ASSERT_TRUE(WriteChainDefinitionFile(chainFile.string(), designFile));
    const std::string first = fileBytes(chainFile);
    EXPECT_EQ(first, chainDefinitionText(designFile));
    ASSERT_TRUE(WriteChainDefinitionFile(chainFile.string(), designFile));
    EXPECT_EQ(fileBytes(chainFile), first);

    // The directory as the job passes it (backslashes on Windows) is written with slashes.
    std::string directory = folder.directory();
    programming::BackslashesToSlashes(directory);
    EXPECT_NE(first.find(deviceValues(directory, "QBV_Control_Panel.pof")), std::string::npos) << first;
}

TEST(ChainDefinitionFile, FailsWhenTheFileCannotBeCreated) {
    test::TemporaryDirectory folder;
    EXPECT_FALSE(WriteChainDefinitionFile(
        folder.directory() + "missing" + platform::pathSeparator() + "x.cdf", "C:\\QBV_Control_Panel.pof"));
    // A directory at the path is neither deleted nor written into.
    fs::create_directory(folder.path() / "QBV_Control_Panel.cdf");
    EXPECT_FALSE(WriteChainDefinitionFile((folder.path() / "QBV_Control_Panel.cdf").string(), "C:\\x.pof"));
    EXPECT_TRUE(fs::is_directory(folder.path() / "QBV_Control_Panel.cdf"));
    // And the file written for it does not stay behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

#ifdef _WIN32
TEST(ChainDefinitionFile, FailsWhileAnotherProgramHoldsTheFile) {
    test::TemporaryDirectory folder;
    const std::string chainFile = folder.directory() + "QBV_Control_Panel.cdf";
    HANDLE held = CreateFileA(chainFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteChainDefinitionFile(chainFile, "C:\\x.pof"));
    CloseHandle(held);
    EXPECT_EQ(fs::file_size(chainFile), 0u);
}
#else
TEST(ChainDefinitionFile, ALinkPlantedAtThePathIsReplacedNotFollowed) {
    test::TemporaryDirectory folder;
    const fs::path victim = folder.path() / "victim.txt";
    const fs::path chainFile = folder.path() / "QBV_Control_Panel.cdf";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, chainFile);

    ASSERT_TRUE(WriteChainDefinitionFile(chainFile.string(), "C:\\QBV_Control_Panel.pof"));
    EXPECT_EQ(fileBytes(victim), "keep");
    EXPECT_FALSE(fs::is_symlink(chainFile));
    EXPECT_EQ(fileBytes(chainFile), chainDefinitionText("C:\\QBV_Control_Panel.pof"));
}
#endif

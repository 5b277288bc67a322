#include "programming/QuartusLocation.h"
#include "ProgrammerTesting.h"

#include <gtest/gtest.h>

using namespace qbv;
using programming::FindQuartusDirectory;

#ifdef _WIN32

TEST(FindQuartusDirectory, ReadsTheRegistryValueAsStored) {
    {
        test::RegisteredInstall plain("C:\\Program Files\\Vendor\\quartus");
        EXPECT_EQ(FindQuartusDirectory(), "C:\\Program Files\\Vendor\\quartus");
    }
    {
        test::RegisteredInstall expandable("%SystemRoot%\\quartus", "REG_EXPAND_SZ");
        EXPECT_EQ(FindQuartusDirectory(), "%SystemRoot%\\quartus");
    }
    {
        test::RegisteredInstall empty("");
        EXPECT_EQ(FindQuartusDirectory(), "");
    }
    {
        test::RegisteredInstall number("5", "REG_DWORD");
        EXPECT_EQ(FindQuartusDirectory(), "");
    }
}

TEST(FindQuartusDirectory, MissingKeyOrValueGivesNothingAndTheKeyIsNeverCreated) {
    test::forgetInstall();
    EXPECT_EQ(FindQuartusDirectory(), "");
    EXPECT_NE(test::runRegistryTool("query \"HKLM\\Software\\Altera Corporation\\Quartus\""), 0);

    ASSERT_EQ(test::runRegistryTool("add \"HKLM\\Software\\Altera Corporation\\Quartus\" /v Other /d x /f"),
              0);
    EXPECT_EQ(FindQuartusDirectory(), "");
    test::forgetInstall();
}

TEST(FindQuartusDirectory, ProgrammerLiesInTheBinFolder) {
    EXPECT_EQ(programming::programmerPath("C:\\Vendor\\quartus"),
              "C:\\Vendor\\quartus\\bin\\quartus_pgm.exe");
    EXPECT_EQ(programming::programmerPath("C:\\Vendor\\quartus\\"),
              "C:\\Vendor\\quartus\\\\bin\\quartus_pgm.exe");
}

#else

TEST(FindQuartusDirectory, ReadsTheToolChainsVariableAsSet) {
    {
        test::RegisteredInstall announced("/opt/intel fpga/quartus/");
        EXPECT_EQ(FindQuartusDirectory(), "/opt/intel fpga/quartus/");
    }
    EXPECT_EQ(FindQuartusDirectory(), "");
}

TEST(FindQuartusDirectory, ProgrammerLiesInTheBinFolder) {
    EXPECT_EQ(programming::programmerPath("/opt/quartus"), "/opt/quartus/bin/quartus_pgm");
}

#endif

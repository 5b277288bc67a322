#include "sim/core/DesignFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace qbv::sim;

namespace {

std::string withCrc(const std::string& body) {
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
    return body + "crc32 " + crc + "\n";
}

} // namespace

TEST(DesignFileTest, Crc32IsTheZlibOne) {
    const std::string check = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

TEST(DesignFileTest, WrittenFilesReadBack) {
    Design read;
    ASSERT_TRUE(readDesignFile(writeDesignFile(controllerDesign()), read));
    EXPECT_EQ(read.name, "QBV_Control_Panel");
    EXPECT_EQ(read.data, controllerDesign().data);
}

TEST(DesignFileTest, TheBuiltDesignFileIsIntact) {
    std::ifstream file(QBV_DESIGN_FILE, std::ios::binary);
    ASSERT_TRUE(file) << QBV_DESIGN_FILE;
    std::ostringstream content;
    content << file.rdbuf();
    Design read;
    EXPECT_TRUE(readDesignFile(content.str(), read));
    EXPECT_EQ(content.str(), writeDesignFile(controllerDesign()));
}

TEST(DesignFileTest, EveryChangedByteIsCaught) {
    const std::string good = writeDesignFile(controllerDesign());
    Design read;
    for (size_t at = 0; at < good.size(); ++at) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        ASSERT_FALSE(readDesignFile(damaged, read)) << "byte " << at;
    }
    EXPECT_FALSE(readDesignFile(good.substr(0, good.size() - 1), read));
    EXPECT_FALSE(readDesignFile(good + "\n", read));
    EXPECT_FALSE(readDesignFile("", read));
}

TEST(DesignFileTest, ASoundFileForAnotherDeviceOrOutOfShapeIsDamaged) {
    Design read;
    EXPECT_TRUE(
        readDesignFile(withCrc("QBV design file 1\ndevice EPM2210GF324\ndesign x\ndata 00ff\n"), read));
    EXPECT_FALSE(
        readDesignFile(withCrc("QBV design file 1\ndevice EPM570T100\ndesign x\ndata 00ff\n"), read));
    EXPECT_FALSE(
        readDesignFile(withCrc("QBV design file 2\ndevice EPM2210GF324\ndesign x\ndata 00ff\n"), read));
    EXPECT_FALSE(
        readDesignFile(withCrc("QBV design file 1\ndesign x\ndevice EPM2210GF324\ndata 00ff\n"), read));
    EXPECT_FALSE(
        readDesignFile(withCrc("QBV design file 1\ndevice EPM2210GF324\ndesign x\ndata 0f0\n"), read));
    EXPECT_FALSE(readDesignFile(withCrc("QBV design file 1\ndevice EPM2210GF324\ndesign x\ndata \n"), read));
    const std::string huge(70000, 'a');
    EXPECT_FALSE(readDesignFile(
        withCrc("QBV design file 1\ndevice EPM2210GF324\ndesign x\ndata " + huge + "\n"), read));
}

#include "ChainDefinitionFile.h"

#include "common/Format.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"

#include <algorithm>

namespace qbv::programming {

namespace {

constexpr const char* kLinesBeforeDevice =
    "/* Quartus II Version 7.1 Build 154 04/18/2007 SJ Web Edition */\r\n"
    "JedecChain;\r\n"
    "\tFileRevision(JESD32A);\r\n"
    "\tDefaultMfr(6E);\r\n"
    "\r\n"
    "\tP ActionCode(Cfg)\r\n";

constexpr const char* kDeviceLine =
    "\t\tDevice PartName(EPM2210GF324) Path(\"%s\") File(\"%s\") MfrSpec(OpMask(1) "
    "SEC_Device(EPM2210GF324) Child_OpMask(2 1 1));\r\n";

constexpr const char* kLinesAfterDevice = "\r\n"
                                          "ChainEnd;\r\n"
                                          "\r\n"
                                          "AlteraBegin;\r\n"
                                          "\tChainType(JTAG);\r\n"
                                          "AlteraEnd;\r\n";

// Everything up to and including the last separator is the directory. Backslash and colon separate on
// every system (the paths the job passes on Windows), and the system's own separator too.
size_t directoryLength(const std::string& path) {
    const std::string separators = std::string("\\:") + platform::pathSeparator();
    const size_t last = path.find_last_of(separators);
    return last == std::string::npos ? 0 : last + 1;
}

} // namespace

void BackslashesToSlashes(std::string& text) {
    std::replace(text.begin(), text.end(), '\\', '/');
}

std::string chainDefinitionText(const std::string& designFilePath) {
    const size_t split = directoryLength(designFilePath);
    const std::string directory = designFilePath.substr(0, split);
    const std::string fileName = designFilePath.substr(split);
    std::string deviceLine = formatText(kDeviceLine, directory.c_str(), fileName.c_str());
    BackslashesToSlashes(deviceLine);
    return kLinesBeforeDevice + deviceLine + kLinesAfterDevice;
}

// The file is written whole under a name of this process's own and then put in place in one step: a
// programmer that another panel started from the same folder reads the file before or after, never a part.
bool WriteChainDefinitionFile(const std::string& chainFilePath, const std::string& designFilePath) {
    const std::string draft = chainFilePath + formatText(".%lu.part", platform::currentProcessId());
    platform::deleteFile(draft); // there may be nothing to delete; creation decides
    platform::ExclusiveFile file;
    if (!file.create(draft))
        return false;
    const bool written = file.write(chainDefinitionText(designFilePath));
    if (file.close() && written && platform::replaceFile(draft, chainFilePath))
        return true;
    platform::deleteFile(draft);
    return false;
}

} // namespace qbv::programming

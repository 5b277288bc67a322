#include "ChainFileCheck.h"

#include "SmallFile.h"
#include "platform/ProgramLocation.h"
#include "programming/ChainDefinitionFile.h"

#include <algorithm>
#include <string_view>

namespace qbv::standin {

namespace {

// The panel's own text with markers where the two values go, cut at the markers: everything before the
// directory, between the directory and the file name, and after the file name. Taking the pieces from the
// writer itself keeps this check and the panel in step; the stand-in's tests pin the bytes on their own.
struct ChainTemplate {
    std::string beforePath;
    std::string betweenValues;
    std::string afterFile;
};

ChainTemplate chainTemplate() {
    const std::string text =
        programming::chainDefinitionText(std::string("\x01") + platform::pathSeparator() + "\x02");
    const size_t path = text.find("\x01/");
    const size_t file = text.find('\x02');
    return {text.substr(0, path), text.substr(path + 2, file - path - 2), text.substr(file + 1)};
}

// Splits the text between the fixed pieces into the Path and File values; a file name never holds a
// separator, so the last "between" piece is the one.
bool splitValues(std::string_view values, const std::string& between, std::string& path, std::string& file) {
    const size_t at = values.rfind(between);
    if (at == std::string_view::npos)
        return false;
    path = values.substr(0, at);
    file = values.substr(at + between.size());
    return true;
}

// A double quote or a line break inside a value would make the file read two ways: a second device line
// can pass for part of a directory's name.
bool valueReadsOneWay(const std::string& value) {
    return value.find_first_of("\"\r\n") == std::string::npos;
}

} // namespace

bool checkChainText(const std::string& content, std::string& designFilePath, std::string& error) {
    static const ChainTemplate pieces = chainTemplate();
    const std::string_view text(content);
    std::string path, file;
    if (text.size() < pieces.beforePath.size() + pieces.afterFile.size() ||
        !text.starts_with(pieces.beforePath) || !text.ends_with(pieces.afterFile) ||
        !splitValues(text.substr(pieces.beforePath.size(),
                                 text.size() - pieces.beforePath.size() - pieces.afterFile.size()),
                     pieces.betweenValues, path, file)) {
        error = "not a chain of one EPM2210GF324 configured over JTAG from one design file";
        return false;
    }
    if (!valueReadsOneWay(path) || !valueReadsOneWay(file)) {
        error = "the device's Path or File value holds a double quote or a line break";
        return false;
    }
    // The panel wrote the directory with the system's separators, which the file shows as slashes.
    std::string written = path;
    std::replace(written.begin(), written.end(), '/', platform::pathSeparator());
    if (programming::chainDefinitionText(written + file) != content) {
        error = "the device's Path(\"" + path + "\") and File(\"" + file + "\") do not name one design file";
        return false;
    }
    designFilePath = path + file;
    return true;
}

bool checkChainFile(const std::string& chainFilePath, std::string& designFilePath, std::string& error) {
    std::string content;
    if (!readSmallFile(chainFilePath, kMaxChainFileSize, content, error))
        return false;
    if (!checkChainText(content, designFilePath, error)) {
        error = "chain definition file " + chainFilePath + ": " + error;
        return false;
    }
    return true;
}

} // namespace qbv::standin

#include "ConsoleUiHost.h"

namespace qbv::cli {

ConsoleUiHost::ConsoleUiHost(Reporter& reporter) : reporter_(reporter) {
    setUiHost(this);
}

ConsoleUiHost::~ConsoleUiHost() {
    setUiHost(nullptr);
}

BoxAnswer ConsoleUiHost::messageBox(BoxKind kind, const std::string& text, BoxButtons buttons) {
    if (beforeBox_)
        beforeBox_();
    reporter_.console().err << boxTitle(kind) << ": " << text << std::endl;
    reporter_.noteMessage(text);
    return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
}

void ConsoleUiHost::processMessages() {
    if (onProcess_)
        onProcess_();
}

} // namespace qbv::cli

#include "UiHost.h"

#include <cstdio>

namespace qbv {

namespace {

class ConsoleHost final : public UiHost {
public:
    BoxAnswer messageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", boxTitle(kind), text.c_str());
        return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
    }
    void processMessages() override {}
};

UiHost* installedHost = nullptr;

} // namespace

UiHost& uiHost() {
    static ConsoleHost console;
    return installedHost ? *installedHost : console;
}

void setUiHost(UiHost* host) {
    installedHost = host;
}

const char* boxTitle(BoxKind kind) {
    switch (kind) {
    case BoxKind::Error:
        return "Error";
    case BoxKind::Warning:
        return "Warning";
    case BoxKind::Information:
        return "Information";
    }
    return "";
}

} // namespace qbv

#pragma once

#include "Output.h"
#include "platform/UiHost.h"

#include <functional>

namespace qbv::cli {

// The core's message boxes and message handling, without a window: a box becomes a line on standard
// error (and a message in the JSON failure), a question is answered No since nobody is there to answer,
// and "handle messages" runs whatever the command wants done while the core waits. Installed for as long
// as it lives.
class ConsoleUiHost final : public UiHost {
public:
    explicit ConsoleUiHost(Reporter& reporter);
    ~ConsoleUiHost() override;
    ConsoleUiHost(const ConsoleUiHost&) = delete;
    ConsoleUiHost& operator=(const ConsoleUiHost&) = delete;

    BoxAnswer messageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override;
    void processMessages() override;

    void setOnProcess(std::function<void()> onProcess) { onProcess_ = std::move(onProcess); }
    // Runs before a box is written, so a progress line can end first.
    void setBeforeBox(std::function<void()> beforeBox) { beforeBox_ = std::move(beforeBox); }

private:
    Reporter& reporter_;
    std::function<void()> onProcess_;
    std::function<void()> beforeBox_;
};

} // namespace qbv::cli

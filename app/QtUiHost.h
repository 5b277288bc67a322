#pragma once

#include "platform/UiHost.h"

class QWidget;

// The window's side of the core's seam: real modal boxes titled after their kind, and Qt's event loop.
class QtUiHost final : public qbv::UiHost {
public:
    qbv::BoxAnswer messageBox(qbv::BoxKind kind, const std::string& text, qbv::BoxButtons buttons) override;
    void processMessages() override;
};

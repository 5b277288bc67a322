#pragma once

#include "common/Messages.h"

#include <QString>

class QWidget;

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// How the window asks and tells the user: modal boxes titled after their kind. The window shows its own
// real ones unless it is handed others (a test's user at the boxes).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns the button the user chose. The detail, when there is one, says why beneath the text.
    virtual BoxAnswer show(qbv::MessageKind kind, const QString& text, BoxButtons buttons,
                           const QString& detail = {}) = 0;
};

// Real modal boxes over a window, answered under the normal arrow even while the hourglass is up.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    BoxAnswer show(qbv::MessageKind kind, const QString& text, BoxButtons buttons,
                   const QString& detail = {}) override;

private:
    QWidget* parent_;
};

#pragma once

#include "common/Messages.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// How the window asks and tells the user: boxes titled after their kind, modal to the window, opened
// without waiting for them. The window shows its own real ones unless it is handed others (a test's user
// at the boxes).
class MessageBoxes {
public:
    using Answered = std::function<void(BoxAnswer)>;
    virtual ~MessageBoxes() = default;
    // Opens the box and returns; answered, when given, hears the button the user chose once the box
    // closes. The detail, when there is one, says why beneath the text.
    virtual void open(qbv::MessageKind kind, const QString& text, BoxButtons buttons, const QString& detail,
                      Answered answered) = 0;
    // Closes every box that is up, unanswered: none of them hears a button.
    virtual void dismiss() = 0;
};

// Real boxes over a window.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void open(qbv::MessageKind kind, const QString& text, BoxButtons buttons, const QString& detail,
              Answered answered) override;
    void dismiss() override;

private:
    QWidget* parent_;
    QList<QPointer<QMessageBox>> up_;
};

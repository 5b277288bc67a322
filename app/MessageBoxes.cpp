#include "app/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(qbv::MessageKind kind) {
    switch (kind) {
    case qbv::MessageKind::Error:
        return QMessageBox::Critical;
    case qbv::MessageKind::Warning:
        return QMessageBox::Warning;
    case qbv::MessageKind::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

} // namespace

BoxAnswer QtMessageBoxes::show(qbv::MessageKind kind, const QString& text, BoxButtons buttons,
                               const QString& detail) {
    const bool question = buttons == BoxButtons::YesNo;
    QMessageBox box(iconOf(kind), QString::fromLatin1(qbv::messageTitle(kind)), text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_);
    box.setInformativeText(detail);
    // The user reads and answers a box with the normal arrow, even when it comes up in the middle of
    // work under the hourglass; the hourglass returns once the box is closed.
    const bool overBusyCursor = QApplication::overrideCursor() != nullptr;
    if (overBusyCursor)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (overBusyCursor)
        QApplication::restoreOverrideCursor();
    if (!question)
        return BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

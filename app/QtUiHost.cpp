#include "app/QtUiHost.h"

#include "app/UnitMain.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(qbv::BoxKind kind) {
    switch (kind) {
    case qbv::BoxKind::Error:
        return QMessageBox::Critical;
    case qbv::BoxKind::Warning:
        return QMessageBox::Warning;
    case qbv::BoxKind::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

} // namespace

qbv::BoxAnswer QtUiHost::messageBox(qbv::BoxKind kind, const std::string& text, qbv::BoxButtons buttons) {
    const bool question = buttons == qbv::BoxButtons::YesNo;
    QMessageBox box(iconOf(kind), QString::fromLatin1(qbv::boxTitle(kind)), QString::fromLocal8Bit(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, FormMain);
    // The user reads and answers a box with the normal arrow, even when it comes up in the middle of
    // work under the hourglass; the hourglass returns once the box is closed.
    const bool overBusyCursor = QApplication::overrideCursor() != nullptr;
    if (overBusyCursor)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (overBusyCursor)
        QApplication::restoreOverrideCursor();
    if (!question)
        return qbv::BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? qbv::BoxAnswer::Yes : qbv::BoxAnswer::No;
}

void QtUiHost::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

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
    const int answer = box.exec();
    if (!question)
        return qbv::BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? qbv::BoxAnswer::Yes : qbv::BoxAnswer::No;
}

void QtUiHost::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

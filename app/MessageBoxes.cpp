#include "app/MessageBoxes.h"

#include <QMessageBox>

#include <utility>

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

void QtMessageBoxes::open(qbv::MessageKind kind, const QString& text, BoxButtons buttons,
                          const QString& detail, Answered answered) {
    const bool question = buttons == BoxButtons::YesNo;
    auto* box = new QMessageBox(iconOf(kind), QString::fromLatin1(qbv::messageTitle(kind)), text,
                                question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(detail);
    QObject::connect(box, &QMessageBox::finished, box, [question, answered](int result) {
        if (answered)
            answered(!question ? BoxAnswer::Ok : result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No);
    });
    up_.append(box);
    box->open();
}

void QtMessageBoxes::dismiss() {
    for (const QPointer<QMessageBox>& box : std::exchange(up_, {}))
        if (box) {
            QObject::disconnect(box, &QMessageBox::finished, nullptr, nullptr);
            box->close();
        }
}

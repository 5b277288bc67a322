#include "app/TApplication.h"

#include "app/MessageBoxes.h"
#include "app/UnitMain.h"

#include <exception>

namespace {

void showError(const QString& text) {
    if (FormMain)
        FormMain->OpenBox(qbv::MessageKind::Error, text, BoxButtons::Ok);
    else
        QtMessageBoxes().open(qbv::MessageKind::Error, text, BoxButtons::Ok, {}, {});
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(QString::fromUtf8(error.what()));
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
    return false;
}

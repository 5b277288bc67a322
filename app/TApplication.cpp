#include "app/TApplication.h"

#include "platform/UiHost.h"

#include <exception>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        qbv::uiHost().messageBox(qbv::BoxKind::Error, error.what(), qbv::BoxButtons::Ok);
    } catch (...) {
        qbv::uiHost().messageBox(qbv::BoxKind::Error, "Unknown error", qbv::BoxButtons::Ok);
    }
    return false;
}

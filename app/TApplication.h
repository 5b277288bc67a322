#pragma once

#include <QApplication>

// The application object: an exception that escapes any event handler is shown in a box and the message
// loop goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

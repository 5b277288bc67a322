#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "platform/ChildProcess.h"

#include <QIcon>

int main(int argc, char* argv[]) {
    qbv::platform::keepChildExitCodes();
    TApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/artwork/icon.png")));
    TFormMain window;
    window.show();
    return application.exec();
}

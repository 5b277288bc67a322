#include "app/QtUiHost.h"
#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "platform/ChildProcess.h"

#include <QIcon>

int main(int argc, char* argv[]) {
    qbv::platform::keepChildExitCodes();
    TApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/artwork/icon.png")));
    QtUiHost host;
    qbv::setUiHost(&host);
    int result = 0;
    {
        TFormMain window;
        window.show();
        result = application.exec();
    }
    qbv::setUiHost(nullptr);
    return result == 0 ? 0 : result;
}

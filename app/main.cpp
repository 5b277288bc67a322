#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "platform/ChildProcess.h"
#include "platform/MessagePump.h"
#include "resources/Artwork.h"

#include <QIcon>

int main(int argc, char* argv[]) {
    qbv::platform::keepChildExitCodes();
    TApplication application(argc, argv);
    // A wait asked to handle the window's messages handles Qt's.
    qbv::platform::setMessagePump([] { QCoreApplication::processEvents(); });
    application.setWindowIcon(QIcon(QString::fromLatin1(qbv::artwork::kIconPng)));
    TFormMain window;
    window.show();
    return application.exec();
}

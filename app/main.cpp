#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "platform/ChildProcess.h"
#include "resources/Artwork.h"

#include <QIcon>

int main(int argc, char* argv[]) {
    qbv::platform::keepChildExitCodes();
    TApplication application(argc, argv);
    application.setWindowIcon(QIcon(QString::fromLatin1(qbv::artwork::kIconPng)));
    TFormMain window;
    window.show();
    return application.exec();
}

// qbv-virtual-board: a QB-vela board in a process of its own, reached through our alt_jtaglib.
//
//   qbv-virtual-board [--headless] [--name NAME] [--blank] [--unplugged]
//
// The name defaults to QBV_VIRTUAL_BOARD, else the user's default; see sim/core/WireProtocol.h.

#include "BoardService.h"
#include "BoardWindow.h"
#include "QuitOnSignal.h"

#include "sim/core/SocketPath.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool headlessRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    return false;
}

struct Options {
    std::string name;
    bool blank = false;
    bool unplugged = false;
};

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A virtual QB-vela board for the control panel."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("headless"), QStringLiteral("Run without a window.")});
    parser.addOption(
        {QStringLiteral("name"), QStringLiteral("The board's socket name."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("blank"), QStringLiteral("Start with a blank controller.")});
    parser.addOption({QStringLiteral("unplugged"), QStringLiteral("Start with the cable unplugged.")});
    parser.process(app);
    Options options;
    options.name = parser.isSet(QStringLiteral("name")) ? parser.value(QStringLiteral("name")).toStdString()
                                                        : qbv::sim::boardNameFromEnvironment();
    options.blank = parser.isSet(QStringLiteral("blank"));
    options.unplugged = parser.isSet(QStringLiteral("unplugged"));
    return options;
}

int serve(QCoreApplication& app, bool withWindow) {
    const Options options = parseOptions(app);
    BoardService service;
    if (options.blank)
        service.erase();
    service.setPlugged(!options.unplugged);
    QString error;
    if (!service.listen(options.name, error)) {
        std::fprintf(stderr, "qbv-virtual-board: %s\n", qPrintable(error));
        return 1;
    }
    QObject::connect(&service, &BoardService::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    quitApplicationOnSignals();
    std::unique_ptr<BoardWindow> window;
    if (withWindow) {
        window = std::make_unique<BoardWindow>(service);
        window->show();
    }
    std::printf("qbv-virtual-board: serving %s\n", qPrintable(service.linkPath()));
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (headlessRequested(argc, argv)) {
        QCoreApplication app(argc, argv);
        return serve(app, false);
    }
    QApplication app(argc, argv);
    return serve(app, true);
}

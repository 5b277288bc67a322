// qbv-virtual-board: a QB-vela board in a process of its own, reached through our alt_jtaglib.
//
//   qbv-virtual-board [--headless] [--name NAME] [--blank] [--unplugged] [--beside-panel]
//   qbv-virtual-board --help | --version
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
#include <memory>
#include <optional>

namespace {

constexpr const char* kOpenWithinOption = "open-link-within-ms";
constexpr const char* kLinkIdleOption = "link-idle-ms";

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("A virtual QB-vela board for the control panel."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("headless"), QStringLiteral("Run without a window.")});
    parser.addOption(
        {QStringLiteral("name"), QStringLiteral("The board's socket name."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("blank"), QStringLiteral("Start with a blank controller.")});
    parser.addOption({QStringLiteral("unplugged"), QStringLiteral("Start with the cable unplugged.")});
    parser.addOption(
        {QStringLiteral("beside-panel"),
         QStringLiteral("Place the window left of the panel's, smaller where the screen is narrow.")});
    // For tests, which cannot wait as long as the limits a user gets.
    for (const char* limit : {kOpenWithinOption, kLinkIdleOption}) {
        QCommandLineOption option(QString::fromLatin1(limit), QString(), QStringLiteral("MS"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Read before any application object is made: a QApplication aborts where there is no display, and help
// and the version need none. A command line that does not parse here may hold QApplication's own options
// (-platform, -style, ...), which it takes out before ours are read.
bool windowWanted(QCommandLineParser& parser, int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments))
        return true;
    for (const char* option : {"headless", "help", "help-all", "version"})
        if (parser.isSet(QString::fromLatin1(option)))
            return false;
    return true;
}

struct Options {
    std::string name;
    bool blank = false;
    bool unplugged = false;
    bool besidePanel = false;
    LinkIdleLimits idleLimits;
};

// Reads the option's milliseconds into value when it is given; false when they are not a number above 0.
bool milliseconds(const QCommandLineParser& parser, const char* option, int& value) {
    const QString name = QString::fromLatin1(option);
    if (!parser.isSet(name))
        return true;
    bool number = false;
    value = parser.value(name).toInt(&number);
    if (number && value > 0)
        return true;
    std::fprintf(stderr, "qbv-virtual-board: --%s wants a number of milliseconds above 0\n", option);
    return false;
}

// Help, the version and a mistaken command line are answered here, and end the program; wrong limits
// give no options.
std::optional<Options> parseOptions(QCommandLineParser& parser, const QCoreApplication& app) {
    parser.process(app);
    Options options;
    options.name = parser.isSet(QStringLiteral("name")) ? parser.value(QStringLiteral("name")).toStdString()
                                                        : qbv::sim::boardNameFromEnvironment();
    options.blank = parser.isSet(QStringLiteral("blank"));
    options.unplugged = parser.isSet(QStringLiteral("unplugged"));
    options.besidePanel = parser.isSet(QStringLiteral("beside-panel"));
    if (!milliseconds(parser, kOpenWithinOption, options.idleLimits.openWithinMs) ||
        !milliseconds(parser, kLinkIdleOption, options.idleLimits.linkIdleMs))
        return std::nullopt;
    return options;
}

int serve(QCoreApplication& app, QCommandLineParser& parser, bool withWindow) {
    const std::optional<Options> parsed = parseOptions(parser, app);
    if (!parsed)
        return 2;
    const Options& options = *parsed;
    BoardService service;
    service.setIdleLimits(options.idleLimits);
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
        if (options.besidePanel)
            window->placeBesidePanel();
        window->show();
    }
    std::printf("qbv-virtual-board: serving %s\n", qPrintable(service.linkPath()));
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationVersion(QStringLiteral(QBV_VERSION));
    QCommandLineParser parser;
    describeOptions(parser);
    if (!windowWanted(parser, argc, argv)) {
        QCoreApplication app(argc, argv);
        return serve(app, parser, false);
    }
    QApplication app(argc, argv);
    return serve(app, parser, true);
}

// What the real-window test needs to know of the panel's window, asked under the same Wine prefix and
// display as the panel: where its controls lie (client coordinates, from the layout table the window is
// built from) and which font the window's buttons really get from the system's font list.

#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "resources/BoardLayout.h"
#include "widgets/TSpeedButton.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <cstdio>

namespace {

void printCentre(const char* name, const qbv::layout::Rect& rect) {
    std::printf("%s %d %d\n", name, rect.left + rect.width / 2, rect.top + rect.height / 2);
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace qbv::layout;
    printCentre("led0", placedLedButtons()[0]);
    printCentre("download", component(SpeedButtonDownload).rect);
    printCentre("altera", component(SpeedButtonAltera).rect);
    printCentre("marovan", component(SpeedButtonMarovan).rect);
    printCentre("exit", component(SpeedButtonExit).rect);
    printCentre("connect", component(SpeedButtonConnect).rect);

    // The window is made, not shown: its boot timer, which would open the board link, starts at first show.
    TApplication application(argc, argv);
    TFormMain window;
    const QFont font = window.SpeedButtonDownload->font();
    const QFontInfo info(font);
    // Laid out like Liberation Serif, Times New Roman's metric twin, or not: the face a font name stands
    // for does not show in its name.
    QFont twin = font;
    twin.setFamily(QStringLiteral("Liberation Serif"));
    const QFontMetrics asked(font);
    const QFontMetrics liberation(twin);
    const QString sample = QStringLiteral("Download .POF Connect Exit 0123456789");
    const bool sameMetrics = asked.horizontalAdvance(sample) == liberation.horizontalAdvance(sample) &&
                             asked.ascent() == liberation.ascent() && asked.descent() == liberation.descent();
    std::printf("font %s|%d|%s|%s\n", qPrintable(info.family()), info.pixelSize(),
                info.bold() ? "bold" : "regular", sameMetrics ? "Liberation Serif metrics" : "other metrics");
    std::fflush(stdout);
    return 0;
}

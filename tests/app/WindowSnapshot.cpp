// Renders the window offscreen to a PNG, so anyone can look at it without a display:
//   qbv_window_snapshot OUT.png            the window right after start-up, connected
//   qbv_window_snapshot OUT.png --demo     with a few LEDs and pins switched on and two keys pressed
// It runs over the fake JTAG library, which answers like a board that has just been programmed.

#include "app/TApplication.h"
#include "app/UnitMain.h"
#include "tests/support/FakeJtag.h"
#include "widgets/TSpeedButton.h"

#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

namespace {

TSpeedButton* ioButton(TFormMain& form, const QString& name) {
    return form.findChild<TSpeedButton*>(name);
}

void clickOn(TFormMain& form, QWidget* widget) {
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, widget->geometry().center());
}

void waitForConnection(TFormMain& form) {
    QElapsedTimer timer;
    timer.start();
    while (!ioButton(form, QStringLiteral("SpeedButtonLed0"))->isVisible() && timer.elapsed() < 10000)
        QTest::qWait(10);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [--demo]\n", argv[0]);
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    qbv::test::FakeJtag fake;
    fake.answerKeyReads(0x00);
    qbv::test::FakeLibraryDirectory library;
    const bool demo = argc > 2 && QByteArray(argv[2]) == "--demo";
    int result = 0;
    {
        TFormMain form(library.directory());
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            std::fprintf(stderr, "the window was never shown\n");
            return 1;
        }
        waitForConnection(form);
        if (demo) {
            for (int led : {0, 2, 3, 6})
                clickOn(form, ioButton(form, QStringLiteral("SpeedButtonLed%1").arg(led)));
            for (int pin : {0, 1, 5, 18, 40, 41, 60, 70, 87})
                clickOn(form, ioButton(form, QStringLiteral("SpeedButtonPio%1").arg(pin)));
            fake.answerKeyReads(0x05);
            QTest::qWait(100);
            QTest::mouseMove(form.windowHandle(), form.SpeedButtonDownload->geometry().center());
        }
        QTest::qWait(50);
        result = form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    }
    return result;
}

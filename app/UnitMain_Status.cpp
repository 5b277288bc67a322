// The status line (message, hint, progress bar) and the time-driven progress run.

#include "app/UnitMain.h"

#include "platform/Clock.h"
#include "resources/LayoutQt.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

using namespace qbv::colour;
using qbv::layout::toQColor;

void TFormMain::ShowStatus(const QString& text, Colour colour) {
    FStatusColour = colour;
    StatusBar->setPanelText(0, text);
    // Painted at once: what follows may block the window for seconds (a board command, the library's
    // load), and the user must read what it is doing meanwhile.
    StatusBar->repaint(StatusBar->panelRect(0));
}

void TFormMain::ShowHint(const QString& text, Colour colour) {
    FHintColour = colour;
    StatusBar->setPanelText(1, text);
    StatusBar->update(StatusBar->panelRect(1));
}

void TFormMain::ShowProgress(int percent) {
    StatusBar->setPanelText(2, QString::number(percent));
}

void TFormMain::StartProgressRun(uint32_t durationMs) {
    FProgressDuration = durationMs;
    FProgressStart = qbv::platform::tickCount();
    FLastPercentage = -1;
}

void TFormMain::EndProgressRun() {
    TimerProgress->SetEnabled(false);
    ShowProgress(0);
}

void TFormMain::TimerProgressTimer(QObject*) {
    // Unsigned 32-bit throughout, so a run survives the tick counter's wrap.
    uint32_t percent = qbv::platform::elapsedSince(FProgressStart) * 100u / FProgressDuration;
    if (percent > 100)
        percent = 100;
    if (static_cast<int32_t>(percent) > FLastPercentage) {
        ShowProgress(static_cast<int>(percent));
        FLastPercentage = static_cast<int32_t>(percent);
    }
}

void TFormMain::StatusBarDrawPanel(TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect) {
    const QString text = bar->panelText(panel);
    if (panel == 2) {
        TStatusBar::drawProgressPanel(canvas, rect, text);
        return;
    }
    canvas.setPen(toQColor(panel == 0 ? FStatusColour : FHintColour));
    canvas.drawText(rect.left(), rect.top() + canvas.fontMetrics().ascent(), text);
}

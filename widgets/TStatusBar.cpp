#include "widgets/TStatusBar.h"

#include "common/Colours.h"
#include "resources/LayoutQt.h"
#include "widgets/AccessibleFace.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// A screen reader reads the bar as a status bar named by its message, the first panel's text.
class AccessibleStatusBar : public QAccessibleWidget {
public:
    explicit AccessibleStatusBar(TStatusBar* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text kind) const override {
        const auto* bar = static_cast<const TStatusBar*>(widget());
        if (kind == QAccessible::Name && bar->panelCount() > 0)
            return bar->panelText(0);
        return QAccessibleWidget::text(kind);
    }
};

} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    readAs<TStatusBar, AccessibleStatusBar>();
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    // The system's tooltip font in the button-text colour, not the window's font.
    setFont(QToolTip::font());
    if (parent)
        parent->installEventFilter(this);
}

void TStatusBar::addPanel(int width, const QString& text) {
    panels_.push_back({width, text});
    update();
}

void TStatusBar::setPanelText(int index, const QString& text) {
    Panel& panel = panels_.at(index);
    if (panel.text == text)
        return;
    panel.text = text;
    update(panelRect(index).adjusted(-1, -1, 1, 1));
    // A new message is announced.
    if (index == 0) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QRect TStatusBar::panelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_[i].width;
    const bool last = index == panelCount() - 1;
    const int right = last ? width() : left + panels_[index].width;
    // Inside the panel's one-pixel lowered bevel.
    return QRect(QPoint(left + 1, 1), QPoint(right - 2, height() - 2));
}

void TStatusBar::dock() {
    if (QWidget* parent = parentWidget())
        setGeometry(0, parent->height() - kHeight, parent->width(), kHeight);
}

bool TStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        dock();
    return QWidget::eventFilter(watched, event);
}

// A panel's text that does not fit shows whole as a tooltip over that panel.
bool TStatusBar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int i = 0; i < panelCount(); ++i) {
        const QRect panel = panelRect(i);
        if (!panel.contains(help->pos()))
            continue;
        if (fontMetrics().horizontalAdvance(panels_[i].text) > panel.width()) {
            QToolTip::showText(help->globalPos(), panels_[i].text, this, panel);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = QApplication::palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));
    for (int i = 0; i < panelCount(); ++i) {
        const QRect inner = panelRect(i);
        const QRect bevel = inner.adjusted(-1, -1, 1, 1);
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawLine(bevel.topLeft(), bevel.topRight());
        painter.drawLine(bevel.topLeft(), bevel.bottomLeft());
        painter.setPen(colours.color(QPalette::Light));
        painter.drawLine(bevel.bottomLeft(), bevel.bottomRight());
        painter.drawLine(bevel.topRight(), bevel.bottomRight());
        painter.save();
        painter.setClipRect(inner);
        painter.setFont(font());
        painter.setPen(colours.color(QPalette::ButtonText));
        emit drawPanel(this, i, painter, inner);
        painter.restore();
    }
}

// A blue bar over the elapsed share, its percentage centred on the whole panel: white on the bar, blue
// beside it. A text that is no number, or 0, draws nothing.
using namespace qbv::colour;
using qbv::layout::toQColor;

void TStatusBar::drawProgressPanel(QPainter& canvas, const QRect& rect, const QString& text) {
    bool isNumber = false;
    const int percent = text.toInt(&isNumber);
    if (!isNumber || percent == 0)
        return;
    const QString label = text + QLatin1Char('%');
    const int left = rect.left();
    const int right = rect.right() + 1; // exclusive
    const int top = rect.top();
    const int bottom = rect.bottom() + 1;
    const int split = left + (right - left) * percent / 100;
    const QFontMetrics metrics = canvas.fontMetrics();
    const int x = left + (right - left - metrics.horizontalAdvance(label)) / 2;
    const int y = top + (bottom - top - metrics.height()) / 2;
    const QRect filled(QPoint(left, top), QPoint(split - 1, bottom - 1));
    const QRect empty(QPoint(split, top), QPoint(right - 1, bottom - 1));
    const auto drawPart = [&](const QRect& part, Colour font, Colour brush) {
        if (part.isEmpty())
            return;
        canvas.save();
        canvas.setClipRect(part, Qt::IntersectClip);
        canvas.fillRect(part, toQColor(brush));
        canvas.setPen(toQColor(font));
        canvas.drawText(x, y + metrics.ascent(), label);
        canvas.restore();
    };
    drawPart(filled, kWhite, kBlue);
    drawPart(empty, kBlue, kWhite);
}

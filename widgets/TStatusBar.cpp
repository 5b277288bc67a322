#include "widgets/TStatusBar.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
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

#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

// A status bar docked to the bottom edge of its window across the whole width, divided into owner-drawn
// panels: each panel starts at the running sum of the widths before it and the last one reaches the
// right edge. No size grip. It draws its background and bevels; the panels' contents are drawn by
// whoever handles drawPanel. Screen readers read it as a status bar named by the first panel's text.
class TStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 19;

    struct Panel {
        int width = 0;
        QString text;
    };

    explicit TStatusBar(QWidget* parent);

    void addPanel(int width, const QString& text);
    // How a panel that holds a percentage draws it, for its owner's drawing routine.
    static void drawProgressPanel(QPainter& canvas, const QRect& rect, const QString& text);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int index) const { return panels_.at(index).text; }
    void setPanelText(int index, const QString& text);

    // The rectangle a panel's contents are drawn in, in the bar's coordinates.
    QRect panelRect(int index) const;

    // Follows the parent's client area: the bottom kHeight pixels across its whole width.
    void dock();

signals:
    void drawPanel(TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<Panel> panels_;
};

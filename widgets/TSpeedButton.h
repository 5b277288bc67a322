#pragma once

#include "widgets/ReportsMouseMoves.h"

#include <QAbstractButton>
#include <QImage>
#include <functional>

// A flat speed button: no face or border of its own, so the picture below shows around its glyph. The
// glyph is a strip of one to four equal frames, shown by state: 0 up, 1 disabled, 2 held pressed while
// up, 3 latched down. As a latching toggle (AllowAllUp with a group of its own) a click flips it before
// its click handler runs, and a release outside flips nothing. It takes the keyboard focus only when the
// window makes it reachable (KeyboardReach), and then shows a ring.
class TSpeedButton : public ReportsMouseMoves<QAbstractButton, TSpeedButton> {
    Q_OBJECT
public:
    enum Frame { FrameUp = 0, FrameDisabled = 1, FramePressed = 2, FrameDown = 3 };

    explicit TSpeedButton(QWidget* parent);

    void setGlyph(const QImage& strip, int frameCount);
    // The strip drawn each time it is needed, to be shown or looked at, and not kept: a window does not wait
    // at its start for the glyphs of controls it does not show yet, and does not hold every button's four
    // frames (a megabyte for the board's 96) to show one of them now and then.
    void setGlyph(std::function<QImage()> draw, int frameCount);
    QImage glyph() const;
    int numGlyphs() const { return frameCount_; }

    // A group index other than 0 with AllowAllUp makes the button an independent latching toggle.
    void setGroupIndex(int groupIndex);
    int groupIndex() const { return groupIndex_; }
    void setAllowAllUp(bool allowAllUp);
    bool allowAllUp() const { return allowAllUp_; }

    // Latched down (Qt's isDown() is the mouse holding it pressed).
    bool Down() const { return isChecked(); }
    void SetDown(bool down) { setChecked(down); }

    // The frame the button shows in its present state.
    int currentFrame() const;

    QSize sizeHint() const override { return size(); }

signals:
    void mouseMoved(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateLatching();

    std::function<QImage()> draw_;
    int frameCount_ = 1;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};

#pragma once

#include <QWidget>

class BoardService;
class BoardView;
class QCheckBox;
class QLabel;

// The virtual board's window: the board, its keys (mouse, or keys 1 to 4 for BUTTON1 to BUTTON4), the
// controller's state, the cable switch, and erase and program actions.
class BoardWindow : public QWidget {
    Q_OBJECT

public:
    explicit BoardWindow(BoardService& service, QWidget* parent = nullptr);

    // Key k (0 = BUTTON1) for a keyboard key, or -1.
    static int keyForKeyboard(int qtKey);

    // Places the window, before it is shown, left of where the panel's goes on the same screen, shrinking
    // the board where the screen is too narrow for both (resources/SideBySide.h).
    void placeBesidePanel();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void showState();
    void programFromDesignFile();

    BoardService& service_;
    BoardView* view_;
    QLabel* state_;
    QCheckBox* plugged_;
    QString note_;
};

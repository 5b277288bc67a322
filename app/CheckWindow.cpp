#include "app/CheckWindow.h"

#include "app/FixedFont.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

CheckWindow::CheckWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), text_(new QPlainTextEdit(this)),
      again_(new QPushButton(QStringLiteral("Check again"), this)) {
    setWindowTitle(QStringLiteral("QB-vela Control Panel - Check the connection"));
    setObjectName(QStringLiteral("CheckWindow"));
    resize(720, 360);
    text_->setObjectName(QStringLiteral("CheckReport"));
    text_->setReadOnly(true);
    // A line wider than the screen lets the window be no wider: it wraps rather than hide the buttons.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setFont(fixedPitchFont());

    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("CopyReport"));
    connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(report()); });
    again_->setObjectName(QStringLiteral("CheckAgain"));
    connect(again_, &QPushButton::clicked, this, &CheckWindow::checkAgain);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy);
    buttons->addWidget(again_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
}

void CheckWindow::begin() {
    running_ = true;
    again_->setEnabled(false);
    text_->clear();
    text_->horizontalScrollBar()->setValue(0);
}

void CheckWindow::add(const qbv::doctor::CheckLine& line) {
    // The report's lines end in a line break; the text adds its own.
    QString lines = QString::fromStdString(qbv::doctor::reportLines(line));
    lines.chop(1);
    text_->appendPlainText(lines);
    widen(lines);
}

// Wide enough for the longest line, as far as the screen allows, and on the screen whole: a report is read
// whole, not scrolled sideways, and its buttons stay in reach.
void CheckWindow::widen(const QString& lines) {
    const QFontMetrics metrics(text_->font());
    int widest = 0;
    for (const QString& line : lines.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int frame = width() - text_->viewport()->width() + text_->verticalScrollBar()->sizeHint().width() +
                      2 * metrics.averageCharWidth();
    if (widest + frame <= width() || !screen())
        return;
    const QRect room = screen()->availableGeometry();
    const int border = frameGeometry().width() - width();
    resize(std::min(widest + frame, room.width() - border), height());
    const QRect outer = frameGeometry();
    const int left = std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width()));
    if (left != outer.left())
        move(left, outer.top());
}

void CheckWindow::end(qbv::doctor::Ending ending) {
    text_->appendPlainText(QString::fromLatin1(qbv::doctor::endingWords(ending)));
    running_ = false;
    again_->setEnabled(allowed_);
}

void CheckWindow::allowCheck(bool allowed) {
    allowed_ = allowed;
    again_->setEnabled(allowed && !running_);
}

QString CheckWindow::report() const {
    return text_->toPlainText() + QLatin1Char('\n');
}

void CheckWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

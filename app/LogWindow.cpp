#include "app/LogWindow.h"

#include "app/EventLog.h"
#include "app/FixedFont.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QVBoxLayout>

LogWindow::LogWindow(const EventLog& log, QWidget* owner)
    : QWidget(owner, Qt::Window), log_(log), text_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("QB-vela Control Panel - Log"));
    setObjectName(QStringLiteral("LogWindow"));
    resize(720, 420);
    text_->setReadOnly(true);
    text_->setMaximumBlockCount(static_cast<int>(EventLog::kCapacity));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(fixedPitchFont());
    for (const QString& line : log.lines())
        text_->appendPlainText(line);
    connect(&log, &EventLog::added, text_, &QPlainTextEdit::appendPlainText);

    auto* save = new QPushButton(QStringLiteral("Save..."), this);
    save->setObjectName(QStringLiteral("SaveLog"));
    auto* saved = new QLabel(this);
    saved->setObjectName(QStringLiteral("SavedTo"));
    connect(save, &QPushButton::clicked, this, &LogWindow::saveAs);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saved, 1);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
}

void LogWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void LogWindow::showEvent(QShowEvent* event) {
    // At the newest line, from its start: the time of each line in view.
    text_->setTextCursor(QTextCursor(text_->document()->lastBlock()));
    text_->ensureCursorVisible();
    text_->horizontalScrollBar()->setValue(0);
    QWidget::showEvent(event);
}

void LogWindow::saveAs() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto* dialog = new QFileDialog(this, QStringLiteral("Save the log"), folder,
                                   QStringLiteral("Log files (*.log *.txt)"));
    dialog->setObjectName(QStringLiteral("SaveLogDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->selectFile(QStringLiteral("qbv-control-panel.log"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { saveTo(path); });
    dialog->open();
}

bool LogWindow::saveTo(const QString& path) {
    QString error;
    const bool saved = log_.save(path, error);
    findChild<QLabel*>(QStringLiteral("SavedTo"))
        ->setText(saved ? QStringLiteral("Saved to %1").arg(path)
                        : QStringLiteral("Not saved: %1").arg(error));
    return saved;
}

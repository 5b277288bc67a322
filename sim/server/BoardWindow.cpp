#include "BoardWindow.h"

#include "BoardService.h"
#include "BoardView.h"

#include "resources/BoardLayout.h"
#include "resources/SideBySide.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr const char* kDesignFileName = "QBV_Control_Panel.pof";
constexpr qint64 kMaxDesignFileRead = 1 << 20;
} // namespace

BoardWindow::BoardWindow(BoardService& service, QWidget* parent)
    : QWidget(parent), service_(service), view_(new BoardView(service, this)), state_(new QLabel(this)),
      plugged_(new QCheckBox(tr("Cable plugged"), this)) {
    setWindowTitle(tr("QB-vela virtual board"));
    auto* erase = new QPushButton(tr("Erase"), this);
    auto* program = new QPushButton(tr("Program"), this);
    program->setToolTip(tr("Program the controller from %1 beside this program").arg(kDesignFileName));
    for (QWidget* control :
         {static_cast<QWidget*>(plugged_), static_cast<QWidget*>(erase), static_cast<QWidget*>(program)})
        control->setFocusPolicy(Qt::NoFocus); // keys 1 to 4 belong to the board
    auto* strip = new QHBoxLayout;
    strip->addWidget(state_, 1);
    strip->addWidget(plugged_);
    strip->addWidget(erase);
    strip->addWidget(program);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(view_);
    layout->addLayout(strip);
    setFocusPolicy(Qt::StrongFocus);

    connect(plugged_, &QCheckBox::toggled, this, [this](bool on) { service_.setPlugged(on); });
    connect(erase, &QPushButton::clicked, this, [this] {
        note_.clear();
        service_.erase();
    });
    connect(program, &QPushButton::clicked, this, &BoardWindow::programFromDesignFile);
    connect(&service_, &BoardService::changed, this, &BoardWindow::showState);
    showState();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void BoardWindow::placeBesidePanel() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    layout()->activate();
    // The native window gives the frame its margins, where the system draws it; the panel's are the same.
    winId();
    const int fullWidth = frameGeometry().width();
    const int margins = fullWidth - width();
    const QRect area = target->availableGeometry();
    const qbv::layout::SideBySide places =
        qbv::layout::sideBySide(area.left(), area.width(), fullWidth, qbv::layout::kClientWidth + margins);
    const int besidePicture = fullWidth - view_->pictureWidth();
    view_->setScale(double(places.boardWidth - besidePicture) / view_->pictureWidth());
    layout()->activate();
    move(places.boardLeft, area.top() + std::max(0, (area.height() - frameGeometry().height()) / 2));
}

int BoardWindow::keyForKeyboard(int qtKey) {
    return qtKey >= Qt::Key_1 && qtKey <= Qt::Key_4 ? qtKey - Qt::Key_1 : -1;
}

void BoardWindow::keyPressEvent(QKeyEvent* event) {
    const int key = keyForKeyboard(event->key());
    if (key < 0)
        return QWidget::keyPressEvent(event);
    if (!event->isAutoRepeat())
        service_.setKey(key, true);
}

void BoardWindow::keyReleaseEvent(QKeyEvent* event) {
    const int key = keyForKeyboard(event->key());
    if (key < 0)
        return QWidget::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        service_.setKey(key, false);
}

void BoardWindow::showState() {
    const qbv::sim::BoardHost& host = service_.host();
    QString text = host.board().programmed() ? tr("Controller programmed") : tr("Controller blank");
    text += host.linkOpen() ? tr(" - link open") : tr(" - no link");
    if (!note_.isEmpty())
        text += QStringLiteral(" - ") + note_;
    state_->setText(text);
    const QSignalBlocker quiet(plugged_);
    plugged_->setChecked(host.plugged());
}

void BoardWindow::programFromDesignFile() {
    QFile file(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kDesignFileName));
    const bool programmed = file.open(QIODevice::ReadOnly) && service_.program(file.read(kMaxDesignFileRead));
    note_ = programmed ? QString() : tr("%1 missing or damaged").arg(kDesignFileName);
    showState();
}

#include "tests/app/WindowFixture.h"

#include "resources/LayoutQt.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QFontInfo>

namespace layout = qbv::layout;
using qbv::test::WindowTest;

using qbv::layout::toQRect;

namespace {} // namespace

TEST_F(WindowTest, BeforeFirstShowTheLayoutIsAsStored) {
    form = std::make_unique<TFormMain>(qbv::test::programFolder(), &ui);
    EXPECT_EQ(form->size(), QSize(774, 575));
    EXPECT_EQ(form->StatusBar->geometry(), QRect(0, 556, 774, 19));
    EXPECT_EQ(form->PaintBoxGPIOa->geometry(), QRect(238, 8, 460, 166));
    EXPECT_EQ(form->SpeedButtonDownload->text(), "Download .POF");
    EXPECT_EQ(form->SpeedButtonExit->text(), "Exit");
    EXPECT_EQ(form->SpeedButtonConnect->text(), "Connect");
    EXPECT_EQ(form->StatusBar->panelText(0), "Status");
    EXPECT_EQ(form->StatusBar->panelText(2), "50");
    EXPECT_FALSE(form->TimerBoot->Enabled());
    EXPECT_EQ(form->TimerButtonPolling->Interval(), 50);
    EXPECT_EQ(led(0), nullptr);
    EXPECT_EQ(FormMain, form.get());
}

TEST_F(WindowTest, AfterFirstShowEveryComponentHasItsFinalGeometry) {
    showWindow();
    EXPECT_EQ(form->size(), QSize(774, 533));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // the user cannot resize it
    EXPECT_EQ(form->windowTitle(), "Marovan QB-vela Control Panel V1.0.0");
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->ImageBoard->geometry(), QRect(0, 0, 775, 514)); // its last column lies outside
    EXPECT_EQ(form->StatusBar->geometry(), QRect(0, 514, 774, 19));
    EXPECT_EQ(form->PaintBoxLed->geometry(), QRect(376, 352, 316, 64));
    EXPECT_EQ(form->PaintBoxGPIOa->geometry(), QRect(238, 12, 462, 163));
    EXPECT_EQ(form->PaintBoxGPIOb->geometry(), QRect(676, 128, 93, 138));
    for (const layout::Component& stored : layout::kComponents) {
        QWidget* widget = form->findChild<QWidget*>(QString::fromLatin1(stored.name));
        if (stored.kind == layout::Kind::Timer || stored.id == layout::StatusBar ||
            stored.id == layout::PaintBoxGPIOa || stored.id == layout::PaintBoxGPIOb)
            continue;
        ASSERT_NE(widget, nullptr) << stored.name;
        EXPECT_EQ(widget->geometry(), toQRect(stored.rect)) << stored.name;
        EXPECT_EQ(widget->isVisibleTo(form.get()), stored.visible) << stored.name;
    }
    const auto leds = layout::placedLedButtons();
    for (int i = 0; i < qbv::kLedCount; ++i)
        EXPECT_EQ(led(i)->geometry(), toQRect(leds[i])) << "LED " << i;
    for (const layout::PinButton& placed : layout::placedGpioButtons())
        EXPECT_EQ(pin(placed.pin)->geometry(), toQRect(placed.rect)) << "pin " << placed.pin;
}

TEST_F(WindowTest, ControlsStackInCreationOrderWithTheStatusBarOnTop) {
    showWindow();
    EXPECT_EQ(form->childAt(form->SpeedButtonDownload->geometry().center()), form->SpeedButtonDownload);
    EXPECT_EQ(form->childAt(QPoint(420, 460)), form->PaintBoxButton4);
    EXPECT_EQ(form->childAt(QPoint(700, 520)), form->StatusBar);
    EXPECT_EQ(form->childAt(QPoint(5, 5)), form->ImageBoard);
    // Hidden I/O buttons and paint boxes leave the click to the picture below.
    EXPECT_EQ(form->childAt(led(0)->geometry().center()), form->ImageBoard);
}

TEST_F(WindowTest, SpeedButtonsAreFlatHandPointersWithTooltipsThatTakeTheFocusFromTheKeyboardOnly) {
    showWindow();
    const std::pair<TSpeedButton*, const char*> buttons[] = {
        {form->SpeedButtonAltera, "Link to Altera Web Site"},
        {form->SpeedButtonMarovan, "Link to Marovan Web Side"},
        {form->SpeedButtonDownload, "Download MAX II Code"},
        {form->SpeedButtonExit, "Terminate this program."},
        {form->SpeedButtonConnect, "Connect Board"},
    };
    for (const auto& [button, hint] : buttons) {
        EXPECT_EQ(button->toolTip(), hint);
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor) << hint;
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus) << hint; // not from a click
        EXPECT_TRUE(button->text().isEmpty()) << hint;          // the caption now lives in the glyph
        EXPECT_EQ(button->numGlyphs(), 1) << hint;
        EXPECT_EQ(button->glyph().size(), button->size()) << hint;
        EXPECT_FALSE(button->isCheckable()) << hint;
    }
    EXPECT_EQ(led(3)->groupIndex(), 19);
    EXPECT_EQ(pin(87)->groupIndex(), 119);
    EXPECT_TRUE(led(3)->isCheckable());
    EXPECT_EQ(pin(0)->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(pin(0)->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(WindowTest, FontsAreTimesNewRomansMetricTwinBoldAtTheStoredPixelHeights) {
    form = std::make_unique<TFormMain>(qbv::test::programFolder(), &ui);
    const std::pair<QWidget*, int> fonts[] = {{form.get(), 19},
                                              {form->SpeedButtonDownload, 24},
                                              {form->SpeedButtonConnect, 24},
                                              {form->SpeedButtonExit, 48}};
    for (const auto& [widget, pixels] : fonts) {
        const QFontInfo used(widget->font());
        EXPECT_EQ(used.family(), "Liberation Serif") << widget->objectName().toStdString();
        EXPECT_TRUE(used.bold());
        EXPECT_EQ(used.pixelSize(), pixels);
    }
}

TEST_F(WindowTest, FirstShowArmsTheBootAndProgressTimersOnce) {
    form = std::make_unique<TFormMain>(qbv::test::programFolder(), &ui);
    form->show();
    EXPECT_TRUE(form->TimerBoot->Enabled());
    EXPECT_EQ(form->TimerBoot->Interval(), 100);
    EXPECT_TRUE(form->TimerProgress->Enabled());
    EXPECT_EQ(form->TimerProgress->Interval(), 100);
    EXPECT_FALSE(form->TimerButtonPolling->Enabled());
    EXPECT_EQ(status(), "Connecting QB-vela ...");
    EXPECT_EQ(statusColour(), "blue");
    EXPECT_EQ(visibleIoButtons(), 0);

    // Shown again after it was hidden, it lays out and creates nothing again.
    TSpeedButton* firstLed = led(0);
    const int children = static_cast<int>(form->children().size());
    form->TimerBoot->SetEnabled(false);
    form->hide();
    form->show();
    EXPECT_EQ(led(0), firstLed);
    EXPECT_EQ(form->children().size(), children);
    EXPECT_FALSE(form->TimerBoot->Enabled());
}

TEST_F(WindowTest, KeyBoxesShowThePictureUnderThemWhileNoKeyIsPressed) {
    showWindow();
    EXPECT_EQ(keysShown(), 0);
}

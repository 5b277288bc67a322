// The virtual board's window, offscreen: keys from the keyboard and the mouse, the overlays it draws
// for LEDs, pins and keys, and its cable, erase and program controls.

#include "BoardWindow.h"
#include "BoardArtwork.h"
#include "BoardService.h"
#include "BoardView.h"

#include "resources/BoardLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qbv;

namespace {

struct BoardWindowTest : testing::Test {
    BoardService service;
    BoardWindow window{service};
    BoardView* view = window.findChild<BoardView*>();

    void drive(std::vector<uint8_t> bytes) {
        if (!service.host().linkOpen())
            service.handleLink(1, sim::Frame{sim::wire::kOpenLink, 0, {sim::wire::kProtocolVersion}});
        service.handleLink(1, sim::Frame{sim::wire::kWrite, 1, std::move(bytes)});
    }
    QImage picture() { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QPushButton* button(const QString& text) {
        for (QPushButton* b : window.findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
};

QPoint centre(const layout::Rect& r) {
    return QPoint(r.left + r.width / 2, r.top + r.height / 2);
}
QPoint topLeft(const layout::Rect& r) {
    return QPoint(r.left, r.top);
}

// True when the picture differs from the reference anywhere inside the rectangle.
bool differsWithin(const QImage& picture, const QImage& reference, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (picture.pixel(x, y) != reference.pixel(x, y))
                return true;
    return false;
}

} // namespace

TEST_F(BoardWindowTest, KeyboardKeysOneToFourHoldButtonOneToFour) {
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(window.windowTitle(), "QB-vela virtual board");
    QTest::keyPress(&window, Qt::Key_1);
    EXPECT_EQ(service.host().board().keys(), 0x01);
    QTest::keyPress(&window, Qt::Key_4);
    EXPECT_EQ(service.host().board().keys(), 0x09);
    QTest::keyRelease(&window, Qt::Key_1);
    EXPECT_EQ(service.host().board().keys(), 0x08);
    QTest::keyPress(&window, Qt::Key_5);
    QTest::keyRelease(&window, Qt::Key_4);
    EXPECT_EQ(service.host().board().keys(), 0x00);
}

TEST_F(BoardWindowTest, AKeyIsPressedWhileTheMouseButtonIsHeldOnIt) {
    const QPoint button4 = centre(layout::component(layout::PaintBoxButton4).rect);
    QTest::mousePress(view, Qt::LeftButton, {}, button4);
    EXPECT_EQ(service.host().board().keys(), 0x08);
    QTest::mouseRelease(view, Qt::LeftButton, {}, button4 + QPoint(100, 0)); // released wherever it ends
    EXPECT_EQ(service.host().board().keys(), 0x00);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(service.host().board().keys(), 0x00);
    EXPECT_EQ(BoardView::keyAt(centre(layout::component(layout::PaintBoxButton1).rect)), 0);
}

TEST_F(BoardWindowTest, ShrunkBesideThePanelTheBoardKeepsItsKeysUnderThePicture) {
    const QSize full = view->size();
    view->setScale(0.5);
    ASSERT_EQ(view->size(), full / 2);
    for (int key = 0; key < layout::BUTTON_NUM; ++key) {
        const QPoint shrunk = centre(layout::component(layout::szPainBox[key]).rect) / 2;
        QTest::mousePress(view, Qt::LeftButton, {}, shrunk);
        EXPECT_EQ(service.host().board().keys(), 1u << key) << "key " << key;
        QTest::mouseRelease(view, Qt::LeftButton, {}, shrunk);
    }
}

TEST_F(BoardWindowTest, LitLedsActivePinsAndPressedKeysAreDrawnWhereTheyBelong) {
    const QImage dark = picture();
    drive({0x01, 0x80, 0x05, 0x80 | 87});
    service.setKey(3, true);
    const QImage lit = picture();

    const QRect led0(topLeft(layout::placedLedButtons()[0]) + QPoint(7, 30), QSize(16, 24));
    const QRect led1(topLeft(layout::placedLedButtons()[1]) + QPoint(7, 30), QSize(16, 24));
    EXPECT_TRUE(differsWithin(lit, dark, led0));
    EXPECT_FALSE(differsWithin(lit, dark, led1));
    // The overlay's bottom-left colour is left out: the board shows through there.
    EXPECT_EQ(lit.pixel(led0.bottomLeft()), dark.pixel(led0.bottomLeft()));

    const std::vector<layout::PinButton> pins = layout::placedGpioButtons();
    const QRect pin87(topLeft(pins[87].rect) + QPoint(3, 3), QSize(15, 15));
    const QRect pin86(topLeft(pins[86].rect) + QPoint(3, 3), QSize(15, 15));
    EXPECT_TRUE(differsWithin(lit, dark, pin87));
    EXPECT_FALSE(differsWithin(lit, dark, pin86));

    const QRect key3(topLeft(layout::component(layout::PaintBoxButton4).rect), QSize(32, 32));
    const QRect key0(topLeft(layout::component(layout::PaintBoxButton1).rect), QSize(32, 32));
    EXPECT_TRUE(differsWithin(lit, dark, key3));
    EXPECT_FALSE(differsWithin(lit, dark, key0));
}

TEST_F(BoardWindowTest, CableEraseAndProgramActOnTheBoard) {
    QCheckBox* cable = window.findChild<QCheckBox*>();
    ASSERT_NE(cable, nullptr);
    EXPECT_TRUE(cable->isChecked());
    cable->click();
    EXPECT_FALSE(service.host().plugged());
    service.setPlugged(true); // from the control socket: the switch follows
    EXPECT_TRUE(cable->isChecked());

    drive({0x01, 0xFF});
    ASSERT_NE(button("Erase"), nullptr);
    button("Erase")->click();
    EXPECT_FALSE(service.host().board().programmed());
    EXPECT_EQ(service.host().board().ledMask(), 0x00);
    // The build puts the design file beside the programs, this test's too.
    ASSERT_NE(button("Program"), nullptr);
    button("Program")->click();
    EXPECT_TRUE(service.host().board().programmed());
}

TEST(BoardArtworkTest, TheBottomLeftColourBecomesTransparent) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 0));
    const QImage result = withBottomLeftTransparent(image).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(result.pixel(0, 1)), 0);
    EXPECT_EQ(qAlpha(result.pixel(2, 0)), 0);
    EXPECT_EQ(result.pixel(1, 0), qRgb(255, 255, 0));
}

TEST(BoardArtworkTest, PicturesHaveTheirSizes) {
    const BoardArtwork artwork = BoardArtwork::load();
    EXPECT_EQ(artwork.board.size(), QSize(775, 514));
    EXPECT_EQ(artwork.ledOn.size(), QSize(16, 24));
    EXPECT_EQ(artwork.pinOn.size(), QSize(15, 15));
    EXPECT_EQ(artwork.pressed.size(), QSize(32, 32));
}

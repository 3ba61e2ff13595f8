#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTest>

#include "widgets/DotMatrix.h"

namespace {

// Remembers the area of every repaint.
class WatchedRaster : public DotMatrix {
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted += event->region();
        ++paints;
        DotMatrix::paintEvent(event);
    }
};

TEST(DotMatrix, CellsAreFlatFiveByFiveInsideATwoPixelBorder)
{
    DotMatrix raster;
    raster.resize(raster.sizeHint());
    ASSERT_EQ(raster.size(), QSize(424, 244));
    raster.setLit(85, true); // row 1, column 1
    const QImage image = raster.grab().toImage();
    const QColor black(0, 0, 0), lime(0x00, 0xFF, 0x00), green(0x00, 0x80, 0x00);
    EXPECT_EQ(QColor(image.pixel(0, 0)), black); // outline
    EXPECT_EQ(QColor(image.pixel(2, 2)), black); // frame of cell 0
    EXPECT_EQ(QColor(image.pixel(3, 3)), green); // dark cell 0
    EXPECT_EQ(QColor(image.pixel(5, 5)), green);
    EXPECT_EQ(QColor(image.pixel(6, 6)), black);
    EXPECT_EQ(QColor(image.pixel(8, 8)), lime); // cell 85 spans 7..11
    EXPECT_EQ(QColor(image.pixel(10, 10)), lime);
    EXPECT_EQ(QColor(image.pixel(11, 11)), black);
    EXPECT_EQ(QColor(image.pixel(419, 239)), green); // last cell's fill
    EXPECT_EQ(QColor(image.pixel(423, 243)), black);
}

TEST(DotMatrix, ChangingACellRepaintsThatCellAlone)
{
    WatchedRaster raster;
    raster.resize(raster.sizeHint());
    raster.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&raster));
    QCoreApplication::processEvents();
    raster.painted = QRegion();
    raster.paints = 0;

    raster.setLit(4031, false); // already dark
    QCoreApplication::processEvents();
    EXPECT_EQ(raster.paints, 0);

    raster.setLit(170, true);
    QCoreApplication::processEvents();
    EXPECT_GE(raster.paints, 1);
    EXPECT_EQ(raster.painted, QRegion(raster.cellRect(170)));
    EXPECT_EQ(raster.cellRect(170), QRect(12, 12, 5, 5));
}

TEST(DotMatrix, ReportsPressesWithTheirPixelPosition)
{
    DotMatrix raster;
    raster.resize(raster.sizeHint());
    std::vector<std::tuple<Qt::MouseButton, int, int>> presses;
    QObject::connect(&raster, &DotMatrix::pressed, [&](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        presses.emplace_back(button, x, y);
    });
    QTest::mousePress(&raster, Qt::MiddleButton, {}, QPoint(17, 240));
    QTest::mouseMove(&raster, QPoint(30, 30));
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], std::make_tuple(Qt::MiddleButton, 17, 240));
    for (int i = 0; i < raster.cellCount(); ++i)
        ASSERT_FALSE(raster.isLit(i)); // no behaviour of its own
}

TEST(DotMatrix, WhileEditableArrowsMoveACursorAndSpaceOrEnterReportItsCell)
{
    DotMatrix raster;
    std::vector<int> activated;
    QObject::connect(&raster, &DotMatrix::cellActivated, [&](int cell) { activated.push_back(cell); });
    QTest::keyClick(&raster, Qt::Key_Right);
    QTest::keyClick(&raster, Qt::Key_Space);
    EXPECT_EQ(raster.currentCell(), 0);
    EXPECT_TRUE(activated.empty()) << "not editable";
    EXPECT_EQ(raster.focusPolicy(), Qt::NoFocus);

    raster.setEditable(true);
    EXPECT_EQ(raster.focusPolicy(), Qt::StrongFocus);
    QTest::keyClick(&raster, Qt::Key_Left); // stays in the first column
    QTest::keyClick(&raster, Qt::Key_Up);
    EXPECT_EQ(raster.currentCell(), 0);
    QTest::keyClick(&raster, Qt::Key_Right);
    QTest::keyClick(&raster, Qt::Key_Down);
    QTest::keyClick(&raster, Qt::Key_Space);
    QTest::keyClick(&raster, Qt::Key_End);
    QTest::keyClick(&raster, Qt::Key_Right); // stays in the last column
    QTest::keyClick(&raster, Qt::Key_Return);
    QTest::keyClick(&raster, Qt::Key_Home);
    EXPECT_EQ(activated, (std::vector<int>{85, 84 + 83}));
    EXPECT_EQ(raster.currentCell(), 84);
    QTest::keyClick(&raster, Qt::Key_Space);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(&raster, &held);
    EXPECT_EQ(activated.size(), 3u) << "a held key toggles once";
    EXPECT_FALSE(raster.isLit(84)) << "no cell changes by itself";

    // A press moves the cursor to the pressed cell.
    QTest::mousePress(&raster, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(raster.currentCell(), 170);
}

TEST(DotMatrix, CursorShowsAsAWhiteRimWhileTheEditableMatrixHasTheFocus)
{
    DotMatrix raster;
    raster.resize(raster.sizeHint());
    raster.setCurrentCell(85);
    raster.show();
    raster.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&raster));
    const auto rim = [&] { return QColor(raster.grab().toImage().pixel(7, 7)); };
    EXPECT_EQ(rim(), QColor(Qt::black));
    raster.setEditable(true);
    raster.setFocus();
    ASSERT_TRUE(raster.hasFocus());
    EXPECT_EQ(rim(), QColor(Qt::white));
    raster.clearFocus();
    EXPECT_EQ(rim(), QColor(Qt::black));
}

} // namespace

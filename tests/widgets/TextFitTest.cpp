#include "widgets/TextFit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include "widgets/DesignFonts.h"

// The label's letters are narrowed to the widest stretch whose text ends
// before the limit; a text that fits keeps its letters.
TEST(TextFit, NarrowedLabelTakesTheWidestStretchThatEndsBeforeTheLimit)
{
    QWidget window;
    QLabel label(QString::fromUtf8("Дополнительные поля"), &window);
    label.setFont(designFont("MS Sans Serif", 11));
    label.move(8, 10);
    const int full = QFontMetrics(label.font()).horizontalAdvance(label.text());
    const auto widthAt = [&label](int stretch) {
        QFont font = label.font();
        font.setStretch(stretch);
        return QFontMetrics(font).size(0, label.text()).width();
    };
    for (const int limit : {8 + full * 9 / 10, 8 + full * 3 / 4}) {
        label.setFont(designFont("MS Sans Serif", 11));
        narrowLabelToEndBefore(label, limit);
        const int stretch = label.font().stretch();
        const int room = limit - 3 - label.x();
        EXPECT_LE(widthAt(stretch), room) << limit;
        EXPECT_GT(widthAt(stretch + 1), room) << limit;
        EXPECT_EQ(label.geometry().right() + 1, limit - 3);
    }
    label.setFont(designFont("MS Sans Serif", 11));
    narrowLabelToEndBefore(label, 8 + full + 20);
    EXPECT_EQ(QFontMetrics(label.font()).horizontalAdvance(label.text()), full);
}

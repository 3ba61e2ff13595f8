#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "logo/DotCanvas.h"
#include "logo/DotFont.h"

namespace {

int setCount(const DotCanvas& canvas)
{
    int count = 0;
    for (bool dot : canvas.dots())
        count += dot ? 1 : 0;
    return count;
}

LogoDots withDots(std::initializer_list<DotPoint> points)
{
    LogoDots dots{};
    for (const DotPoint p : points)
        dots[logoCellIndex(p.x, p.y)] = true;
    return dots;
}

TEST(DotCanvas, LineJoinsItsEndpointsWithOneDotPerStep)
{
    DotCanvas canvas;
    const DotArea area = canvas.line({2, 3}, {20, 9}, true);
    EXPECT_TRUE(canvas.dot({2, 3}));
    EXPECT_TRUE(canvas.dot({20, 9}));
    EXPECT_EQ(setCount(canvas), 19);
    for (int x = 2; x <= 20; ++x) {
        int inColumn = 0;
        for (int y = 0; y < kLogoHeight; ++y)
            inColumn += canvas.dot({x, y}) ? 1 : 0;
        EXPECT_EQ(inColumn, 1) << "column " << x;
    }
    EXPECT_EQ(area, (DotArea{2, 3, 20, 9}));

    DotCanvas backwards;
    backwards.line({20, 9}, {2, 3}, true);
    EXPECT_EQ(setCount(backwards), 19);

    // A line running off the canvas keeps its part on it.
    DotCanvas clipped;
    clipped.line({-10, 0}, {9, 0}, true);
    EXPECT_EQ(setCount(clipped), 10);
}

TEST(DotCanvas, RectangleDrawsOutlineOrFilled)
{
    DotCanvas canvas;
    canvas.rectangle({19, 14}, {10, 5}, true);
    EXPECT_EQ(setCount(canvas), 36);
    EXPECT_TRUE(canvas.dot({10, 5}));
    EXPECT_TRUE(canvas.dot({19, 14}));
    EXPECT_FALSE(canvas.dot({11, 6}));

    canvas.rectangle({10, 5}, {19, 14}, true, true);
    EXPECT_EQ(setCount(canvas), 100);
    canvas.rectangle({11, 6}, {18, 13}, false, true);
    EXPECT_EQ(setCount(canvas), 36);
}

TEST(DotCanvas, FillStopsAtTheOutline)
{
    DotCanvas canvas;
    canvas.rectangle({10, 5}, {19, 14}, true);
    canvas.fill({15, 10}, true);
    EXPECT_EQ(setCount(canvas), 100);

    // Clearing from outside: the outside is one area, the box stays.
    canvas.invert();
    canvas.fill({0, 0}, false);
    EXPECT_EQ(setCount(canvas), 0);

    // Four-connected: a diagonal gap does not leak.
    DotCanvas diagonal(withDots({{1, 0}, {0, 1}}));
    diagonal.fill({0, 0}, true);
    EXPECT_EQ(setCount(diagonal), 3);
}

TEST(DotCanvas, TextWritesGlyphsSideBySide)
{
    DotCanvas canvas;
    const DotArea area = canvas.text({0, 0}, U"A", true);
    EXPECT_EQ(setCount(canvas), 18);
    EXPECT_FALSE(canvas.dot({0, 0}));
    for (int x = 1; x <= 3; ++x)
        EXPECT_TRUE(canvas.dot({x, 0}));
    for (int x = 0; x < 5; ++x)
        EXPECT_TRUE(canvas.dot({x, 3})) << x;
    EXPECT_TRUE(canvas.dot({0, 6}));
    EXPECT_TRUE(canvas.dot({4, 6}));
    EXPECT_EQ(area, (DotArea{0, 0, 4, 6}));

    // Small letters use the capitals; the next glyph starts six dots on, the
    // next line eight dots down.
    DotCanvas pair;
    pair.text({10, 20}, U"aa\nя", true);
    EXPECT_EQ(setCount(pair), 18 * 3);
    EXPECT_TRUE(pair.dot({17, 20}));
    EXPECT_FALSE(pair.dot({15, 20}));
    EXPECT_TRUE(pair.dot({10, 34}));  // the foot of Я
    EXPECT_EQ(DotFont::textWidth(U"aa\nя"), 11);
}

TEST(DotCanvas, FontCoversCapitalsAndDigitsWithDistinctGlyphs)
{
    std::u32string characters = U"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (char32_t c = U'А'; c <= U'Я'; ++c)
        characters += c;
    characters += U'Ё';
    // Cyrillic capitals drawn like a Latin one.
    const std::set<std::pair<char32_t, char32_t>> twins = {
        {U'А', U'A'}, {U'В', U'B'}, {U'Е', U'E'}, {U'К', U'K'}, {U'М', U'M'}, {U'Н', U'H'},
        {U'О', U'O'}, {U'Р', U'P'}, {U'С', U'C'}, {U'Т', U'T'}, {U'Х', U'X'}};
    for (char32_t a : characters) {
        const auto glyph = DotFont::glyph(a);
        ASSERT_TRUE(glyph) << static_cast<unsigned>(a);
        EXPECT_NE(*glyph, DotGlyph{}) << static_cast<unsigned>(a);
        for (char32_t b : characters) {
            if (a < b && !twins.count({b, a}) && !twins.count({a, b})) {
                EXPECT_NE(*glyph, *DotFont::glyph(b)) << static_cast<unsigned>(a) << " and " << static_cast<unsigned>(b);
            }
        }
    }
    for (const auto& [cyrillic, latin] : twins)
        EXPECT_EQ(DotFont::glyph(cyrillic), DotFont::glyph(latin));
    EXPECT_FALSE(DotFont::glyph(U'€'));
}

TEST(DotCanvas, ShiftMovesDotsAndDropsTheEdge)
{
    DotCanvas canvas(withDots({{0, 0}, {83, 47}}));
    canvas.shift(DotShift::Right);
    EXPECT_EQ(canvas.dots(), withDots({{1, 0}}));
    canvas.shift(DotShift::Down);
    EXPECT_EQ(canvas.dots(), withDots({{1, 1}}));
    canvas.shift(DotShift::Left);
    canvas.shift(DotShift::Up);
    EXPECT_EQ(canvas.dots(), withDots({{0, 0}}));
    canvas.shift(DotShift::Up);
    EXPECT_EQ(setCount(canvas), 0);
}

TEST(DotCanvas, FlipMirrorsAcrossEachAxis)
{
    DotCanvas canvas(withDots({{0, 0}, {5, 1}}));
    canvas.flip(DotFlip::Horizontal);
    EXPECT_EQ(canvas.dots(), withDots({{83, 0}, {78, 1}}));
    canvas.flip(DotFlip::Vertical);
    EXPECT_EQ(canvas.dots(), withDots({{83, 47}, {78, 46}}));
}

TEST(DotCanvas, InvertAndClearCoverTheWholePicture)
{
    DotCanvas canvas(withDots({{3, 3}}));
    EXPECT_EQ(canvas.invert(), (DotArea{0, 0, 83, 47}));
    EXPECT_EQ(setCount(canvas), kLogoCellCount - 1);
    EXPECT_FALSE(canvas.dot({3, 3}));
    canvas.clear();
    EXPECT_EQ(setCount(canvas), 0);
}

TEST(DotCanvas, UndoAndRedoWalkTheHistory)
{
    DotCanvas canvas;
    canvas.setDot({1, 1}, true);
    canvas.line({0, 5}, {9, 5}, true);
    EXPECT_EQ(canvas.undo(), (DotArea{0, 5, 9, 5}));
    EXPECT_EQ(canvas.dots(), withDots({{1, 1}}));
    EXPECT_TRUE(canvas.canRedo());
    EXPECT_EQ(canvas.redo(), (DotArea{0, 5, 9, 5}));
    EXPECT_EQ(setCount(canvas), 11);

    // A new edit after an undo drops what could have been redone.
    canvas.undo();
    canvas.toggle({2, 2});
    EXPECT_FALSE(canvas.canRedo());
    EXPECT_TRUE(canvas.redo().isEmpty());
    EXPECT_EQ(canvas.dots(), withDots({{1, 1}, {2, 2}}));

    // Edits that change nothing leave no step behind.
    DotCanvas fresh;
    fresh.clear();
    fresh.fill({0, 0}, false);
    fresh.shift(DotShift::Left);
    fresh.replace(LogoDots{});
    EXPECT_FALSE(fresh.canUndo());
}

TEST(DotCanvas, UndoReachesBackTheLimitOfSteps)
{
    DotCanvas canvas;
    const int steps = DotCanvas::kUndoLimit + 20;
    ASSERT_GE(DotCanvas::kUndoLimit, 50);
    std::vector<LogoDots> states{canvas.dots()};
    for (int i = 0; i < steps; ++i) {
        canvas.toggle({i % kLogoWidth, i / kLogoWidth});
        states.push_back(canvas.dots());
    }
    for (int back = 1; back <= DotCanvas::kUndoLimit; ++back) {
        ASSERT_TRUE(canvas.canUndo());
        canvas.undo();
        ASSERT_EQ(canvas.dots(), states[static_cast<std::size_t>(steps - back)]) << back;
    }
    EXPECT_FALSE(canvas.canUndo());
    for (int i = 0; i < DotCanvas::kUndoLimit; ++i)
        canvas.redo();
    EXPECT_EQ(canvas.dots(), states.back());
}

TEST(DotCanvas, StrokeIsOneStepAndBridgesJumps)
{
    DotCanvas canvas(withDots({{40, 40}}));
    EXPECT_EQ(canvas.beginStroke({0, 0}, true), (DotArea{0, 0, 0, 0}));
    EXPECT_EQ(canvas.strokeTo({10, 0}), (DotArea{1, 0, 10, 0}));
    canvas.strokeTo({10, 2});
    EXPECT_TRUE(canvas.canUndo());
    canvas.endStroke();
    EXPECT_EQ(setCount(canvas), 1 + 11 + 2);

    canvas.undo();
    EXPECT_EQ(canvas.dots(), withDots({{40, 40}}));

    // Another edit during a stroke closes it as its own step first.
    canvas.beginStroke({5, 5}, true);
    canvas.setDot({6, 6}, true);
    EXPECT_FALSE(canvas.inStroke());
    EXPECT_TRUE(canvas.strokeTo({9, 9}).isEmpty());
    canvas.undo();
    EXPECT_EQ(canvas.dots(), withDots({{40, 40}, {5, 5}}));

    // A clearing stroke over clear dots leaves no step.
    canvas.beginStroke({70, 0}, false);
    canvas.strokeTo({80, 0});
    canvas.endStroke();
    canvas.undo();
    EXPECT_EQ(canvas.dots(), withDots({{40, 40}}));
}

TEST(DotCanvas, StrokeValueCanChangeAfterThePress)
{
    // A press toggled its set dot off; dragging on with "set" sets it again.
    DotCanvas canvas(withDots({{3, 3}}));
    canvas.beginStroke({3, 3}, false);
    EXPECT_EQ(canvas.setStrokeValue(true), (DotArea{3, 3, 3, 3}));
    canvas.strokeTo({5, 3});
    canvas.endStroke();
    EXPECT_EQ(canvas.dots(), withDots({{3, 3}, {4, 3}, {5, 3}}));
    canvas.undo();
    EXPECT_EQ(canvas.dots(), withDots({{3, 3}}));
}

TEST(DotCanvas, ShapePreviewsLeaveTheCanvasAlone)
{
    DotCanvas canvas;
    const LogoDots shown = canvas.withRectangle({0, 0}, {3, 3}, true);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), true), 12);
    EXPECT_EQ(setCount(canvas), 0);
    EXPECT_FALSE(canvas.canUndo());
    canvas.rectangle({0, 0}, {3, 3}, true);
    EXPECT_EQ(canvas.dots(), shown);
}

TEST(DotCanvas, ReplaceIsAnUndoableStep)
{
    DotCanvas canvas(withDots({{1, 1}}));
    LogoDots loaded{};
    loaded.fill(true);
    EXPECT_EQ(canvas.replace(loaded), (DotArea{0, 0, 83, 47}));
    EXPECT_EQ(canvas.dots(), loaded);
    canvas.undo();
    EXPECT_EQ(canvas.dots(), withDots({{1, 1}}));
}

} // namespace

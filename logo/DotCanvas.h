// The logo editor's picture: 84 x 48 dots, the drawing tools and an undo
// history. The window only turns mouse and keys into these calls and repaints
// the area each call returns.
#pragma once

#include <deque>
#include <string_view>

#include "logo/LogoBlocks.h"

struct DotPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const DotPoint&, const DotPoint&) = default;
};

// The smallest rectangle of dots holding every dot an edit changed, edges
// included; empty when the edit changed nothing.
struct DotArea {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    bool isEmpty() const { return right < left; }
    int width() const { return isEmpty() ? 0 : right - left + 1; }
    int height() const { return isEmpty() ? 0 : bottom - top + 1; }
    void include(int x, int y);
    friend bool operator==(const DotArea&, const DotArea&) = default;
};

enum class DotShift { Left, Right, Up, Down };
enum class DotFlip { Horizontal, Vertical };

class DotCanvas {
public:
    // Steps kept for undo; the oldest is dropped beyond this.
    static constexpr int kUndoLimit = 100;

    DotCanvas() = default;
    // Starts from these dots with an empty history.
    explicit DotCanvas(const LogoDots& dots) : dots_(dots) {}

    const LogoDots& dots() const { return dots_; }
    // False for points off the canvas.
    bool dot(DotPoint at) const;
    static bool contains(DotPoint at);

    // Each edit below is one undo step, and none when it changes nothing.
    // Points off the canvas are clipped, never an error.
    DotArea setDot(DotPoint at, bool value);
    DotArea toggle(DotPoint at);
    DotArea line(DotPoint from, DotPoint to, bool value);
    // The rectangle between two opposite corners, given in any order.
    DotArea rectangle(DotPoint corner, DotPoint opposite, bool value, bool filled = false);
    // Gives the 4-connected area of dots equal to the one at start the value.
    DotArea fill(DotPoint start, bool value);
    // Writes the glyphs' dots with value and leaves the dots between them;
    // topLeft is the first glyph's top-left dot, '\n' starts a line below.
    // Characters the font lacks leave a gap.
    DotArea text(DotPoint topLeft, std::u32string_view text, bool value);
    DotArea invert();
    DotArea clear();
    // Moves the picture one dot; the row or column pushed off is lost and
    // the one coming in is clear.
    DotArea shift(DotShift direction);
    DotArea flip(DotFlip axis);
    // A whole new picture (a load or an import), undoable like any edit.
    DotArea replace(const LogoDots& dots);

    // What line, rectangle and text would make, with nothing changed: for
    // showing a shape while the mouse is still down.
    LogoDots withLine(DotPoint from, DotPoint to, bool value) const;
    LogoDots withRectangle(DotPoint corner, DotPoint opposite, bool value, bool filled = false) const;
    LogoDots withText(DotPoint topLeft, std::u32string_view text, bool value) const;

    // Freehand painting: every dot on the path from the first point through
    // each next one gets value, and the whole stroke is one undo step. Any
    // other edit, undo or redo ends an open stroke first.
    DotArea beginStroke(DotPoint at, bool value);
    DotArea strokeTo(DotPoint to);
    // Repaints the stroke so far, and what follows, with another value: a
    // press can toggle its dot and a drag away from it still paint by button.
    DotArea setStrokeValue(bool value);
    void endStroke();
    bool inStroke() const { return stroking_; }

    bool canUndo() const { return !undo_.empty() || strokeChanged(); }
    bool canRedo() const { return !redo_.empty(); }
    // Return the dots that changed back (or forward); empty when there was nothing to do.
    DotArea undo();
    DotArea redo();

private:
    DotArea commit(const LogoDots& next);
    DotArea paintStroke();
    void remember(const LogoDots& before);
    bool strokeChanged() const { return stroking_ && strokeBefore_ != dots_; }

    LogoDots dots_{};
    std::deque<LogoDots> undo_;
    std::deque<LogoDots> redo_;
    bool stroking_ = false;
    bool strokeValue_ = false;
    DotPoint strokeAt_;
    LogoDots strokeBefore_{};
    LogoDots strokePath_{};  // the dots the open stroke has covered
};

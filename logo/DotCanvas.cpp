#include "logo/DotCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "logo/DotFont.h"

void DotArea::include(int x, int y)
{
    if (isEmpty()) {
        left = right = x;
        top = bottom = y;
        return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
}

namespace {

DotArea difference(const LogoDots& a, const LogoDots& b)
{
    DotArea area;
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            if (a[logoCellIndex(x, y)] != b[logoCellIndex(x, y)])
                area.include(x, y);
    return area;
}

void put(LogoDots& dots, DotPoint at, bool value)
{
    if (DotCanvas::contains(at))
        dots[logoCellIndex(at.x, at.y)] = value;
}

void putLine(LogoDots& dots, DotPoint from, DotPoint to, bool value)
{
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepY = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    DotPoint at = from;
    for (;;) {
        put(dots, at, value);
        if (at == to)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.y += stepY;
        }
    }
}

} // namespace

bool DotCanvas::contains(DotPoint at)
{
    return at.x >= 0 && at.x < kLogoWidth && at.y >= 0 && at.y < kLogoHeight;
}

bool DotCanvas::dot(DotPoint at) const
{
    return contains(at) && dots_[logoCellIndex(at.x, at.y)];
}

void DotCanvas::remember(const LogoDots& before)
{
    undo_.push_back(before);
    if (undo_.size() > static_cast<std::size_t>(kUndoLimit))
        undo_.pop_front();
    redo_.clear();
}

DotArea DotCanvas::commit(const LogoDots& next)
{
    const DotArea area = difference(dots_, next);
    if (!area.isEmpty()) {
        remember(dots_);
        dots_ = next;
    }
    return area;
}

DotArea DotCanvas::setDot(DotPoint at, bool value)
{
    endStroke();
    LogoDots next = dots_;
    put(next, at, value);
    return commit(next);
}

DotArea DotCanvas::toggle(DotPoint at)
{
    return setDot(at, !dot(at));
}

LogoDots DotCanvas::withLine(DotPoint from, DotPoint to, bool value) const
{
    LogoDots next = dots_;
    putLine(next, from, to, value);
    return next;
}

DotArea DotCanvas::line(DotPoint from, DotPoint to, bool value)
{
    endStroke();
    return commit(withLine(from, to, value));
}

LogoDots DotCanvas::withRectangle(DotPoint corner, DotPoint opposite, bool value, bool filled) const
{
    const int left = std::min(corner.x, opposite.x);
    const int right = std::max(corner.x, opposite.x);
    const int top = std::min(corner.y, opposite.y);
    const int bottom = std::max(corner.y, opposite.y);
    LogoDots next = dots_;
    for (int y = std::max(top, 0); y <= std::min(bottom, kLogoHeight - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, kLogoWidth - 1); ++x)
            if (filled || x == left || x == right || y == top || y == bottom)
                next[logoCellIndex(x, y)] = value;
    return next;
}

DotArea DotCanvas::rectangle(DotPoint corner, DotPoint opposite, bool value, bool filled)
{
    endStroke();
    return commit(withRectangle(corner, opposite, value, filled));
}

DotArea DotCanvas::fill(DotPoint start, bool value)
{
    endStroke();
    if (!contains(start) || dot(start) == value)
        return {};
    const bool from = !value;
    LogoDots next = dots_;
    std::vector<DotPoint> pending{start};
    next[logoCellIndex(start.x, start.y)] = value;
    while (!pending.empty()) {
        const DotPoint at = pending.back();
        pending.pop_back();
        for (const DotPoint step : {DotPoint{1, 0}, DotPoint{-1, 0}, DotPoint{0, 1}, DotPoint{0, -1}}) {
            const DotPoint near{at.x + step.x, at.y + step.y};
            if (contains(near) && next[logoCellIndex(near.x, near.y)] == from) {
                next[logoCellIndex(near.x, near.y)] = value;
                pending.push_back(near);
            }
        }
    }
    return commit(next);
}

LogoDots DotCanvas::withText(DotPoint topLeft, std::u32string_view text, bool value) const
{
    LogoDots next = dots_;
    DotPoint pen = topLeft;
    for (char32_t c : text) {
        if (c == U'\n') {
            pen = {topLeft.x, pen.y + DotFont::kLineAdvance};
            continue;
        }
        if (const auto glyph = DotFont::glyph(c))
            for (int y = 0; y < DotFont::kGlyphHeight; ++y)
                for (int x = 0; x < DotFont::kGlyphWidth; ++x)
                    if (glyph->dot(x, y))
                        put(next, {pen.x + x, pen.y + y}, value);
        pen.x += DotFont::kAdvance;
    }
    return next;
}

DotArea DotCanvas::text(DotPoint topLeft, std::u32string_view text, bool value)
{
    endStroke();
    return commit(withText(topLeft, text, value));
}

DotArea DotCanvas::invert()
{
    endStroke();
    LogoDots next;
    std::transform(dots_.begin(), dots_.end(), next.begin(), [](bool d) { return !d; });
    return commit(next);
}

DotArea DotCanvas::clear()
{
    endStroke();
    return commit(LogoDots{});
}

DotArea DotCanvas::shift(DotShift direction)
{
    endStroke();
    const int dx = direction == DotShift::Right ? 1 : direction == DotShift::Left ? -1 : 0;
    const int dy = direction == DotShift::Down ? 1 : direction == DotShift::Up ? -1 : 0;
    LogoDots next{};
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            next[logoCellIndex(x, y)] = dot({x - dx, y - dy});
    return commit(next);
}

DotArea DotCanvas::flip(DotFlip axis)
{
    endStroke();
    LogoDots next{};
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            next[logoCellIndex(x, y)] =
                axis == DotFlip::Horizontal ? dot({kLogoWidth - 1 - x, y}) : dot({x, kLogoHeight - 1 - y});
    return commit(next);
}

DotArea DotCanvas::replace(const LogoDots& dots)
{
    endStroke();
    return commit(dots);
}

DotArea DotCanvas::paintStroke()
{
    LogoDots next = dots_;
    for (int i = 0; i < kLogoCellCount; ++i)
        if (strokePath_[i])
            next[i] = strokeValue_;
    const DotArea area = difference(dots_, next);
    dots_ = next;
    return area;
}

DotArea DotCanvas::beginStroke(DotPoint at, bool value)
{
    endStroke();
    stroking_ = true;
    strokeValue_ = value;
    strokeAt_ = at;
    strokeBefore_ = dots_;
    strokePath_ = {};
    put(strokePath_, at, true);
    return paintStroke();
}

DotArea DotCanvas::strokeTo(DotPoint to)
{
    if (!stroking_)
        return {};
    putLine(strokePath_, strokeAt_, to, true);
    strokeAt_ = to;
    return paintStroke();
}

DotArea DotCanvas::setStrokeValue(bool value)
{
    if (!stroking_)
        return {};
    strokeValue_ = value;
    return paintStroke();
}

void DotCanvas::endStroke()
{
    if (!stroking_)
        return;
    stroking_ = false;
    if (strokeBefore_ != dots_)
        remember(strokeBefore_);
}

DotArea DotCanvas::undo()
{
    endStroke();
    if (undo_.empty())
        return {};
    redo_.push_back(dots_);
    const LogoDots previous = undo_.back();
    undo_.pop_back();
    const DotArea area = difference(dots_, previous);
    dots_ = previous;
    return area;
}

DotArea DotCanvas::redo()
{
    endStroke();
    if (redo_.empty())
        return {};
    undo_.push_back(dots_);
    const LogoDots next = redo_.back();
    redo_.pop_back();
    const DotArea area = difference(dots_, next);
    dots_ = next;
    return area;
}

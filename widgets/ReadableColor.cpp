#include "widgets/ReadableColor.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>

namespace {

// Ordinary text needs 4.5:1 to be read without effort.
constexpr double kReadableContrast = 4.5;

double Channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

QColor Mixed(const QColor& from, const QColor& to, double share)
{
    auto mix = [share](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(static_cast<float>(mix(from.redF(), to.redF())),
                            static_cast<float>(mix(from.greenF(), to.greenF())),
                            static_cast<float>(mix(from.blueF(), to.blueF())));
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDarkColor(const QColor& background)
{
    return Luminance(background) < 0.18;
}

QColor readableOn(const QColor& wanted, const QColor& background)
{
    if (contrastRatio(wanted, background) >= kReadableContrast)
        return wanted;
    const QColor end = isDarkColor(background) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step < 20; ++step) {
        const QColor candidate = Mixed(wanted, end, step / 20.0);
        if (contrastRatio(candidate, background) >= kReadableContrast)
            return candidate;
    }
    return end;
}

namespace {

// Runs its adjustment on the widget now and after every change of the
// widget's palette. A change of the application's palette that leaves the
// widget's own palette as it was (only roles the adjustment set differ) is
// followed once all widgets have taken it.
class PaletteFollower final : public QObject {
public:
    PaletteFollower(QWidget& widget, std::function<void(QWidget&)> adjust)
        : QObject(&widget)
        , widget_(widget)
        , adjust_(std::move(adjust))
    {
        widget.installEventFilter(this);
        Adjust();
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            Adjust();
        else if (event->type() == QEvent::ApplicationPaletteChange)
            QTimer::singleShot(0, this, [this] { Adjust(); });
        return false;
    }

private:
    void Adjust()
    {
        // Setting the palette below raises a change of its own.
        if (adjusting_)
            return;
        adjusting_ = true;
        adjust_(widget_);
        adjusting_ = false;
    }

    QWidget& widget_;
    std::function<void(QWidget&)> adjust_;
    bool adjusting_ = false;
};

void SetColours(QWidget& widget, std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours)
{
    QPalette palette = widget.palette();
    bool changed = false;
    for (const auto& [role, colour] : colours) {
        changed = changed || palette.color(role) != colour;
        palette.setColor(role, colour);
    }
    if (changed)
        widget.setPalette(palette);
}

} // namespace

void setReadableTextColor(QWidget& widget, const QColor& wanted, QPalette::ColorRole text,
                          QPalette::ColorRole background)
{
    new PaletteFollower(widget, [wanted, text, background](QWidget& w) {
        SetColours(w, {{text, readableOn(wanted, w.palette().color(background))}});
    });
}

void setReadableTextColor(QWidget& widget, QPalette::ColorRole wanted, QPalette::ColorRole text,
                          QPalette::ColorRole background)
{
    new PaletteFollower(widget, [wanted, text, background](QWidget& w) {
        SetColours(w, {{text, readableOn(w.palette().color(wanted), w.palette().color(background))}});
    });
}

void setReadablePatch(QWidget& widget, const QColor& text, const QColor& patch)
{
    widget.setAutoFillBackground(true);
    new PaletteFollower(widget, [text, patch](QWidget& w) {
        const QPalette around = w.parentWidget() ? w.parentWidget()->palette() : QApplication::palette(&w);
        const QColor window = around.color(QPalette::Window);
        const QColor behind = isDarkColor(window) ? window.lighter(140) : patch;
        SetColours(w, {{QPalette::Window, behind}, {QPalette::WindowText, readableOn(text, behind)}});
    });
}

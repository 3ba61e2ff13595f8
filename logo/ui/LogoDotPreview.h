// The logo's dots drawn as the logo window's matrix draws them (5-pixel cells,
// set dots dark on a lit screen), for showing a result that is not yet applied.
#pragma once

#include <QWidget>

#include "logo/LogoBlocks.h"

class LogoDotPreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCellSize = 5;
    static constexpr int kBorderWidth = 2;

    explicit LogoDotPreview(QWidget* parent = nullptr);

    const LogoDots& dots() const { return dots_; }
    void setDots(const LogoDots& dots);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LogoDots dots_{};
};

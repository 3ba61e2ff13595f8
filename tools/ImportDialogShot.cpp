#include "tools/ImportDialogShot.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <random>

#include "logo/ui/LogoImportDialog.h"

// Sky, sun, two mountain ridges, a lake and sensor noise.
QImage PhotoLikePicture()
{
    const int w = 1200;
    const int h = 800;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(110, 150, 205));
    sky.setColorAt(1, QColor(230, 225, 210));
    p.fillRect(image.rect(), sky);

    QRadialGradient sun(QPointF(w * 0.7, h * 0.25), h * 0.18);
    sun.setColorAt(0, QColor(255, 255, 240));
    sun.setColorAt(0.5, QColor(255, 250, 220));
    sun.setColorAt(1, QColor(255, 250, 220, 0));
    p.fillRect(image.rect(), sun);

    auto ridge = [&](double base, double height, double waves, double phase, QColor top, QColor bottom) {
        QPainterPath path(QPointF(0, h));
        for (int x = 0; x <= w; x += 8)
            path.lineTo(
                x,
                h * base
                    - h * height
                        * (0.6 * std::sin(x * waves / w + phase) + 0.4 * std::sin(x * waves * 2.7 / w + 2 * phase)));
        path.lineTo(w, h);
        QLinearGradient shade(0, h * (base - height), 0, h * base);
        shade.setColorAt(0, top);
        shade.setColorAt(1, bottom);
        p.fillPath(path, shade);
    };
    ridge(0.55, 0.18, 5.0, 0.4, QColor(150, 150, 165), QColor(90, 95, 110));
    ridge(0.68, 0.12, 7.0, 2.1, QColor(60, 70, 60), QColor(25, 30, 25));

    QLinearGradient lake(0, h * 0.72, 0, h);
    lake.setColorAt(0, QColor(120, 140, 160));
    lake.setColorAt(1, QColor(30, 40, 60));
    p.fillRect(QRectF(0, h * 0.78, w, h * 0.22), lake);
    p.end();

    std::mt19937 random(14);
    std::normal_distribution<double> noise(0, 8);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int d = static_cast<int>(noise(random));
            auto channel = [d](int v) { return std::clamp(v + d, 0, 255); };
            line[x] = qRgb(channel(qRed(line[x])), channel(qGreen(line[x])), channel(qBlue(line[x])));
        }
    }
    return image;
}

LogoImportOptions ShotImportOptions()
{
    LogoImportOptions options;
    options.mode = LogoImportMode::Fit;
    options.dither = LogoDither::FloydSteinberg;
    return options;
}

QWidget* LogoImportDialogForShot(QWidget* parent)
{
    static QPointer<LogoImportDialog> dialog;
    if (!dialog) {
        dialog = new LogoImportDialog(PhotoLikePicture(), parent);
        dialog->setOptions(ShotImportOptions());
    }
    return dialog;
}

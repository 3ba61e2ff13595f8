// Unit5: the logo manager window (TForm5).
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "logo/LogoHost.h"

namespace Ui {
class TForm5;
}
class QPushButton;
class QLabel;
class TVrCheckLed;
class TVrIndicator;
class TVrRaster;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(LogoHost& host, QWidget* parent = nullptr);
    ~TForm5() override;

    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    TVrCheckLed* VrCheckLed1;
    QLabel* Image1;
    TVrRaster* VrRaster1;
    TVrIndicator* VrIndicator1;

    // The preview picture; null until a picture is made or loaded.
    const QImage& Picture() const { return picture_; }

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void VrRaster1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void VrRaster1Click();

private:
    // A white 84 x 48 bitmap is made when pixels are needed and none is held.
    QImage& pictureForPixels();
    void showPicture();

    std::unique_ptr<Ui::TForm5> ui_;
    LogoHost& host_;
    QImage picture_;
};

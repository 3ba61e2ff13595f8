// The logo manager window.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "logo/LogoHost.h"

namespace Ui {
class LogoWindow;
}
class QPushButton;
class QLabel;
class CheckLed;
class LedBar;
class DotMatrix;

class LogoWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogoWindow(LogoHost& host, QWidget* parent = nullptr);
    ~LogoWindow() override;

    QPushButton* readButton;
    QPushButton* saveButton;
    QPushButton* writeButton;
    QPushButton* loadButton;
    CheckLed* editLed;
    QLabel* previewLabel;
    DotMatrix* dotMatrix;
    LedBar* progressBar;

    // The preview picture; null until a picture is made or loaded.
    const QImage& Picture() const { return picture_; }

public slots:
    void readFromPhone();
    void saveToFile();
    void writeToPhone();
    void loadFromFile();
    void toggleDot(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void dotMatrixClicked();

private:
    // A white 84 x 48 bitmap is made when pixels are needed and none is held.
    QImage& pictureForPixels();
    void showPicture();

    std::unique_ptr<Ui::LogoWindow> ui_;
    LogoHost& host_;
    QImage picture_;
};

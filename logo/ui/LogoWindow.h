// The logo manager window.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "logo/DotCanvas.h"
#include "logo/LogoHost.h"

namespace Ui {
class LogoWindow;
}
class QPushButton;
class QLabel;
class CheckLed;
class LedBar;
class DotMatrix;
class LogoToolRow;

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
    LogoToolRow* toolRow;

    // The preview picture; null until a picture is made or loaded.
    const QImage& picture() const { return picture_; }

public slots:
    void readFromPhone();
    void saveToFile();
    void writeToPhone();
    void loadFromFile();
    void toggleDot(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void dotMatrixClicked();
    void undo();
    void redo();

protected:
    // Drags and releases on the matrix; it reports only presses itself.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dragTo(DotPoint at);
    void finishDrag(DotPoint at);
    // Applies an edit's result to the matrix and the undo buttons.
    void showDots(const LogoDots& dots);
    void showCanvas();
    // Runs one edit of the canvas and shows it, while editing is allowed.
    void applyEdit(const std::function<void()>& change);

    // A white 84 x 48 bitmap is made when pixels are needed and none is held.
    QImage& pictureForPixels();
    void showPicture();

    std::unique_ptr<Ui::LogoWindow> ui_;
    LogoHost& host_;
    QImage picture_;
    // The dots being edited: a fresh window shows every dot set.
    DotCanvas canvas_{[] {
        LogoDots all;
        all.fill(true);
        return all;
    }()};
    // The button that started a drag on the matrix, and where.
    Qt::MouseButton dragButton_ = Qt::NoButton;
    DotPoint dragStart_;
    DotPoint dragAt_;
    bool dragMoved_ = false;
    bool transferring_ = false;
};

// The logo manager window.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "logo/DotCanvas.h"
#include "logo/LogoBlocks.h"

namespace Ui {
class LogoWindow;
}
class LinkJob;
class LinkWorker;
class TransferGate;

class LogoWindow : public QWidget {
    Q_OBJECT
public:
    // The worker runs the transfers; the gate decides what may be used while
    // one runs. Neither is owned; both outlive the window.
    LogoWindow(LinkWorker& worker, TransferGate& gate, QWidget* parent = nullptr);
    ~LogoWindow() override;

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

signals:
    // A transfer of this window is over.
    void transferEnded();

protected:
    // Drags and releases on the matrix; it reports only presses itself.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // While a transfer of this window runs, closing asks it to stop, says
    // the window waits for the phone, and closes once the transfer is over.
    void closeEvent(QCloseEvent* event) override;

private:
    bool startTransfer(std::function<void(class JobContext&)> work);
    void transferFinished();
    // Paints band block of the matrix from the block's bytes.
    void showBlock(int block, const LogoBlock& data);
    void showReadLogo();
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
    LinkWorker& worker_;
    TransferGate& gate_;
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
    // The window's transfer while one runs.
    LinkJob* job_ = nullptr;
    bool closeWhenDone_ = false;
    QString titleBeforeWaiting_;
};

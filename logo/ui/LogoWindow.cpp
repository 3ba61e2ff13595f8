// The logo manager window.
#include "logo/ui/LogoWindow.h"

#include <QFont>
#include <QMouseEvent>
#include <QPixmap>
#include <QCloseEvent>
#include <array>
#include <utility>

#include "jobs/LinkWorker.h"
#include "logo/LogoBlocks.h"
#include "logo/LogoTransfer.h"
#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "logo/ui/LogoImportDialog.h"
#include "logo/ui/LogoToolRow.h"
#include "widgets/Prompts.h"
#include "widgets/CheckLed.h"
#include "widgets/LedBar.h"
#include "widgets/DotMatrix.h"
#include "widgets/DesignFonts.h"
#include "widgets/TransferGate.h"
#include "widgets/WaitingTitle.h"
#include "ui_LogoWindow.h"

namespace {

// The dot under a point of the matrix while dragging; points beyond the
// edge give dots off the canvas, which the edits clip.
DotPoint dotAt(QPoint at)
{
    const auto cell = [](int pixel) {
        const int inside = pixel - DotMatrix::kBorderWidth;
        return inside >= 0 ? inside / DotMatrix::kCellSize : (inside - DotMatrix::kCellSize + 1) / DotMatrix::kCellSize;
    };
    return {cell(at.x()), cell(at.y())};
}

// The cell a press on the matrix toggles, as it always has:
// a point on the right border belongs to the first cell of the next row.
int pressedCell(QPoint at)
{
    return std::clamp((at.x() - 2) / 5 + (at.y() - 2) / 5 * 84, 0, kLogoCellCount - 1);
}

LogoDots matrixDots(const DotMatrix& matrix)
{
    LogoDots dots{};
    for (int i = 0; i < kLogoCellCount; ++i)
        dots[i] = !matrix.isLit(i);
    return dots;
}

} // namespace

LogoWindow::LogoWindow(LinkWorker& worker, TransferGate& gate, QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::LogoWindow>())
    , worker_(worker)
    , gate_(gate)
{
    installFontSubstitutes();
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));

    ui_->editLed->setCaption(tr("Edit"));
    ui_->editLed->setIndicatorPalette({QColor(0x00, 0x80, 0x00), QColor(0x00, 0xFF, 0x00)});
    ui_->progressBar->setMinimum(-1);
    ui_->progressBar->setMaximum(6);
    ui_->progressBar->setHighLedCount(1);
    ui_->progressBar->setValue(0);

    connect(ui_->readButton, &QPushButton::clicked, this, &LogoWindow::readFromPhone);
    connect(ui_->saveButton, &QPushButton::clicked, this, &LogoWindow::saveToFile);
    connect(ui_->writeButton, &QPushButton::clicked, this, &LogoWindow::writeToPhone);
    connect(ui_->loadButton, &QPushButton::clicked, this, &LogoWindow::loadFromFile);
    connect(ui_->dotMatrix, &DotMatrix::pressed, this, &LogoWindow::toggleDot);
    connect(ui_->dotMatrix, &DotMatrix::clicked, this, &LogoWindow::dotMatrixClicked);
    ui_->dotMatrix->installEventFilter(this);

    connect(ui_->editLed, &CheckLed::toggled, ui_->toolRow, &LogoToolRow::setEditing);
    connect(ui_->editLed, &CheckLed::toggled, ui_->dotMatrix, &DotMatrix::setEditable);
    connect(ui_->dotMatrix, &DotMatrix::cellActivated, this, [this](int cell) {
        applyEdit([this, cell] { canvas_.toggle({cell % kLogoWidth, cell / kLogoWidth}); });
    });
    connect(ui_->toolRow, &LogoToolRow::invertRequested, this, [this] { applyEdit([this] { canvas_.invert(); }); });
    connect(ui_->toolRow, &LogoToolRow::clearRequested, this, [this] { applyEdit([this] { canvas_.clear(); }); });
    connect(ui_->toolRow, &LogoToolRow::shiftRequested, this,
            [this](DotShift direction) { applyEdit([this, direction] { canvas_.shift(direction); }); });
    connect(ui_->toolRow, &LogoToolRow::flipRequested, this,
            [this](DotFlip axis) { applyEdit([this, axis] { canvas_.flip(axis); }); });
    connect(ui_->toolRow, &LogoToolRow::undoRequested, this, &LogoWindow::undo);
    connect(ui_->toolRow, &LogoToolRow::redoRequested, this, &LogoWindow::redo);

    for (QWidget* button : {ui_->readButton, ui_->writeButton})
        gate_.guard(button, TransferGate::Touches::Handset);
    // A read paints the matrix band by band and replaces the picture at its end.
    for (QWidget* control : {static_cast<QWidget*>(ui_->loadButton), static_cast<QWidget*>(ui_->saveButton),
                             static_cast<QWidget*>(ui_->editLed), static_cast<QWidget*>(ui_->toolRow)})
        gate_.guard(control, TransferGate::Touches::LogoData);
}

LogoWindow::~LogoWindow() = default;

bool LogoWindow::startTransfer(std::function<void(JobContext&)> work)
{
    job_ = worker_.start(this, JobData::Logo, std::move(work));
    if (!job_)
        return false;
    setCursor(Qt::WaitCursor);
    ui_->progressBar->setValue(0);
    connect(job_, &LinkJob::progress, ui_->progressBar, [this](int done, int) { ui_->progressBar->setValue(done); });
    connect(job_, &LinkJob::finished, this, &LogoWindow::transferFinished);
    return true;
}

void LogoWindow::transferFinished()
{
    job_ = nullptr;
    unsetCursor();
    ui_->progressBar->setValue(0);
    emit transferEnded();
    if (std::exchange(closeWhenDone_, false)) {
        setWindowTitle(titleBeforeWaiting_);
        close();
    }
}

void LogoWindow::closeEvent(QCloseEvent* event)
{
    if (!job_) {
        QWidget::closeEvent(event);
        return;
    }
    // No transfer runs on behind a closed window: a read stops between two
    // blocks, a write goes on to its end.
    event->ignore();
    if (!closeWhenDone_)
        titleBeforeWaiting_ = windowTitle();
    closeWhenDone_ = true;
    job_->requestStop();
    setWindowTitle(waitingTitle(titleBeforeWaiting_));
}

void LogoWindow::showBlock(int block, const LogoBlock& data)
{
    for (int x = 0; x < kLogoWidth; ++x)
        for (int k = 0; k < 8; ++k)
            ui_->dotMatrix->setLit(logoCellIndex(x, 8 * block + k), (data[static_cast<std::size_t>(x)] >> k & 1) == 0);
}

void LogoWindow::showReadLogo()
{
    const LogoDots dots = matrixDots(*ui_->dotMatrix);
    canvas_.replace(dots);
    showCanvas();
    logoDrawDots(pictureForPixels(), dots);
    showPicture();
}

void LogoWindow::readFromPhone()
{
    if (worker_.isBusy())
        return;
    startTransfer([this](JobContext& job) {
        // A failed read leaves the buffer as it was, so its band repeats the last block received.
        LogoBlock buffer{};
        for (int b = 0; b < kLogoBlockCount; ++b) {
            if (job.stopRequested())
                return;
            const LinkResult<LogoBlock> block = readLogoBlock(job.link(), b);
            if (block)
                buffer = *block;
            else
                job.tell(block.failure());
            job.post([this, b, buffer] { showBlock(b, buffer); });
            job.progress(b + 1, kLogoBlockCount);
        }
        job.post([this] { showReadLogo(); });
    });
}

void LogoWindow::writeToPhone()
{
    if (worker_.isBusy())
        return;
    startTransfer([dots = matrixDots(*ui_->dotMatrix)](JobContext& job) {
        // A write goes on to its end: each block is tried once the one before was.
        for (int b = 0; b < kLogoBlockCount; ++b) {
            job.progress(b + 1, kLogoBlockCount);
            if (const LinkResult<Answered> done = writeLogoBlock(job.link(), b, logoBlockFromDots(dots, b)); !done)
                job.tell(done.failure());
        }
    });
}

void LogoWindow::loadFromFile()
{
    const QString fileName =
        prompts().openFileNameAs(this, tr("Load Bitmap"), logoOpenPictureFilter(), QStringLiteral("Logo"), true);
    LogoDots dots{};
    if (fileName.isEmpty()) {
        dots = logoDotsFromPicture(pictureForPixels());
    } else {
        QImage loaded;
        try {
            loaded = logoLoadPicture(fileName);
        } catch (const PictureError& error) {
            prompts().notice(this, error.message());
            return;
        }
        const std::optional<LogoDots> imported = LogoImportDialog::choose(this, loaded);
        if (!imported)
            return;
        dots = *imported;
        // "Save as Bitmap" writes a picture that loads "As drawn" into this
        // logo: the file itself when it already does, else the dots in black and white.
        if (dots == logoDotsFromPicture(loaded)) {
            picture_ = loaded;
        } else {
            picture_ = logoBlankPicture();
            logoDrawDots(picture_, dots);
        }
    }
    canvas_.replace(dots);
    showCanvas();
    showPicture();
}

void LogoWindow::saveToFile()
{
    if (picture_.isNull()) {
        prompts().notice(this, tr("There is no picture to save yet: load the logo from the phone, load a "
                                  "bitmap or draw one first."));
        return;
    }
    const QString fileName = prompts().saveFileNameAs(this, tr("Save as Bitmap"), logoSavePictureFilter(),
                                                      QStringLiteral("bmp"), QStringLiteral("Logo"));
    if (fileName.isEmpty())
        return;
    try {
        exportLogoPicture(picture_, fileName);
    } catch (const PictureError& error) {
        prompts().notice(this, error.message());
    }
}

void LogoWindow::toggleDot(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    if (!ui_->editLed->isChecked() || job_ || dragButton_ != Qt::NoButton)
        return;
    const int index = pressedCell(QPoint(X, Y));
    const DotPoint at{index % kLogoWidth, index / kLogoWidth};
    dragButton_ = Button;
    dragStart_ = at;
    dragAt_ = at;
    dragMoved_ = false;
    const bool value = Button != Qt::RightButton;
    switch (ui_->toolRow->tool()) {
    case LogoTool::Pen:
        canvas_.beginStroke(at, !canvas_.dot(at));
        showCanvas();
        break;
    case LogoTool::Line:
        showDots(canvas_.withLine(at, at, value));
        break;
    case LogoTool::Rectangle:
        showDots(canvas_.withRectangle(at, at, value));
        break;
    case LogoTool::Fill:
        dragButton_ = Qt::NoButton;
        canvas_.fill(at, value);
        showCanvas();
        break;
    case LogoTool::Text:
        showDots(canvas_.withText(at, ui_->toolRow->text().toStdU32String(), value));
        break;
    }
}

bool LogoWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->dotMatrix && dragButton_ != Qt::NoButton
        && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point = mouse->position().toPoint();
        // Wherever the press rule still gives the pressed cell, the mouse has not left it.
        const DotPoint at = pressedCell(point) == logoCellIndex(dragStart_.x, dragStart_.y) ? dragStart_ : dotAt(point);
        if (event->type() == QEvent::MouseMove)
            dragTo(at);
        else if (mouse->button() == dragButton_)
            finishDrag(at);
    }
    return QWidget::eventFilter(watched, event);
}

void LogoWindow::dragTo(DotPoint at)
{
    if (at == dragAt_)
        return;
    dragAt_ = at;
    const bool value = dragButton_ != Qt::RightButton;
    switch (ui_->toolRow->tool()) {
    case LogoTool::Pen:
        // The press toggled its dot; once the mouse leaves it the whole
        // stroke paints by button. Other buttons only toggle.
        if (dragButton_ != Qt::LeftButton && dragButton_ != Qt::RightButton)
            return;
        if (!dragMoved_)
            canvas_.setStrokeValue(value);
        dragMoved_ = true;
        canvas_.strokeTo(at);
        showCanvas();
        break;
    case LogoTool::Line:
        showDots(canvas_.withLine(dragStart_, at, value));
        break;
    case LogoTool::Rectangle:
        showDots(canvas_.withRectangle(dragStart_, at, value));
        break;
    case LogoTool::Text:
        showDots(canvas_.withText(at, ui_->toolRow->text().toStdU32String(), value));
        break;
    case LogoTool::Fill:
        break;
    }
}

void LogoWindow::finishDrag(DotPoint at)
{
    dragTo(at);
    const bool value = dragButton_ != Qt::RightButton;
    dragButton_ = Qt::NoButton;
    switch (ui_->toolRow->tool()) {
    case LogoTool::Pen:
        canvas_.endStroke();
        break;
    case LogoTool::Line:
        canvas_.line(dragStart_, at, value);
        break;
    case LogoTool::Rectangle:
        canvas_.rectangle(dragStart_, at, value);
        break;
    case LogoTool::Text:
        canvas_.text(at, ui_->toolRow->text().toStdU32String(), value);
        break;
    case LogoTool::Fill:
        break;
    }
    showCanvas();
}

void LogoWindow::undo()
{
    applyEdit([this] { canvas_.undo(); });
}

void LogoWindow::redo()
{
    applyEdit([this] { canvas_.redo(); });
}

void LogoWindow::applyEdit(const std::function<void()>& change)
{
    // A transfer paints the matrix block by block while events run; an edit
    // then would repaint it from the canvas. A drag finishes first.
    if (!ui_->editLed->isChecked() || job_ || dragButton_ != Qt::NoButton)
        return;
    change();
    showCanvas();
}

void LogoWindow::showDots(const LogoDots& dots)
{
    for (int i = 0; i < kLogoCellCount; ++i)
        ui_->dotMatrix->setLit(i, !dots[i]);
}

void LogoWindow::showCanvas()
{
    showDots(canvas_.dots());
    ui_->toolRow->setHistory(canvas_.canUndo(), canvas_.canRedo());
    // The preview, and so "Save as Bitmap", shows what the matrix shows: a
    // loaded picture does already; edits are drawn over its top-left corner,
    // or over a white one once something was drawn on a fresh window.
    if (picture_.isNull() ? canvas_.canUndo() : logoDotsFromPicture(picture_) != canvas_.dots()) {
        logoDrawDots(pictureForPixels(), canvas_.dots());
        showPicture();
    }
}

void LogoWindow::dotMatrixClicked()
{ }

QImage& LogoWindow::pictureForPixels()
{
    if (picture_.isNull())
        picture_ = logoBlankPicture();
    return picture_;
}

void LogoWindow::showPicture()
{
    ui_->previewLabel->setPixmap(QPixmap::fromImage(picture_));
}

// The logo manager window.
#include "logo/ui/LogoWindow.h"

#include <QFont>
#include <QPixmap>
#include <array>

#include "logo/LogoBlocks.h"
#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "widgets/Prompts.h"
#include "widgets/CheckLed.h"
#include "widgets/LedBar.h"
#include "widgets/DotMatrix.h"
#include "widgets/DesignFonts.h"
#include "ui_LogoWindow.h"

namespace {

// Restores the started button, the pointer and the step indicator however a transfer ends.
class TransferScope {
public:
    TransferScope(QWidget& window, QPushButton& button, LedBar& indicator)
        : window_(window)
        , button_(button)
        , indicator_(indicator)
    {
        button_.setEnabled(false);
        window_.setCursor(Qt::WaitCursor);
        indicator_.SetPosition(0);
    }
    ~TransferScope()
    {
        window_.unsetCursor();
        button_.setEnabled(true);
        indicator_.SetPosition(0);
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    QWidget& window_;
    QPushButton& button_;
    LedBar& indicator_;
};

} // namespace

LogoWindow::LogoWindow(LogoHost& host, QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::LogoWindow>())
    , host_(host)
{
    InstallFontSubstitutes();
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    readButton = ui_->readButton;
    saveButton = ui_->saveButton;
    writeButton = ui_->writeButton;
    loadButton = ui_->loadButton;
    editLed = ui_->editLed;
    previewLabel = ui_->previewLabel;
    dotMatrix = ui_->dotMatrix;
    progressBar = ui_->progressBar;

    editLed->SetCaption(QStringLiteral("Edit"));
    editLed->SetPalette({QColor(0x00, 0x80, 0x00), QColor(0x00, 0xFF, 0x00)});
    progressBar->SetMin(-1);
    progressBar->SetMax(6);
    progressBar->SetLedsHigh(1);
    progressBar->SetPosition(0);

    connect(readButton, &QPushButton::clicked, this, &LogoWindow::readFromPhone);
    connect(saveButton, &QPushButton::clicked, this, &LogoWindow::saveToFile);
    connect(writeButton, &QPushButton::clicked, this, &LogoWindow::writeToPhone);
    connect(loadButton, &QPushButton::clicked, this, &LogoWindow::loadFromFile);
    connect(dotMatrix, &DotMatrix::MouseDown, this, &LogoWindow::toggleDot);
    connect(dotMatrix, &DotMatrix::Click, this, &LogoWindow::dotMatrixClicked);
}

LogoWindow::~LogoWindow() = default;

void LogoWindow::readFromPhone()
{
    TransferScope scope(*this, *readButton, *progressBar);
    // A failed read leaves the buffer as it was, so its band repeats the last block received.
    LogoBlock buffer{};
    for (int b = 0; b < LogoBlockCount; ++b) {
        if (const std::optional<LogoBlock> block = host_.readLogoBlock(b))
            buffer = *block;
        progressBar->SetPosition(b + 1);
        for (int x = 0; x < LogoWidth; ++x)
            for (int k = 0; k < 8; ++k)
                dotMatrix->SetItems(LogoCellIndex(x, 8 * b + k), (buffer[x] >> k & 1) == 0);
    }
    LogoDots dots{};
    for (int i = 0; i < LogoCellCount; ++i)
        dots[i] = !dotMatrix->Items(i);
    LogoDrawDots(pictureForPixels(), dots);
    showPicture();
}

void LogoWindow::writeToPhone()
{
    TransferScope scope(*this, *writeButton, *progressBar);
    LogoDots dots{};
    for (int i = 0; i < LogoCellCount; ++i)
        dots[i] = !dotMatrix->Items(i);
    for (int b = 0; b < LogoBlockCount; ++b) {
        LogoBlock buffer = LogoBlockFromDots(dots, b);
        progressBar->SetPosition(b + 1);
        host_.writeLogoBlock(b, buffer);
    }
}

void LogoWindow::loadFromFile()
{
    const QString fileName = prompts().OpenFileNameAs(this, QStringLiteral("Load Bitmap"), LogoOpenPictureFilter(),
                                                      QStringLiteral("Logo"), true);
    if (!fileName.isEmpty()) {
        try {
            picture_ = LogoLoadPicture(fileName);
        } catch (const PictureError& error) {
            prompts().Notice(this, error.Message);
            return;
        }
    }
    const LogoDots dots = LogoDotsFromPicture(pictureForPixels());
    for (int i = 0; i < LogoCellCount; ++i)
        dotMatrix->SetItems(i, !dots[i]);
    showPicture();
}

void LogoWindow::saveToFile()
{
    const QString fileName = prompts().SaveFileNameAs(this, QStringLiteral("Save as Bitmap"),
                                                      logoSavePictureFilter(),
                                                      QStringLiteral("bmp"), QStringLiteral("Logo"));
    if (fileName.isEmpty())
        return;
    if (picture_.isNull()) {
        prompts().Notice(this,
                         QStringLiteral("There is no picture to save yet: load the logo from the phone or "
                                        "load a bitmap first."));
        return;
    }
    try {
        exportLogoPicture(picture_, fileName);
    } catch (const PictureError& error) {
        prompts().Notice(this, error.Message);
    }
}

void LogoWindow::toggleDot(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)
{
    if (!editLed->Checked())
        return;
    int index = (X - 2) / 5 + (Y - 2) / 5 * 84;
    index = std::clamp(index, 0, LogoCellCount - 1);
    dotMatrix->SetItems(index, !dotMatrix->Items(index));
}

void LogoWindow::dotMatrixClicked()
{ }

QImage& LogoWindow::pictureForPixels()
{
    if (picture_.isNull())
        picture_ = LogoBlankPicture();
    return picture_;
}

void LogoWindow::showPicture()
{
    previewLabel->setPixmap(QPixmap::fromImage(picture_));
}

// Unit5: the logo manager window (TForm5).
#include "logo/ui/Unit5.h"

#include <QFont>
#include <QPixmap>
#include <array>

#include "logo/LogoBlocks.h"
#include "logo/LogoPicture.h"
#include "widgets/Prompts.h"
#include "widgets/VrCheckLed.h"
#include "widgets/VrIndicator.h"
#include "widgets/VrRaster.h"
#include "widgets/DesignFonts.h"
#include "ui_Unit5.h"

namespace {

// Restores the started button, the pointer and the step indicator however a transfer ends.
class TransferScope {
public:
    TransferScope(QWidget& window, QPushButton& button, TVrIndicator& indicator)
        : window_(window), button_(button), indicator_(indicator)
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
    TVrIndicator& indicator_;
};

} // namespace

TForm5::TForm5(LogoHost& host, QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm5>()), host_(host)
{
    InstallFontSubstitutes();
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    BitBtn1 = ui_->BitBtn1;
    BitBtn2 = ui_->BitBtn2;
    BitBtn3 = ui_->BitBtn3;
    BitBtn4 = ui_->BitBtn4;
    VrCheckLed1 = ui_->VrCheckLed1;
    Image1 = ui_->Image1;
    VrRaster1 = ui_->VrRaster1;
    VrIndicator1 = ui_->VrIndicator1;

    VrCheckLed1->SetCaption(QStringLiteral("Edit"));
    VrCheckLed1->SetPalette({QColor(0x00, 0x80, 0x00), QColor(0x00, 0xFF, 0x00)});
    VrIndicator1->SetMin(-1);
    VrIndicator1->SetMax(6);
    VrIndicator1->SetLedsHigh(1);
    VrIndicator1->SetPosition(0);

    connect(BitBtn1, &QPushButton::clicked, this, &TForm5::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm5::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm5::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm5::BitBtn4Click);
    connect(VrRaster1, &TVrRaster::MouseDown, this, &TForm5::VrRaster1MouseDown);
    connect(VrRaster1, &TVrRaster::Click, this, &TForm5::VrRaster1Click);
}

TForm5::~TForm5() = default;

void TForm5::BitBtn1Click()
{
    TransferScope scope(*this, *BitBtn1, *VrIndicator1);
    // A failed read leaves the buffer as it was, so its band repeats the last block received.
    LogoBlock buffer{};
    for (int b = 0; b < LogoBlockCount; ++b) {
        bool ok = false;
        int block = b;
        host_.GetBitmap(buffer.data(), block, ok);
        VrIndicator1->SetPosition(b + 1);
        for (int x = 0; x < LogoWidth; ++x)
            for (int k = 0; k < 8; ++k)
                VrRaster1->SetItems(LogoCellIndex(x, 8 * b + k), (buffer[x] >> k & 1) == 0);
    }
    LogoDots dots{};
    for (int i = 0; i < LogoCellCount; ++i)
        dots[i] = !VrRaster1->Items(i);
    LogoDrawDots(pictureForPixels(), dots);
    showPicture();
}

void TForm5::BitBtn3Click()
{
    TransferScope scope(*this, *BitBtn3, *VrIndicator1);
    LogoDots dots{};
    for (int i = 0; i < LogoCellCount; ++i)
        dots[i] = !VrRaster1->Items(i);
    for (int b = 0; b < LogoBlockCount; ++b) {
        LogoBlock buffer = LogoBlockFromDots(dots, b);
        VrIndicator1->SetPosition(b + 1);
        bool ok = false;
        int block = b;
        host_.PutBitmap(buffer.data(), block, ok);
    }
}

void TForm5::BitBtn4Click()
{
    const QString fileName = prompts().OpenFileNameAs(this, QStringLiteral("Load Bitmap"), LogoOpenPictureFilter(), QStringLiteral("Logo"), true);
    if (!fileName.isEmpty()) {
        try {
            picture_ = LogoLoadPicture(fileName);
        } catch (const EPictureError& error) {
            prompts().Notice(this, error.Message);
            return;
        }
    }
    const LogoDots dots = LogoDotsFromPicture(pictureForPixels());
    for (int i = 0; i < LogoCellCount; ++i)
        VrRaster1->SetItems(i, !dots[i]);
    showPicture();
}

void TForm5::BitBtn2Click()
{
    const QString fileName = prompts().SaveFileNameAs(
        this, QStringLiteral("Save as Bitmap"), QStringLiteral("Windows Bitmap (*.bmp);;All files (*)"),
        QStringLiteral("bmp"), QStringLiteral("Logo"));
    if (fileName.isEmpty())
        return;
    if (picture_.isNull()) {
        prompts().Notice(this, QStringLiteral("There is no picture to save yet: load the logo from the phone or "
                                              "load a bitmap first."));
        return;
    }
    try {
        LogoSavePicture(picture_, fileName);
    } catch (const EPictureError& error) {
        prompts().Notice(this, error.Message);
    }
}

void TForm5::VrRaster1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)
{
    if (!VrCheckLed1->Checked())
        return;
    int index = (X - 2) / 5 + (Y - 2) / 5 * 84;
    index = std::clamp(index, 0, LogoCellCount - 1);
    VrRaster1->SetItems(index, !VrRaster1->Items(index));
}

void TForm5::VrRaster1Click() {}

QImage& TForm5::pictureForPixels()
{
    if (picture_.isNull())
        picture_ = LogoBlankPicture();
    return picture_;
}

void TForm5::showPicture()
{
    Image1->setPixmap(QPixmap::fromImage(picture_));
}

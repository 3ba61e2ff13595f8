#include "app/AboutDialog.h"

#include "widgets/DesignFonts.h"
#include "widgets/ReadableColor.h"
#include "widgets/TextFit.h"
#include "ui_AboutDialog.h"

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::AboutDialog>())
{
    // The picture lives in this static library's resources, which the linker
    // drops unless something refers to them; the form needs it at set-up.
    Q_INIT_RESOURCE(app);
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));
    setFixedSize(size());
    // Opens where it was designed rather than centred over the main window.
    move(189, 109);

    setReadablePatch(*ui_->authorLabel, QColor(0x80, 0, 0x80), QColor(0xC0, 0xC0, 0xC0));
    setReadableTextColor(*ui_->emailLabel, QColor(0, 0, 0x80));
    for (QLabel* label : {ui_->authorLabel, ui_->emailLabel})
        fitLabelToText(*label);
    ui_->versionLabel->setFont(designFont("Arial", 12, true));
    ui_->versionLabel->setHighlightColor(QColor(0xC0, 0xC0, 0xC0));
    ui_->versionLabel->setShadowColor(Qt::red);
    ui_->versionLabel->setCaption(tr("Thanks to NMT keepers!"));
    fitLabelToText(*ui_->versionLabel);
}

AboutDialog::~AboutDialog() = default;

#include "app/Unit3.h"

#include "widgets/DesignFonts.h"
#include "widgets/TextFit.h"
#include "ui_Unit3.h"

TAbout::TAbout(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAbout>())
{
    // The picture lives in this static library's resources, which the linker
    // drops unless something refers to them; the form needs it at set-up.
    Q_INIT_RESOURCE(app);
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    setFixedSize(size());
    // Opens where it was designed rather than centred over the main window.
    move(189, 109);

    ui_->RxLabel1->setStyleSheet("color: purple; background: silver;");
    ui_->RxLabel2->setStyleSheet("color: navy;");
    for (QLabel* label : {ui_->RxLabel1, ui_->RxLabel2})
        FitLabelToText(*label);
    ui_->VrLabel1->setFont(DesignFont("Arial", 12, true));
    ui_->VrLabel1->SetHighlightColor(QColor(0xC0, 0xC0, 0xC0));
    ui_->VrLabel1->SetShadowColor(Qt::red);
    ui_->VrLabel1->SetCaption("Thanks to NMT keepers!");
    FitLabelToText(*ui_->VrLabel1);
}

TAbout::~TAbout() = default;

#include "Unit3.h"

#include "DesignFonts.h"
#include "ui_Unit3.h"

TAbout::TAbout(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAbout>())
{
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    setFixedSize(size());

    ui_->RxLabel1->setStyleSheet("color: purple; background: silver;");
    ui_->RxLabel2->setStyleSheet("color: navy;");
    ui_->VrLabel1->setFont(DesignFont("Arial", 12, true));
    ui_->VrLabel1->SetCaption("Thanks to all NMT keepers!");
}

TAbout::~TAbout() = default;

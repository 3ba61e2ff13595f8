// Unit4: the "Edit record" dialog of the phonebook window.
#include "phonebook/ui/Unit4.h"

#include "widgets/DesignFonts.h"
#include "ui_Unit4.h"

namespace {

constexpr int NameChars = 16;
constexpr int NumberChars = 30;

// "x": any character; "#": a digit, "+" or "-"; every position may stay blank.
QString MaskOf(QChar kind, int positions)
{
    return QString(positions, kind) + QStringLiteral("; ");
}

QString Displayed(const QLineEdit* edit, int positions)
{
    return edit->displayText().leftJustified(positions, QLatin1Char(' '), true);
}

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TForm4>())
{
    ui_->setupUi(this);
    Label1 = ui_->Label1;
    Label2 = ui_->Label2;
    MaskEdit1 = ui_->MaskEdit1;
    MaskEdit2 = ui_->MaskEdit2;
    BitBtn1 = ui_->BitBtn1;
    BitBtn2 = ui_->BitBtn2;
    setFont(DesignFont("MS Sans Serif", 11));
    MaskEdit1->setInputMask(MaskOf(QLatin1Char('x'), NameChars));
    MaskEdit2->setInputMask(MaskOf(QLatin1Char('#'), NumberChars));
}

TForm4::~TForm4() = default;

QString TForm4::NameText() const
{
    return Displayed(MaskEdit1, NameChars);
}

QString TForm4::NumberText() const
{
    return Displayed(MaskEdit2, NumberChars);
}

void TForm4::SetRecord(const QString& name, const QString& number)
{
    MaskEdit1->setText(name);
    MaskEdit2->setText(number);
}

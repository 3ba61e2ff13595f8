// Unit4: the "Edit record" dialog of the phonebook window.
#include "Unit4.h"

#include "WindowFonts.h"

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

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setFont(DialogFont());
    MaskEdit1->setInputMask(MaskOf(QLatin1Char('x'), NameChars));
    MaskEdit2->setInputMask(MaskOf(QLatin1Char('#'), NumberChars));
}

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

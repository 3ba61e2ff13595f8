// The "Edit record" dialog of the phonebook window.
#include "phonebook/ui/RecordEditor.h"

#include "widgets/DesignFonts.h"
#include "ui_RecordEditor.h"

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

RecordEditor::RecordEditor(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::RecordEditor>())
{
    ui_->setupUi(this);
    nameLabel = ui_->nameLabel;
    numberLabel = ui_->numberLabel;
    nameEdit = ui_->nameEdit;
    numberEdit = ui_->numberEdit;
    okButton = ui_->okButton;
    cancelButton = ui_->cancelButton;
    setFont(designFont("MS Sans Serif", 11));
    nameEdit->setInputMask(MaskOf(QLatin1Char('x'), NameChars));
    numberEdit->setInputMask(MaskOf(QLatin1Char('#'), NumberChars));
}

RecordEditor::~RecordEditor() = default;

QString RecordEditor::NameText() const
{
    return Displayed(nameEdit, NameChars);
}

QString RecordEditor::NumberText() const
{
    return Displayed(numberEdit, NumberChars);
}

void RecordEditor::SetRecord(const QString& name, const QString& number)
{
    nameEdit->setText(name);
    numberEdit->setText(number);
}

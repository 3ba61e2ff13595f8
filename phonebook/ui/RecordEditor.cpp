// The "Edit record" dialog of the phonebook window.
#include "phonebook/ui/RecordEditor.h"

#include "widgets/DesignFonts.h"
#include "ui_RecordEditor.h"

namespace {

constexpr int kNameChars = 16;
constexpr int kNumberChars = 30;

// "x": any character; "#": a digit, "+" or "-"; every position may stay blank.
QString maskOf(QChar kind, int positions)
{
    return QString(positions, kind) + QStringLiteral("; ");
}

QString displayed(const QLineEdit* edit, int positions)
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
    nameEdit->setInputMask(maskOf(QLatin1Char('x'), kNameChars));
    numberEdit->setInputMask(maskOf(QLatin1Char('#'), kNumberChars));
}

RecordEditor::~RecordEditor() = default;

QString RecordEditor::nameText() const
{
    return displayed(nameEdit, kNameChars);
}

QString RecordEditor::numberText() const
{
    return displayed(numberEdit, kNumberChars);
}

void RecordEditor::setRecord(const QString& name, const QString& number)
{
    nameEdit->setText(name);
    numberEdit->setText(number);
}

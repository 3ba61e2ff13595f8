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
    setFont(designFont("MS Sans Serif", 11));
    ui_->nameEdit->setInputMask(maskOf(QLatin1Char('x'), kNameChars));
    ui_->numberEdit->setInputMask(maskOf(QLatin1Char('#'), kNumberChars));
}

RecordEditor::~RecordEditor() = default;

QString RecordEditor::nameText() const
{
    return displayed(ui_->nameEdit, kNameChars);
}

QString RecordEditor::numberText() const
{
    return displayed(ui_->numberEdit, kNumberChars);
}

void RecordEditor::setRecord(const QString& name, const QString& number)
{
    ui_->nameEdit->setText(name);
    ui_->numberEdit->setText(number);
}

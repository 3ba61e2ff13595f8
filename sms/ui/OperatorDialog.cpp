// The operator settings dialog, where one operator profile is typed.
#include "sms/ui/OperatorDialog.h"

#include "sms/OperatorValueList.h"
#include "ui_OperatorDialog.h"

#include "widgets/DesignFonts.h"
#include "widgets/ReadableColor.h"
#include "widgets/TextFit.h"
#include "text/WinText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

OperatorDialog::OperatorDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::OperatorDialog>())
{
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));
    ui_->operatorLabel->setFont(designFont("MS Sans Serif", 11, true));
    ui_->operatorEdit->setFont(designFont("MS Sans Serif", 11, true, true));
    // Labels size themselves to their captions; the URL caption has a fixed width.
    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui_->urlLabel)
            label->adjustSize();
    // Its edit box follows on the same line.
    narrowLabelToEndBefore(*ui_->numberFieldLabel, ui_->numberFieldEdit->x());
    setReadableTextColor(*ui_->operatorEdit, Qt::blue, QPalette::Text, QPalette::Base);

    // Texts are stored as typed: no completion to an item's spelling.
    ui_->methodBox->setCompleter(nullptr);
    ui_->charsetBox->setCompleter(nullptr);
    ui_->methodBox->setCurrentText("POST");
    ui_->charsetBox->setCurrentText("KOI8R");

    ui_->okButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui_->cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

OperatorDialog::~OperatorDialog() = default;

void OperatorDialog::emptyEditBoxes()
{
    // An editable combo box carries a line edit of its own; its text is not a field to empty.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()))
            continue;
        edit->clear();
    }
}

QWidget* OperatorDialog::fieldFor(std::size_t keyIndex) const
{
    QWidget* const fields[kProfileKeyCount] = {
        ui_->urlEdit,        ui_->numberFieldEdit, ui_->prefixEdit,      ui_->textFieldEdit,
        ui_->methodBox,      ui_->submitNameEdit,  ui_->submitValueEdit, ui_->replyEdit,
        ui_->charsetBox,     ui_->refererEdit,     ui_->loginEdit,       ui_->passwordEdit,
        ui_->extraName1Edit, ui_->extraValue1Edit, ui_->extraName2Edit,  ui_->extraValue2Edit,
    };
    return keyIndex < kProfileKeyCount ? fields[keyIndex] : nullptr;
}

QString OperatorDialog::fieldText(std::size_t keyIndex) const
{
    QWidget* field = fieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        return combo->currentText();
    return static_cast<QLineEdit*>(field)->text();
}

void OperatorDialog::setFieldText(std::size_t keyIndex, const QString& text)
{
    QWidget* field = fieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        combo->setCurrentText(text);
    else
        static_cast<QLineEdit*>(field)->setText(text);
}

void OperatorDialog::fill(const std::string& name, const OperatorValueList& values)
{
    ui_->operatorEdit->setText(fromWin1251(name));
    const ProfileTexts stored = profileTextsFrom(values);
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        setFieldText(i, fromWin1251(stored[i]));
}

std::string OperatorDialog::operatorName() const
{
    return toWin1251(ui_->operatorEdit->text());
}

ProfileTexts OperatorDialog::texts() const
{
    ProfileTexts typed;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        typed[i] = toWin1251(fieldText(i));
    return typed;
}

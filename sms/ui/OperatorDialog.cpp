// The operator settings dialog, where one operator profile is typed.
#include "sms/ui/OperatorDialog.h"

#include "sms/OperatorValues.h"
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
    setFont(DesignFont("MS Sans Serif", 11));
    ui_->operatorLabel->setFont(DesignFont("MS Sans Serif", 11, true));
    ui_->operatorEdit->setFont(DesignFont("MS Sans Serif", 11, true, true));
    // Labels size themselves to their captions; the URL caption has a fixed width.
    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui_->urlLabel)
            label->adjustSize();
    // Its edit box follows on the same line.
    NarrowLabelToEndBefore(*ui_->numberFieldLabel, ui_->numberFieldEdit->x());
    SetReadableTextColor(*ui_->operatorEdit, Qt::blue, QPalette::Text, QPalette::Base);

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

void OperatorDialog::EmptyEditBoxes()
{
    // An editable combo box carries a line edit of its own; its text is not a field to empty.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()))
            continue;
        edit->clear();
    }
}

QWidget* OperatorDialog::FieldFor(std::size_t keyIndex) const
{
    QWidget* const fields[kProfileKeyCount] = {
        ui_->urlEdit,        ui_->numberFieldEdit, ui_->prefixEdit,      ui_->textFieldEdit,
        ui_->methodBox,      ui_->submitNameEdit,  ui_->submitValueEdit, ui_->replyEdit,
        ui_->charsetBox,     ui_->refererEdit,     ui_->loginEdit,       ui_->passwordEdit,
        ui_->extraName1Edit, ui_->extraValue1Edit, ui_->extraName2Edit,  ui_->extraValue2Edit,
    };
    return keyIndex < kProfileKeyCount ? fields[keyIndex] : nullptr;
}

QString OperatorDialog::FieldText(std::size_t keyIndex) const
{
    QWidget* field = FieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        return combo->currentText();
    return static_cast<QLineEdit*>(field)->text();
}

void OperatorDialog::SetFieldText(std::size_t keyIndex, const QString& text)
{
    QWidget* field = FieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        combo->setCurrentText(text);
    else
        static_cast<QLineEdit*>(field)->setText(text);
}

void OperatorDialog::Fill(const std::string& name, const OperatorValueList& values)
{
    ui_->operatorEdit->setText(fromWin1251(name));
    const ProfileTexts texts = ProfileTextsFrom(values);
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        SetFieldText(i, fromWin1251(texts[i]));
}

std::string OperatorDialog::OperatorName() const
{
    return toWin1251(ui_->operatorEdit->text());
}

ProfileTexts OperatorDialog::Texts() const
{
    ProfileTexts texts;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        texts[i] = toWin1251(FieldText(i));
    return texts;
}

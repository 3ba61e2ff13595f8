// FFOpSet: the operator settings dialog, where one operator profile is typed.
#include "sms/ui/FFOpSet.h"

#include "sms/OperatorValues.h"
#include "ui_FFOpSet.h"

#include "widgets/DesignFonts.h"
#include "widgets/TextFit.h"
#include "widgets/WinText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

TFOpSet::TFOpSet(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TFOpSet>())
{
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    ui_->lOperator->setFont(DesignFont("MS Sans Serif", 11, true));
    ui_->eOperator->setFont(DesignFont("MS Sans Serif", 11, true, true));
    // Labels size themselves to their captions; the URL caption has a fixed width.
    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui_->lURL)
            label->adjustSize();
    // Its edit box follows on the same line.
    NarrowLabelToEndBefore(*ui_->lNumField, ui_->eNumField->x());
    QPalette blue = ui_->eOperator->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    ui_->eOperator->setPalette(blue);

    // Texts are stored as typed: no completion to an item's spelling.
    ui_->Method->setCompleter(nullptr);
    ui_->cEnc->setCompleter(nullptr);
    ui_->Method->setCurrentText("POST");
    ui_->cEnc->setCurrentText("KOI8R");

    ui_->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui_->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFOpSet::~TFOpSet() = default;

void TFOpSet::EmptyEditBoxes()
{
    // An editable combo box carries a line edit of its own; its text is not a field to empty.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()))
            continue;
        edit->clear();
    }
}

QWidget* TFOpSet::FieldFor(std::size_t keyIndex) const
{
    QWidget* const fields[kProfileKeyCount] = {
        ui_->eURL, ui_->eNumField, ui_->ePref, ui_->eTextField, ui_->Method, ui_->eActName,
        ui_->eActVal, ui_->eReply, ui_->cEnc, ui_->eReferer, ui_->eLogin, ui_->ePassw,
        ui_->eAdName1, ui_->eAdVal1, ui_->eAdName2, ui_->eAdVal2,
    };
    return keyIndex < kProfileKeyCount ? fields[keyIndex] : nullptr;
}

QString TFOpSet::FieldText(std::size_t keyIndex) const
{
    QWidget* field = FieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        return combo->currentText();
    return static_cast<QLineEdit*>(field)->text();
}

void TFOpSet::SetFieldText(std::size_t keyIndex, const QString& text)
{
    QWidget* field = FieldFor(keyIndex);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        combo->setCurrentText(text);
    else
        static_cast<QLineEdit*>(field)->setText(text);
}

void TFOpSet::Fill(const std::string& name, const OperatorValueList& values)
{
    ui_->eOperator->setText(FromWin1251(name));
    const ProfileTexts texts = ProfileTextsFrom(values);
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        SetFieldText(i, FromWin1251(texts[i]));
}

std::string TFOpSet::OperatorName() const
{
    return ToWin1251(ui_->eOperator->text());
}

ProfileTexts TFOpSet::Texts() const
{
    ProfileTexts texts;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        texts[i] = ToWin1251(FieldText(i));
    return texts;
}

// The operator settings dialog, where one operator profile is typed.
#pragma once

#include "sms/OperatorProfile.h"

#include <QDialog>

#include <memory>
#include <string>

class OperatorValueList;
class QLineEdit;
class QComboBox;

namespace Ui {
class OperatorDialog;
}

class OperatorDialog : public QDialog {
    Q_OBJECT
public:
    explicit OperatorDialog(QWidget* parent = nullptr);
    ~OperatorDialog() override;

    // Empties every single-line edit box of the dialog; the two combo boxes
    // keep what they show.
    void emptyEditBoxes();
    // operatorEdit gets name, every other field its key's value ("" when absent);
    // the combo boxes take the stored text whether or not it is an item.
    void fill(const std::string& name, const OperatorValueList& values);

    // The texts as typed, in Windows-1251.
    std::string operatorName() const;
    ProfileTexts texts() const;

    // The field that edits a profile key (a line edit or a combo box).
    QWidget* fieldFor(std::size_t keyIndex) const;

private:
    QString fieldText(std::size_t keyIndex) const;
    void setFieldText(std::size_t keyIndex, const QString& text);

    std::unique_ptr<Ui::OperatorDialog> ui_;
};

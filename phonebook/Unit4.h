// Unit4: the "Edit record" dialog of the phonebook window.
#pragma once

#include "ui_Unit4.h"

#include <QDialog>

class TForm4 : public QDialog, public Ui::TForm4 {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);

    // The fields' texts as displayed: empty positions are spaces, so the name
    // comes back 16 characters long and the number 30.
    QString NameText() const;
    QString NumberText() const;
    void SetRecord(const QString& name, const QString& number);
};

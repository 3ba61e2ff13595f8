// The "Edit record" dialog of the phonebook window.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class RecordEditor;
}

class RecordEditor : public QDialog {
    Q_OBJECT

public:
    explicit RecordEditor(QWidget* parent = nullptr);
    ~RecordEditor() override;

    // The fields' texts as displayed: empty positions are spaces, so the name
    // comes back 16 characters long and the number 30.
    QString nameText() const;
    QString numberText() const;
    void setRecord(const QString& name, const QString& number);

private:
    std::unique_ptr<Ui::RecordEditor> ui_;
};

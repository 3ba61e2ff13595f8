// Unit4: the "Edit record" dialog of the phonebook window.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
namespace Ui {
class TForm4;
}

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    // The fields' texts as displayed: empty positions are spaces, so the name
    // comes back 16 characters long and the number 30.
    QString NameText() const;
    QString NumberText() const;
    void SetRecord(const QString& name, const QString& number);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* MaskEdit1;
    QLineEdit* MaskEdit2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    std::unique_ptr<Ui::TForm4> ui_;
};

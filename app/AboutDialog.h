// The About box.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutDialog;
}

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    Ui::AboutDialog* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

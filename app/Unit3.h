// Unit3: the About box.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAbout;
}

class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);
    ~TAbout() override;

    Ui::TAbout* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TAbout> ui_;
};

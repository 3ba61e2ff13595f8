// Turns a loaded picture into the logo's dots: the user picks how the picture
// meets the screen and how its greys become dots, and sees the result as the
// handset will show it beside the picture. Opens in "As drawn", so OK alone
// gives what loading a bitmap always gave.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>
#include <optional>

#include "logo/LogoBlocks.h"
#include "logo/LogoImport.h"

namespace Ui {
class LogoImportDialog;
}

class LogoImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit LogoImportDialog(const QImage& picture, QWidget* parent = nullptr);
    ~LogoImportDialog() override;

    // Shows the dialog over parent until OK or Cancel; the dots on OK.
    static std::optional<LogoDots> choose(QWidget* parent, const QImage& picture);

    // The options as the controls stand, and setting all controls at once.
    LogoImportOptions options() const;
    void setOptions(const LogoImportOptions& options);
    // The dots the preview shows, which OK hands over.
    const LogoDots& dots() const;

private:
    void showPicture();
    void updatePreview();

    std::unique_ptr<Ui::LogoImportDialog> ui_;
    LogoImport import_;
};

#include "widgets/Prompts.h"

#include "widgets/AppTitle.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QLineEdit>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

class QtPrompts final : public Prompts {
public:
    bool confirm(QWidget* parent, const QString& text) override
    {
        return QMessageBox::question(parent, QApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    }
    void notice(QWidget* parent, const QString& text) override
    {
        QMessageBox::information(parent, QApplicationTitle(), text, QMessageBox::Ok);
    }
    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return openFileNameAs(parent, title, filter, QString(), false);
    }
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& defaultSuffix) override
    {
        return saveFileNameAs(parent, title, filter, defaultSuffix, QString());
    }
    QString openFileNameAs(QWidget* parent, const QString& title, const QString& filter, const QString& defaultName,
                           bool picturePreview) override
    {
        QFileDialog dialog(parent, title, QString(), filter);
        UseQtsOwn(dialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!defaultName.isEmpty())
            dialog.selectFile(defaultName);
        if (picturePreview)
            AddPicturePreview(dialog);
        return Run(dialog);
    }
    QString saveFileNameAs(QWidget* parent, const QString& title, const QString& filter, const QString& defaultSuffix,
                           const QString& defaultName) override
    {
        QFileDialog dialog(parent, title, QString(), filter);
        UseQtsOwn(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (!defaultName.isEmpty())
            dialog.selectFile(defaultName);
        return Run(dialog);
    }
    QString folderName(QWidget* parent, const QString& title) override
    {
        QFileDialog dialog(parent, title);
        UseQtsOwn(dialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        return Run(dialog);
    }
    bool runDialog(QDialog& dialog) override { return dialog.exec() == QDialog::Accepted; }
    std::optional<UserAndPassword> credentials(QWidget* parent, const QString& title,
                                               const UserAndPassword& current) override
    {
        QDialog dialog(parent);
        dialog.setWindowTitle(title);
        auto* form = new QFormLayout(&dialog);
        auto* userEdit = new QLineEdit(current.user, &dialog);
        auto* passEdit = new QLineEdit(current.password, &dialog);
        passEdit->setEchoMode(QLineEdit::Password);
        form->addRow(QObject::tr("User name:"), userEdit);
        form->addRow(QObject::tr("Password:"), passEdit);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        form->addRow(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return UserAndPassword{userEdit->text(), passEdit->text()};
    }

private:
    // The desktop's own file dialog speaks the desktop's language (or none,
    // where the system lacks the locale), not necessarily the program's; Qt's
    // speaks the program's, and looks the same wherever the program runs.
    static void UseQtsOwn(QFileDialog& dialog) { dialog.setOption(QFileDialog::DontUseNativeDialog); }
    static QString Run(QFileDialog& dialog)
    {
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    }
    // A pane beside the file list that shows the picture under the cursor.
    static void AddPicturePreview(QFileDialog& dialog)
    {
        auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
        if (!grid)
            return;
        auto* preview = new QLabel(&dialog);
        preview->setFixedSize(168, 128);
        preview->setAlignment(Qt::AlignCenter);
        preview->setFrameShape(QFrame::StyledPanel);
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
        QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
            const QImage image(path);
            preview->setPixmap(
                image.isNull() ? QPixmap()
                               : QPixmap::fromImage(image).scaled(preview->size() - QSize(8, 8), Qt::KeepAspectRatio));
        });
    }
    static QString QApplicationTitle() { return QString::fromLatin1(kApplicationTitle); }
};

QtPrompts& qtPrompts()
{
    static QtPrompts instance;
    return instance;
}

Prompts* current = nullptr;

} // namespace

Prompts& prompts()
{
    return current ? *current : qtPrompts();
}

Prompts* setPrompts(Prompts* p)
{
    Prompts* previous = current;
    current = p;
    return previous;
}

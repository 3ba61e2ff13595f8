#include "Prompts.h"

#include "AppTitle.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

class QtPrompts final : public Prompts {
public:
    bool Confirm(QWidget* parent, const QString& text) override
    {
        return QMessageBox::question(parent, QApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    void Notice(QWidget* parent, const QString& text) override
    {
        QMessageBox::information(parent, QApplicationTitle(), text, QMessageBox::Ok);
    }
    QString OpenFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    }
    QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& defaultSuffix) override
    {
        QFileDialog dialog(parent, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    }
    bool Credentials(QWidget* parent, const QString& title, QString& user, QString& password) override
    {
        QDialog dialog(parent);
        dialog.setWindowTitle(title);
        auto* form = new QFormLayout(&dialog);
        auto* userEdit = new QLineEdit(user, &dialog);
        auto* passEdit = new QLineEdit(password, &dialog);
        passEdit->setEchoMode(QLineEdit::Password);
        form->addRow(QObject::tr("User name:"), userEdit);
        form->addRow(QObject::tr("Password:"), passEdit);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        form->addRow(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        user = userEdit->text();
        password = passEdit->text();
        return true;
    }

private:
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

// The one seam through which windows ask the user something: confirmations,
// notices, file dialogs and credentials. The Qt implementation shows real
// dialogs; tests install a scripted one.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// What a credentials prompt asks for.
struct UserAndPassword {
    QString user;
    QString password;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Yes/No question; true only for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // Notice with an OK button.
    virtual void notice(QWidget* parent, const QString& text) = 0;
    // Empty result when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // The same dialogs with a suggested file name; the open dialog can show a
    // preview of the picture under the cursor. Doubles that do not care fall
    // back to the plain dialogs.
    virtual QString openFileNameAs(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& defaultName, bool picturePreview)
    {
        (void)defaultName;
        (void)picturePreview;
        return openFileName(parent, title, filter);
    }
    virtual QString saveFileNameAs(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& defaultSuffix, const QString& defaultName)
    {
        (void)defaultName;
        return saveFileName(parent, title, filter, defaultSuffix);
    }
    // An existing folder; empty when the user cancels. Doubles that do not
    // care cancel.
    virtual QString folderName(QWidget* parent, const QString& title)
    {
        (void)parent;
        (void)title;
        return {};
    }
    // Shows a dialog the caller has filled in until the user closes it; true
    // for OK. Doubles that do not care take it as it opened.
    virtual bool runDialog(QDialog& dialog)
    {
        (void)dialog;
        return true;
    }
    // Starts from current; nothing when the user cancels.
    virtual std::optional<UserAndPassword> credentials(QWidget* parent, const QString& title,
                                                       const UserAndPassword& current) = 0;
};

// The prompts in use; QtPrompts unless a test installed its own.
Prompts& prompts();
// Installs p (not owned) and returns the previous one; nullptr restores QtPrompts.
Prompts* setPrompts(Prompts* p);

// The one seam through which windows ask the user something: confirmations,
// notices, file dialogs and credentials. The Qt implementation shows real
// dialogs; tests install a scripted one.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

class Prompts {
public:
    virtual ~Prompts() = default;
    // Yes/No question; true only for Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    // Notice with an OK button.
    virtual void Notice(QWidget* parent, const QString& text) = 0;
    // Empty result when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // The same dialogs with a suggested file name; the open dialog can show a
    // preview of the picture under the cursor. Doubles that do not care fall
    // back to the plain dialogs.
    virtual QString OpenFileNameAs(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& defaultName, bool picturePreview)
    {
        (void)defaultName;
        (void)picturePreview;
        return OpenFileName(parent, title, filter);
    }
    virtual QString SaveFileNameAs(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& defaultSuffix, const QString& defaultName)
    {
        (void)defaultName;
        return SaveFileName(parent, title, filter, defaultSuffix);
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
    virtual bool RunDialog(QDialog& dialog)
    {
        (void)dialog;
        return true;
    }
    // false when the user cancels.
    virtual bool Credentials(QWidget* parent, const QString& title, QString& user, QString& password) = 0;
};

// The prompts in use; QtPrompts unless a test installed its own.
Prompts& prompts();
// Installs p (not owned) and returns the previous one; nullptr restores QtPrompts.
Prompts* setPrompts(Prompts* p);

// The named controls of the phonebook window and the record editor, found by
// name the way the forms declare them.
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include "support/NamedControl.h"
#include "widgets/LedProgressBar.h"

struct PhonebookWindowControls {
    explicit PhonebookWindowControls(const QWidget* w)
        : readButton(Named<QPushButton>(w, "readButton"))
        , writeAllButton(Named<QPushButton>(w, "writeAllButton"))
        , saveButton(Named<QPushButton>(w, "saveButton"))
        , loadButton(Named<QPushButton>(w, "loadButton"))
        , okButton(Named<QPushButton>(w, "okButton"))
        , cancelButton(Named<QPushButton>(w, "cancelButton"))
        , hintLabel(Named<QLabel>(w, "hintLabel"))
        , recordList(Named<QTableView>(w, "recordGrid"))
        , progressBar(Named<LedProgressBar>(w, "progressBar"))
        , recordMenu(Named<QMenu>(w, "recordMenu"))
        , updateRecordAction(Named<QAction>(w, "updateRecordAction"))
        , writeChangesAction(Named<QAction>(w, "writeChangesAction"))
        , editRecordAction(Named<QAction>(w, "editRecordAction"))
        , deleteRecordAction(Named<QAction>(w, "deleteRecordAction"))
        , dialledNumberAction(Named<QAction>(w, "dialledNumberAction"))
        , importAction(Named<QAction>(w, "importAction"))
        , exportAction(Named<QAction>(w, "exportAction"))
    { }
    QPushButton* readButton;
    QPushButton* writeAllButton;
    QPushButton* saveButton;
    QPushButton* loadButton;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QLabel* hintLabel;
    QTableView* recordList;
    LedProgressBar* progressBar;
    QMenu* recordMenu;
    QAction* updateRecordAction;
    QAction* writeChangesAction;
    QAction* editRecordAction;
    QAction* deleteRecordAction;
    QAction* dialledNumberAction;
    QAction* importAction;
    QAction* exportAction;
};

struct RecordEditorControls {
    explicit RecordEditorControls(const QWidget* w)
        : nameLabel(Named<QLabel>(w, "nameLabel"))
        , numberLabel(Named<QLabel>(w, "numberLabel"))
        , nameEdit(Named<QLineEdit>(w, "nameEdit"))
        , numberEdit(Named<QLineEdit>(w, "numberEdit"))
        , okButton(Named<QPushButton>(w, "okButton"))
        , cancelButton(Named<QPushButton>(w, "cancelButton"))
    { }
    QLabel* nameLabel;
    QLabel* numberLabel;
    QLineEdit* nameEdit;
    QLineEdit* numberEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

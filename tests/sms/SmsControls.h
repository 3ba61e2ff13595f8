// The named controls of the SMS window and the operator dialog, found by
// name the way the forms declare them.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <ostream>

#include "support/NamedControl.h"

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{' << list.join(", ").toStdString() << '}';
}

struct SmsWindowControls {
    explicit SmsWindowControls(const QWidget* w)
        : messageLabel(Named<QLabel>(w, "messageLabel"))
        , phonebookButton(Named<QPushButton>(w, "phonebookButton"))
        , operatorBox(Named<QComboBox>(w, "operatorBox"))
        , messageEdit(Named<QPlainTextEdit>(w, "messageEdit"))
        , sendButton(Named<QPushButton>(w, "sendButton"))
        , cancelButton(Named<QPushButton>(w, "cancelButton"))
        , editOperatorButton(Named<QPushButton>(w, "editOperatorButton"))
        , addOperatorButton(Named<QPushButton>(w, "addOperatorButton"))
        , deleteOperatorButton(Named<QPushButton>(w, "deleteOperatorButton"))
        , numberEdit(Named<QLineEdit>(w, "numberEdit"))
        , debugBox(Named<QCheckBox>(w, "debugBox"))
        , prefixEdit(Named<QLineEdit>(w, "prefixEdit"))
    { }
    QLabel* messageLabel;
    QPushButton* phonebookButton;
    QComboBox* operatorBox;
    QPlainTextEdit* messageEdit;
    QPushButton* sendButton;
    QPushButton* cancelButton;
    QPushButton* editOperatorButton;
    QPushButton* addOperatorButton;
    QPushButton* deleteOperatorButton;
    QLineEdit* numberEdit;
    QCheckBox* debugBox;
    QLineEdit* prefixEdit;
};

struct OperatorDialogControls {
    explicit OperatorDialogControls(const QWidget* d)
        : submitFrame(Named<QFrame>(d, "submitFrame"))
        , extraFieldsFrame(Named<QFrame>(d, "extraFieldsFrame"))
        , replyFrame(Named<QFrame>(d, "replyFrame"))
        , loginFrame(Named<QFrame>(d, "loginFrame"))
        , nameFrame(Named<QFrame>(d, "nameFrame"))
        , operatorLabel(Named<QLabel>(d, "operatorLabel"))
        , urlLabel(Named<QLabel>(d, "urlLabel"))
        , operatorEdit(Named<QLineEdit>(d, "operatorEdit"))
        , urlEdit(Named<QLineEdit>(d, "urlEdit"))
        , prefixEdit(Named<QLineEdit>(d, "prefixEdit"))
        , submitValueEdit(Named<QLineEdit>(d, "submitValueEdit"))
        , extraValue2Edit(Named<QLineEdit>(d, "extraValue2Edit"))
        , numberFieldEdit(Named<QLineEdit>(d, "numberFieldEdit"))
        , replyEdit(Named<QLineEdit>(d, "replyEdit"))
        , refererEdit(Named<QLineEdit>(d, "refererEdit"))
        , loginEdit(Named<QLineEdit>(d, "loginEdit"))
        , passwordEdit(Named<QLineEdit>(d, "passwordEdit"))
        , methodBox(Named<QComboBox>(d, "methodBox"))
        , charsetBox(Named<QComboBox>(d, "charsetBox"))
        , okButton(Named<QPushButton>(d, "okButton"))
        , cancelButton(Named<QPushButton>(d, "cancelButton"))
    { }
    QFrame *submitFrame, *extraFieldsFrame, *replyFrame, *loginFrame, *nameFrame;
    QLabel *operatorLabel, *urlLabel;
    QLineEdit *operatorEdit, *urlEdit, *prefixEdit, *submitValueEdit, *extraValue2Edit, *numberFieldEdit, *replyEdit,
        *refererEdit, *loginEdit, *passwordEdit;
    QComboBox *methodBox, *charsetBox;
    QPushButton *okButton, *cancelButton;
};

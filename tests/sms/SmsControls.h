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

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) { *os << '{' << list.join(", ").toStdString() << '}'; }

template <typename T>
T* Named(const QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no control " << name;
    return child;
}

struct SendSmsControls {
    explicit SendSmsControls(const QWidget* w)
        : Label3(Named<QLabel>(w, "Label3"))
        , bPhBook(Named<QPushButton>(w, "bPhBook"))
        , ComboBox1(Named<QComboBox>(w, "ComboBox1"))
        , Memo1(Named<QPlainTextEdit>(w, "Memo1"))
        , bSend(Named<QPushButton>(w, "bSend"))
        , bCancel(Named<QPushButton>(w, "bCancel"))
        , bEdit(Named<QPushButton>(w, "bEdit"))
        , bAdd(Named<QPushButton>(w, "bAdd"))
        , Button1(Named<QPushButton>(w, "Button1"))
        , ePhNumber(Named<QLineEdit>(w, "ePhNumber"))
        , cbDebug(Named<QCheckBox>(w, "cbDebug"))
        , ePref(Named<QLineEdit>(w, "ePref"))
    {
    }
    QLabel* Label3;
    QPushButton* bPhBook;
    QComboBox* ComboBox1;
    QPlainTextEdit* Memo1;
    QPushButton* bSend;
    QPushButton* bCancel;
    QPushButton* bEdit;
    QPushButton* bAdd;
    QPushButton* Button1;
    QLineEdit* ePhNumber;
    QCheckBox* cbDebug;
    QLineEdit* ePref;
};

struct OpSetControls {
    explicit OpSetControls(const QWidget* d)
        : Panel1(Named<QFrame>(d, "Panel1"))
        , Panel2(Named<QFrame>(d, "Panel2"))
        , Panel3(Named<QFrame>(d, "Panel3"))
        , Panel4(Named<QFrame>(d, "Panel4"))
        , Panel5(Named<QFrame>(d, "Panel5"))
        , lOperator(Named<QLabel>(d, "lOperator"))
        , lURL(Named<QLabel>(d, "lURL"))
        , eOperator(Named<QLineEdit>(d, "eOperator"))
        , eURL(Named<QLineEdit>(d, "eURL"))
        , ePref(Named<QLineEdit>(d, "ePref"))
        , eActVal(Named<QLineEdit>(d, "eActVal"))
        , eAdVal2(Named<QLineEdit>(d, "eAdVal2"))
        , eNumField(Named<QLineEdit>(d, "eNumField"))
        , eReply(Named<QLineEdit>(d, "eReply"))
        , eReferer(Named<QLineEdit>(d, "eReferer"))
        , eLogin(Named<QLineEdit>(d, "eLogin"))
        , ePassw(Named<QLineEdit>(d, "ePassw"))
        , Method(Named<QComboBox>(d, "Method"))
        , cEnc(Named<QComboBox>(d, "cEnc"))
        , BitBtn1(Named<QPushButton>(d, "BitBtn1"))
        , BitBtn2(Named<QPushButton>(d, "BitBtn2"))
    {
    }
    QFrame *Panel1, *Panel2, *Panel3, *Panel4, *Panel5;
    QLabel *lOperator, *lURL;
    QLineEdit *eOperator, *eURL, *ePref, *eActVal, *eAdVal2, *eNumField, *eReply, *eReferer, *eLogin, *ePassw;
    QComboBox *Method, *cEnc;
    QPushButton *BitBtn1, *BitBtn2;
};

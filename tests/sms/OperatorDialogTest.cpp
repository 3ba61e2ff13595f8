#include "sms/ui/OperatorDialog.h"
#include "sms/OperatorValueList.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ProfileIniFile.h"
#include "SmsControls.h"

#include "files/SettingsStore.h"
#include "widgets/WindowStateStore.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QRect Bounds(const QWidget* w)
{
    return w->geometry();
}

// The chain of focus from first, as Tab walks it, for count steps.
QStringList TabChain(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < count && w; ++i) {
        names << w->objectName();
        w = w->nextInFocusChain();
        // An editable combo box takes focus through its own line edit.
        while (w && w != first
               && ((w->focusPolicy() & Qt::TabFocus) == 0 || qobject_cast<QComboBox*>(w->parentWidget())))
            w = w->nextInFocusChain();
    }
    return names;
}

// Saves a picture of the window when M2BUS_GRAB_DIR names a folder.
void GrabIfAsked(QWidget& window, const char* file)
{
    const QByteArray dir = qgetenv("M2BUS_GRAB_DIR");
    if (!dir.isEmpty())
        window.grab().save(QString::fromLocal8Bit(dir) + "/" + file);
}

} // namespace

TEST(OperatorDialog, LayoutFollowsTheDesign)
{
    OperatorDialog dialog;
    OperatorDialogControls d(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Operator settings");
    EXPECT_EQ(dialog.size(), QSize(283, 405));
    EXPECT_EQ(Bounds(d.nameFrame), QRect(8, 8, 265, 125));
    EXPECT_EQ(Bounds(d.replyFrame), QRect(8, 242, 265, 52));
    EXPECT_EQ(Bounds(d.prefixEdit), QRect(192, 52, 49, 21));
    EXPECT_EQ(d.prefixEdit->parentWidget(), d.nameFrame);
    EXPECT_EQ(Bounds(d.charsetBox), QRect(195, 3, 65, 21));
    EXPECT_EQ(d.charsetBox->parentWidget(), d.replyFrame);
    for (QFrame* panel : {d.submitFrame, d.extraFieldsFrame, d.replyFrame, d.loginFrame, d.nameFrame}) {
        EXPECT_EQ(panel->frameShadow(), QFrame::Sunken) << panel->objectName().toStdString();
        EXPECT_EQ(panel->width(), 265);
    }
    EXPECT_EQ(d.urlLabel->text(), "URL                 http://");
    EXPECT_TRUE(d.operatorLabel->font().bold());
    EXPECT_TRUE(d.operatorEdit->font().italic());
    EXPECT_TRUE(d.okButton->isDefault());
    EXPECT_EQ(d.passwordEdit->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(d.methodBox->currentText(), "POST");
    EXPECT_EQ(d.charsetBox->currentText(), "KOI8R");
    EXPECT_EQ(d.charsetBox->count(), 4);
    EXPECT_EQ(d.charsetBox->itemText(3), "ISO8859");
    EXPECT_EQ(TabChain(d.okButton, 4), (QStringList{"okButton", "cancelButton", "submitNameEdit", "submitValueEdit"}));
    GrabIfAsked(dialog, "OperatorDialog.png");
}

TEST(OperatorDialog, EmptyingTouchesTheFifteenEditBoxesOnly)
{
    OperatorDialog dialog;
    OperatorDialogControls d(&dialog);
    int boxes = 0;
    for (QLineEdit* e : dialog.findChildren<QLineEdit*>()) {
        e->setText("x");
        if (!qobject_cast<QComboBox*>(e->parentWidget()))
            ++boxes;
    }
    EXPECT_EQ(boxes, 15);
    d.methodBox->setCurrentText("GET");
    dialog.emptyEditBoxes();
    EXPECT_EQ(dialog.operatorName(), "");
    const ProfileTexts texts = dialog.texts();
    for (std::size_t i = 0; i < kProfileKeyCount; ++i) {
        if (kProfileKeys[i] == "Method")
            EXPECT_EQ(texts[i], "GET");
        else if (kProfileKeys[i] == "Chars")
            EXPECT_EQ(texts[i], "x"); // set through the combo's own line edit above
        else
            EXPECT_EQ(texts[i], "") << kProfileKeys[i];
    }
}

TEST(OperatorDialog, FillTakesEveryKeyAndTextsGiveThemBack)
{
    OperatorDialog dialog;
    OperatorValueList values;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        values.setValue(kProfileKeys[i], std::string(kProfileKeys[i]) + "\xe9"); // a Cyrillic letter each
    values.setValue("Method", "put");
    values.setValue("Login", "");
    OperatorDialogControls(&dialog).loginEdit->setText("stale");
    dialog.fill("\xce\xef", values);
    EXPECT_EQ(OperatorDialogControls(&dialog).operatorEdit->text(), QString::fromUtf8("Оп"));
    EXPECT_EQ(OperatorDialogControls(&dialog).methodBox->currentText(), "put"); // not an item, kept as stored
    EXPECT_EQ(OperatorDialogControls(&dialog).submitValueEdit->text(), QString::fromUtf8("Actionй"));
    EXPECT_EQ(OperatorDialogControls(&dialog).loginEdit->text(), "");
    EXPECT_EQ(dialog.operatorName(), "\xce\xef");
    EXPECT_EQ(dialog.texts(), profileTextsFrom(values));
}

TEST(OperatorDialog, TypedComboTextIsKeptAsTyped)
{
    OperatorDialog dialog;
    OperatorDialogControls d(&dialog);
    d.methodBox->lineEdit()->selectAll();
    QTest::keyClick(d.methodBox->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(d.methodBox->lineEdit(), "post");
    d.charsetBox->lineEdit()->selectAll();
    QTest::keyClick(d.charsetBox->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(d.charsetBox->lineEdit(), "D");
    EXPECT_EQ(dialog.texts()[profileKeyIndex("Method")], "post");
    EXPECT_EQ(dialog.texts()[profileKeyIndex("Chars")], "D");
}

TEST(SmsWindowLayout, LayoutAndComponentsFollowTheDesign)
{
    QTemporaryDir dir;
    const SettingsStore settings = SettingsStore::inFile(dir.filePath("settings.ini"));
    auto ini = ProfileIniFile::fromBytes("[Op]\r\nPrefix=89\r\n");
    std::vector<std::string> list;
    OperatorValueList values;
    {
        SmsWindow window(OperatorObjects{ini, list, values}, settings, {});
        SmsWindowControls w(&window);
        EXPECT_EQ(window.windowTitle(), "Send SMS");
        EXPECT_EQ(window.size(), QSize(431, 206));
        EXPECT_EQ(Bounds(w.prefixEdit), QRect(85, 40, 41, 21));
        EXPECT_EQ(Bounds(w.numberEdit), QRect(128, 40, 81, 21));
        EXPECT_EQ(w.prefixEdit->geometry().right() + 3, w.numberEdit->x()); // directly left of the number
        EXPECT_EQ(Bounds(w.messageEdit), QRect(16, 96, 401, 57));
        EXPECT_EQ(w.messageEdit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(w.messageEdit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_TRUE(w.operatorBox->isEditable());
        EXPECT_FALSE(w.debugBox->isChecked());
        EXPECT_EQ(TabChain(w.phonebookButton, 11),
                  (QStringList{"phonebookButton", "operatorBox", "messageEdit", "sendButton", "cancelButton",
                               "editOperatorButton", "addOperatorButton", "deleteOperatorButton", "numberEdit",
                               "debugBox", "prefixEdit"}));

        EXPECT_EQ(window.windowState->storedProps(), QStringList{"ComboBox1.Items"});
        ASSERT_NE(window.windowState->storedValues().find("TextField"), nullptr);
        EXPECT_EQ(window.windowState->storedValues().find("TextField")->scrambleKey.size(), 8);
        EXPECT_EQ(window.requestTemplate().connectTimeout, std::chrono::milliseconds{10000});
        EXPECT_EQ(window.requestTemplate().authRetries, 3);
        EXPECT_TRUE(window.requestTemplate().pragmaNoCache);
        EXPECT_TRUE(window.requestTemplate().cookies);
        EXPECT_EQ(window.requestTemplate().timeLimit, kRequestTimeLimit);

        window.show();
        w.numberEdit->setText("123");
        w.messageEdit->setPlainText("Hi");
        GrabIfAsked(window, "SmsWindow.png");
        window.close();
    }
}
